// The bench's SimConnect client library. It exports every SimConnect entry point under its plain
// name with SimConnect's calling convention (__stdcall at 32 bits, which the module calls with);
// the calls the module makes are handed to the simulator the bench publishes,
// the others answer E_NOTIMPL (and the simulator logs them).
#include "Bench/SimConnectStandin/SimConnectServer.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

using bench::SimConnectServer;
using simconnect::DWORD;
using simconnect::Handle;
using simconnect::HRESULT;

#ifdef _WIN32
#define ZV_SC_EXPORT extern "C" __declspec(dllexport) ZV_STDCALL
#else
#define ZV_SC_EXPORT extern "C" __attribute__((visibility("default"))) ZV_STDCALL
#endif

namespace {

// The server a connection was opened with serves it to its close: the module writes data every
// tick, and a service looked up by name on each call costs more than the call it forwards.
SimConnectServer* connected = nullptr;

SimConnectServer* Server() {
    return connected != nullptr
               ? connected
               : static_cast<SimConnectServer*>(zvrt_get_service(bench::kSimConnectService));
}

// Forwards to the published simulator; without one there is nobody to talk to.
template <typename Call> HRESULT Forward(Call call) {
    SimConnectServer* server = Server();
    return server != nullptr ? call(*server) : simconnect::E_FAIL;
}

HRESULT NotImplemented(const char* call) {
    SimConnectServer* server = Server();
    return server != nullptr ? server->NotImplemented(call) : simconnect::E_NOTIMPL;
}

} // namespace

ZV_SC_EXPORT HRESULT SimConnect_Open(Handle* handle, const char* name, void* window,
                                     DWORD userEvent, Handle eventHandle, DWORD configIndex) {
    return Forward([&](SimConnectServer& s) {
        const HRESULT result = s.Open(handle, name, window, userEvent, eventHandle, configIndex);
        if (result == simconnect::S_OK) {
            connected = &s;
        }
        return result;
    });
}

ZV_SC_EXPORT HRESULT SimConnect_Close(Handle handle) {
    const HRESULT result = Forward([&](SimConnectServer& s) { return s.Close(handle); });
    connected = nullptr;
    return result;
}

ZV_SC_EXPORT HRESULT SimConnect_CallDispatch(Handle handle, simconnect::DispatchProc proc,
                                             void* context) {
    return Forward([&](SimConnectServer& s) { return s.CallDispatch(handle, proc, context); });
}

ZV_SC_EXPORT HRESULT SimConnect_SubscribeToSystemEvent(Handle handle, DWORD eventId,
                                                       const char* name) {
    return Forward(
        [&](SimConnectServer& s) { return s.SubscribeToSystemEvent(handle, eventId, name); });
}

ZV_SC_EXPORT HRESULT SimConnect_UnsubscribeFromSystemEvent(Handle handle, DWORD eventId) {
    return Forward(
        [&](SimConnectServer& s) { return s.UnsubscribeFromSystemEvent(handle, eventId); });
}

ZV_SC_EXPORT HRESULT SimConnect_AddToDataDefinition(Handle handle, DWORD defineId,
                                                    const char* datumName, const char* unitsName,
                                                    DWORD datumType, float epsilon, DWORD datumId) {
    return Forward([&](SimConnectServer& s) {
        return s.AddToDataDefinition(handle, defineId, datumName, unitsName, datumType, epsilon,
                                     datumId);
    });
}

ZV_SC_EXPORT HRESULT SimConnect_ClearDataDefinition(Handle handle, DWORD defineId) {
    return Forward([&](SimConnectServer& s) { return s.ClearDataDefinition(handle, defineId); });
}

ZV_SC_EXPORT HRESULT SimConnect_SetDataOnSimObject(Handle handle, DWORD defineId, DWORD objectId,
                                                   DWORD flags, DWORD arrayCount, DWORD unitSize,
                                                   void* data) {
    return Forward([&](SimConnectServer& s) {
        return s.SetDataOnSimObject(handle, defineId, objectId, flags, arrayCount, unitSize, data);
    });
}

ZV_SC_EXPORT HRESULT SimConnect_MapClientEventToSimEvent(Handle handle, DWORD eventId,
                                                         const char* name) {
    return Forward(
        [&](SimConnectServer& s) { return s.MapClientEventToSimEvent(handle, eventId, name); });
}

ZV_SC_EXPORT HRESULT SimConnect_AddClientEventToNotificationGroup(Handle handle, DWORD groupId,
                                                                  DWORD eventId,
                                                                  std::int32_t maskable) {
    return Forward([&](SimConnectServer& s) {
        return s.AddClientEventToNotificationGroup(handle, groupId, eventId, maskable != 0);
    });
}

ZV_SC_EXPORT HRESULT SimConnect_RemoveClientEvent(Handle handle, DWORD groupId, DWORD eventId) {
    return Forward(
        [&](SimConnectServer& s) { return s.RemoveClientEvent(handle, groupId, eventId); });
}

ZV_SC_EXPORT HRESULT SimConnect_SetNotificationGroupPriority(Handle handle, DWORD groupId,
                                                             DWORD priority) {
    return Forward([&](SimConnectServer& s) {
        return s.SetNotificationGroupPriority(handle, groupId, priority);
    });
}

ZV_SC_EXPORT HRESULT SimConnect_ClearNotificationGroup(Handle handle, DWORD groupId) {
    return Forward([&](SimConnectServer& s) { return s.ClearNotificationGroup(handle, groupId); });
}

ZV_SC_EXPORT HRESULT SimConnect_CameraSetRelative6DOF(Handle handle, float x, float y, float z,
                                                      float pitch, float bank, float heading) {
    return Forward([&](SimConnectServer& s) {
        return s.CameraSetRelative6DOF(handle, x, y, z, pitch, bank, heading);
    });
}

// The entry points the module resolves but never calls. They take the connection handle first;
// what follows it is not read.
ZV_SC_EXPORT HRESULT SimConnect_TransmitClientEvent(Handle) {
    return NotImplemented("TransmitClientEvent");
}
ZV_SC_EXPORT HRESULT SimConnect_SetSystemEventState(Handle) {
    return NotImplemented("SetSystemEventState");
}
ZV_SC_EXPORT HRESULT SimConnect_RequestNotificationGroup(Handle) {
    return NotImplemented("RequestNotificationGroup");
}
ZV_SC_EXPORT HRESULT SimConnect_RequestDataOnSimObject(Handle) {
    return NotImplemented("RequestDataOnSimObject");
}
ZV_SC_EXPORT HRESULT SimConnect_RequestDataOnSimObjectType(Handle) {
    return NotImplemented("RequestDataOnSimObjectType");
}
ZV_SC_EXPORT HRESULT SimConnect_MapInputEventToClientEvent(Handle) {
    return NotImplemented("MapInputEventToClientEvent");
}
ZV_SC_EXPORT HRESULT SimConnect_SetInputGroupPriority(Handle) {
    return NotImplemented("SetInputGroupPriority");
}
ZV_SC_EXPORT HRESULT SimConnect_RemoveInputEvent(Handle) {
    return NotImplemented("RemoveInputEvent");
}
ZV_SC_EXPORT HRESULT SimConnect_ClearInputGroup(Handle) {
    return NotImplemented("ClearInputGroup");
}
ZV_SC_EXPORT HRESULT SimConnect_SetInputGroupState(Handle) {
    return NotImplemented("SetInputGroupState");
}
ZV_SC_EXPORT HRESULT SimConnect_RequestReservedKey(Handle) {
    return NotImplemented("RequestReservedKey");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherRequestInterpolatedObservation(Handle) {
    return NotImplemented("WeatherRequestInterpolatedObservation");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherRequestObservationAtStation(Handle) {
    return NotImplemented("WeatherRequestObservationAtStation");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherRequestObservationAtNearestStation(Handle) {
    return NotImplemented("WeatherRequestObservationAtNearestStation");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherCreateStation(Handle) {
    return NotImplemented("WeatherCreateStation");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherRemoveStation(Handle) {
    return NotImplemented("WeatherRemoveStation");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherSetObservation(Handle) {
    return NotImplemented("WeatherSetObservation");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherSetModeServer(Handle) {
    return NotImplemented("WeatherSetModeServer");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherSetModeTheme(Handle) {
    return NotImplemented("WeatherSetModeTheme");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherSetModeGlobal(Handle) {
    return NotImplemented("WeatherSetModeGlobal");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherSetModeCustom(Handle) {
    return NotImplemented("WeatherSetModeCustom");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherSetDynamicUpdateRate(Handle) {
    return NotImplemented("WeatherSetDynamicUpdateRate");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherRequestCloudState(Handle) {
    return NotImplemented("WeatherRequestCloudState");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherCreateThermal(Handle) {
    return NotImplemented("WeatherCreateThermal");
}
ZV_SC_EXPORT HRESULT SimConnect_WeatherRemoveThermal(Handle) {
    return NotImplemented("WeatherRemoveThermal");
}
ZV_SC_EXPORT HRESULT SimConnect_AICreateParkedATCAircraft(Handle) {
    return NotImplemented("AICreateParkedATCAircraft");
}
ZV_SC_EXPORT HRESULT SimConnect_AICreateEnrouteATCAircraft(Handle) {
    return NotImplemented("AICreateEnrouteATCAircraft");
}
ZV_SC_EXPORT HRESULT SimConnect_AICreateNonATCAircraft(Handle) {
    return NotImplemented("AICreateNonATCAircraft");
}
ZV_SC_EXPORT HRESULT SimConnect_AICreateSimulatedObject(Handle) {
    return NotImplemented("AICreateSimulatedObject");
}
ZV_SC_EXPORT HRESULT SimConnect_AIReleaseControl(Handle) {
    return NotImplemented("AIReleaseControl");
}
ZV_SC_EXPORT HRESULT SimConnect_AIRemoveObject(Handle) {
    return NotImplemented("AIRemoveObject");
}
ZV_SC_EXPORT HRESULT SimConnect_AISetAircraftFlightPlan(Handle) {
    return NotImplemented("AISetAircraftFlightPlan");
}
ZV_SC_EXPORT HRESULT SimConnect_ExecuteMissionAction(Handle) {
    return NotImplemented("ExecuteMissionAction");
}
ZV_SC_EXPORT HRESULT SimConnect_CompleteCustomMissionAction(Handle) {
    return NotImplemented("CompleteCustomMissionAction");
}
ZV_SC_EXPORT HRESULT SimConnect_RetrieveString(Handle) {
    return NotImplemented("RetrieveString");
}
ZV_SC_EXPORT HRESULT SimConnect_GetLastSentPacketID(Handle) {
    return NotImplemented("GetLastSentPacketID");
}
ZV_SC_EXPORT HRESULT SimConnect_GetNextDispatch(Handle) {
    return NotImplemented("GetNextDispatch");
}
ZV_SC_EXPORT HRESULT SimConnect_RequestResponseTimes(Handle) {
    return NotImplemented("RequestResponseTimes");
}
ZV_SC_EXPORT HRESULT SimConnect_InsertString(Handle) {
    return NotImplemented("InsertString");
}
ZV_SC_EXPORT HRESULT SimConnect_MenuAddItem(Handle) {
    return NotImplemented("MenuAddItem");
}
ZV_SC_EXPORT HRESULT SimConnect_MenuDeleteItem(Handle) {
    return NotImplemented("MenuDeleteItem");
}
ZV_SC_EXPORT HRESULT SimConnect_MenuAddSubItem(Handle) {
    return NotImplemented("MenuAddSubItem");
}
ZV_SC_EXPORT HRESULT SimConnect_MenuDeleteSubItem(Handle) {
    return NotImplemented("MenuDeleteSubItem");
}
ZV_SC_EXPORT HRESULT SimConnect_RequestSystemState(Handle) {
    return NotImplemented("RequestSystemState");
}
ZV_SC_EXPORT HRESULT SimConnect_SetSystemState(Handle) {
    return NotImplemented("SetSystemState");
}
ZV_SC_EXPORT HRESULT SimConnect_MapClientDataNameToID(Handle) {
    return NotImplemented("MapClientDataNameToID");
}
ZV_SC_EXPORT HRESULT SimConnect_CreateClientData(Handle) {
    return NotImplemented("CreateClientData");
}
ZV_SC_EXPORT HRESULT SimConnect_AddToClientDataDefinition(Handle) {
    return NotImplemented("AddToClientDataDefinition");
}
ZV_SC_EXPORT HRESULT SimConnect_ClearClientDataDefinition(Handle) {
    return NotImplemented("ClearClientDataDefinition");
}
ZV_SC_EXPORT HRESULT SimConnect_RequestClientData(Handle) {
    return NotImplemented("RequestClientData");
}
ZV_SC_EXPORT HRESULT SimConnect_SetClientData(Handle) {
    return NotImplemented("SetClientData");
}
ZV_SC_EXPORT HRESULT SimConnect_FlightLoad(Handle) {
    return NotImplemented("FlightLoad");
}
ZV_SC_EXPORT HRESULT SimConnect_FlightSave(Handle) {
    return NotImplemented("FlightSave");
}
ZV_SC_EXPORT HRESULT SimConnect_FlightPlanLoad(Handle) {
    return NotImplemented("FlightPlanLoad");
}
ZV_SC_EXPORT HRESULT SimConnect_Text(Handle) {
    return NotImplemented("Text");
}
ZV_SC_EXPORT HRESULT SimConnect_SubscribeToFacilities(Handle) {
    return NotImplemented("SubscribeToFacilities");
}
ZV_SC_EXPORT HRESULT SimConnect_UnsubscribeToFacilities(Handle) {
    return NotImplemented("UnsubscribeToFacilities");
}
ZV_SC_EXPORT HRESULT SimConnect_RequestFacilitiesList(Handle) {
    return NotImplemented("RequestFacilitiesList");
}
