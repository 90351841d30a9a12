#include "Lib/FSX/SimConnectWrapper.h"

#include "Lib/Exception.h"

#include <string_view>

namespace except {

namespace {

constexpr const char* kSourcePath = "..\\..\\Src\\Lib\\FSX\\SimConnectWrapper";
constexpr const char* kInitFunction = "except::SimConnectWrapper::Init";
constexpr const char* kHostWindowClass = "FS98MAIN";

constexpr const char* kNames[SimConnectWrapper::kEntryPoints] = {
    "SimConnect_MapClientEventToSimEvent",
    "SimConnect_TransmitClientEvent",
    "SimConnect_SetSystemEventState",
    "SimConnect_AddClientEventToNotificationGroup",
    "SimConnect_RemoveClientEvent",
    "SimConnect_SetNotificationGroupPriority",
    "SimConnect_ClearNotificationGroup",
    "SimConnect_RequestNotificationGroup",
    "SimConnect_AddToDataDefinition",
    "SimConnect_ClearDataDefinition",
    "SimConnect_RequestDataOnSimObject",
    "SimConnect_RequestDataOnSimObjectType",
    "SimConnect_SetDataOnSimObject",
    "SimConnect_MapInputEventToClientEvent",
    "SimConnect_SetInputGroupPriority",
    "SimConnect_RemoveInputEvent",
    "SimConnect_ClearInputGroup",
    "SimConnect_SetInputGroupState",
    "SimConnect_RequestReservedKey",
    "SimConnect_SubscribeToSystemEvent",
    "SimConnect_UnsubscribeFromSystemEvent",
    "SimConnect_WeatherRequestInterpolatedObservation",
    "SimConnect_WeatherRequestObservationAtStation",
    "SimConnect_WeatherRequestObservationAtNearestStation",
    "SimConnect_WeatherCreateStation",
    "SimConnect_WeatherRemoveStation",
    "SimConnect_WeatherSetObservation",
    "SimConnect_WeatherSetModeServer",
    "SimConnect_WeatherSetModeTheme",
    "SimConnect_WeatherSetModeGlobal",
    "SimConnect_WeatherSetModeCustom",
    "SimConnect_WeatherSetDynamicUpdateRate",
    "SimConnect_WeatherRequestCloudState",
    "SimConnect_WeatherCreateThermal",
    "SimConnect_WeatherRemoveThermal",
    "SimConnect_AICreateParkedATCAircraft",
    "SimConnect_AICreateEnrouteATCAircraft",
    "SimConnect_AICreateNonATCAircraft",
    "SimConnect_AICreateSimulatedObject",
    "SimConnect_AIReleaseControl",
    "SimConnect_AIRemoveObject",
    "SimConnect_AISetAircraftFlightPlan",
    "SimConnect_ExecuteMissionAction",
    "SimConnect_CompleteCustomMissionAction",
    "SimConnect_Close",
    "SimConnect_RetrieveString",
    "SimConnect_GetLastSentPacketID",
    "SimConnect_Open",
    "SimConnect_CallDispatch",
    "SimConnect_GetNextDispatch",
    "SimConnect_RequestResponseTimes",
    "SimConnect_InsertString",
    "SimConnect_CameraSetRelative6DOF",
    "SimConnect_MenuAddItem",
    "SimConnect_MenuDeleteItem",
    "SimConnect_MenuAddSubItem",
    "SimConnect_MenuDeleteSubItem",
    "SimConnect_RequestSystemState",
    "SimConnect_SetSystemState",
    "SimConnect_MapClientDataNameToID",
    "SimConnect_CreateClientData",
    "SimConnect_AddToClientDataDefinition",
    "SimConnect_ClearClientDataDefinition",
    "SimConnect_RequestClientData",
    "SimConnect_SetClientData",
    "SimConnect_FlightLoad",
    "SimConnect_FlightSave",
    "SimConnect_FlightPlanLoad",
    "SimConnect_Text",
    "SimConnect_SubscribeToFacilities",
    "SimConnect_UnsubscribeToFacilities",
    "SimConnect_RequestFacilitiesList",
};

consteval std::size_t IndexOf(std::string_view name) {
    for (std::size_t i = 0; i < SimConnectWrapper::kEntryPoints; ++i) {
        if (std::string_view(kNames[i]) == name) {
            return i;
        }
    }
    throw "no such SimConnect entry point";
}

using simconnect::DWORD;
using simconnect::Handle;
using simconnect::HRESULT;

using OpenFn = HRESULT(ZV_STDCALL*)(Handle*, const char*, void*, DWORD, Handle, DWORD);
using CloseFn = HRESULT(ZV_STDCALL*)(Handle);
using CallDispatchFn = HRESULT(ZV_STDCALL*)(Handle, simconnect::DispatchProc, void*);
using EventNameFn = HRESULT(ZV_STDCALL*)(Handle, DWORD, const char*);
using IdFn = HRESULT(ZV_STDCALL*)(Handle, DWORD);
using IdIdFn = HRESULT(ZV_STDCALL*)(Handle, DWORD, DWORD);
using AddToGroupFn = HRESULT(ZV_STDCALL*)(Handle, DWORD, DWORD, std::int32_t);
using AddToDefinitionFn = HRESULT(ZV_STDCALL*)(Handle, DWORD, const char*, const char*, DWORD,
                                               float, DWORD);
using SetDataFn = HRESULT(ZV_STDCALL*)(Handle, DWORD, DWORD, DWORD, DWORD, DWORD, void*);
using CameraFn = HRESULT(ZV_STDCALL*)(Handle, float, float, float, float, float, float);

std::string UnresolvedMessage(std::string_view name) {
    std::string message = "Could not load SimConnect";
    message += name.substr(std::string_view("SimConnect_").size());
    // Tab-padded so that the log lines of different entry points end in one column.
    do {
        message += '\t';
    } while (message.size() < 56);
    return message;
}

} // namespace

const char* SimConnectWrapper::EntryPointName(std::size_t index) {
    return index < kEntryPoints ? kNames[index] : nullptr;
}

SimConnectWrapper& SimConnectWrapper::Instance() {
    static SimConnectWrapper instance;
    return instance;
}

SimConnectWrapper::~SimConnectWrapper() {
    Close();
}

const char* SimConnectWrapper::LibraryForBuild(std::uint16_t build) {
    switch (build) {
    case 60905:
        return "SimObjects/Airplanes/PelmoraG_Q-71_Zelvan/bin/sc_rtm.dll";
    case 61472:
    case 61637:
        return "SimObjects/Airplanes/PelmoraG_Q-71_Zelvan/bin/sc_acc.dll";
    default: // 61355, 61357 and every build we do not know
        return "SimObjects/Airplanes/PelmoraG_Q-71_Zelvan/bin/sc_sp1.dll";
    }
}

template <typename Fn> Fn SimConnectWrapper::Entry(std::size_t index) const {
    return reinterpret_cast<Fn>(entries[index]);
}

bool SimConnectWrapper::Init(const char* clientName) {
    if (opened) {
        return true;
    }
    libraryPath = LibraryForBuild(VersionInfo().build);
    if (libraryPath.empty()) {
        throw Exception("Can't get FSX version.", kSourcePath, kInitFunction, __LINE__);
    }
    if (module == nullptr) {
        module = platform::LoadDynamicLibrary(libraryPath);
        if (module == nullptr) {
            throw Exception("Could not load " + libraryPath, kSourcePath, kInitFunction, __LINE__);
        }
    }
    for (std::size_t i = 0; i < kEntryPoints; ++i) {
        entries[i] = platform::FindSymbol(module, kNames[i]);
        if (entries[i] == nullptr) {
            // A library that lacks an entry point is of no use: let it go, so a later attempt
            // starts clean and a close does not wait for a client that never opened.
            entries.fill(nullptr);
            platform::FreeDynamicLibrary(module);
            module = nullptr;
            throw Exception(UnresolvedMessage(kNames[i]), kSourcePath, kInitFunction, __LINE__);
        }
    }
    opened = true;
    void* window = platform::FindWindowByClass(kHostWindowClass);
    const auto open = Entry<OpenFn>(IndexOf("SimConnect_Open"));
    if (open(&handle, clientName, window, 0, nullptr, 0) != 0) {
        opened = false;
        handle = nullptr;
        entries.fill(nullptr);
        platform::FreeDynamicLibrary(module);
        module = nullptr;
        throw Exception("Could not connect to Flight Simulator!", kSourcePath, kInitFunction,
                        __LINE__);
    }
    return true;
}

simconnect::Handle SimConnectWrapper::GetHandle() {
    if (!opened) {
        Init("except");
    }
    return handle;
}

void SimConnectWrapper::Close() {
    if (!opened) {
        return;
    }
    Entry<CloseFn>(IndexOf("SimConnect_Close"))(handle);
    handle = nullptr;
    if (module != nullptr) {
        entries.fill(nullptr);
        platform::FreeDynamicLibrary(module);
    }
    module = nullptr;
    platform::Sleep(1000);
    opened = false;
}

HRESULT SimConnectWrapper::AddClientEventToNotificationGroup(DWORD groupId, DWORD eventId,
                                                             bool maskable) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<AddToGroupFn>(IndexOf("SimConnect_AddClientEventToNotificationGroup"))(
        handle, groupId, eventId, maskable ? 1 : 0);
}

HRESULT SimConnectWrapper::AddToDataDefinition(DWORD defineId, const char* datumName,
                                               const char* unitsName, DWORD datumType,
                                               float epsilon, DWORD datumId) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<AddToDefinitionFn>(IndexOf("SimConnect_AddToDataDefinition"))(
        handle, defineId, datumName, unitsName, datumType, epsilon, datumId);
}

HRESULT SimConnectWrapper::CallDispatch(simconnect::DispatchProc proc, void* context) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<CallDispatchFn>(IndexOf("SimConnect_CallDispatch"))(handle, proc, context);
}

HRESULT SimConnectWrapper::CameraSetRelative6DOF(float x, float y, float z, float pitch, float bank,
                                                 float heading) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<CameraFn>(IndexOf("SimConnect_CameraSetRelative6DOF"))(handle, x, y, z, pitch,
                                                                        bank, heading);
}

HRESULT SimConnectWrapper::ClearDataDefinition(DWORD defineId) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<IdFn>(IndexOf("SimConnect_ClearDataDefinition"))(handle, defineId);
}

HRESULT SimConnectWrapper::ClearNotificationGroup(DWORD groupId) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<IdFn>(IndexOf("SimConnect_ClearNotificationGroup"))(GetHandle(), groupId);
}

HRESULT SimConnectWrapper::MapClientEventToSimEvent(DWORD eventId, const char* name) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<EventNameFn>(IndexOf("SimConnect_MapClientEventToSimEvent"))(handle, eventId,
                                                                              name);
}

HRESULT SimConnectWrapper::RemoveClientEvent(DWORD groupId, DWORD eventId) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<IdIdFn>(IndexOf("SimConnect_RemoveClientEvent"))(GetHandle(), groupId, eventId);
}

HRESULT SimConnectWrapper::SetDataOnSimObject(DWORD defineId, DWORD objectId, DWORD flags,
                                              DWORD arrayCount, DWORD unitSize, void* data) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<SetDataFn>(IndexOf("SimConnect_SetDataOnSimObject"))(
        handle, defineId, objectId, flags, arrayCount, unitSize, data);
}

HRESULT SimConnectWrapper::SetNotificationGroupPriority(DWORD groupId, DWORD priority) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<IdIdFn>(IndexOf("SimConnect_SetNotificationGroupPriority"))(handle, groupId,
                                                                             priority);
}

HRESULT SimConnectWrapper::SubscribeToSystemEvent(DWORD eventId, const char* name) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<EventNameFn>(IndexOf("SimConnect_SubscribeToSystemEvent"))(handle, eventId, name);
}

HRESULT SimConnectWrapper::UnsubscribeFromSystemEvent(DWORD eventId) {
    if (!opened) {
        return simconnect::E_FAIL;
    }
    return Entry<IdFn>(IndexOf("SimConnect_UnsubscribeFromSystemEvent"))(handle, eventId);
}

VersionInfo::VersionInfo() {
    platform::ReadHostExecutableVersion(*this);
}

} // namespace except
