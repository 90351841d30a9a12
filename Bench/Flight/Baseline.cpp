#include "Bench/Flight/Baseline.h"

#include "Bench/Flight/BaselineActive.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <algorithm>
#include <cstring>

namespace bench {

namespace {

// Room kept free ahead of a recorded step, so that recording never allocates inside one.
constexpr std::size_t kCallsAhead = 4096;
constexpr std::size_t kDrawnAhead = 256;
constexpr std::size_t kNameArena = 64 * 1024;
constexpr std::size_t kCameras = 1024;

template <typename S> typename S::Type HostSlot(const fsx::PanelServiceTable& table) {
    return fsx::Get<S>(&table);
}

} // namespace

// The table's recording slots: each notes its call while a step is recorded, then calls the
// host's own function.
struct BaselineSlots {
    using K = HostCall::Kind;
    static Baseline& B() { return *baseline::active; }

    static void ZV_STDCALL LookupVar(fsx::ModuleVar* var) {
        if (B().recording && var != nullptr) {
            B().Note(K::LookupVar, var->id);
        }
        HostSlot<fsx::slot::LookupVar>(B().hostTable)(var);
    }
    static double ZV_STDCALL GetNamed(std::uint32_t id, std::uint32_t units) {
        if (B().recording) {
            B().Note(K::GetNamed, id, units);
        }
        return HostSlot<fsx::slot::GetNamedVariableTypedValue>(B().hostTable)(id, units);
    }
    static void ZV_STDCALL SetNamed(std::uint32_t id, double value, std::uint32_t units) {
        if (B().recording) {
            B().Note(K::SetNamed, id, units, 0, 0, value);
        }
        HostSlot<fsx::slot::SetNamedVariableTypedValue>(B().hostTable)(id, value, units);
    }
    static double ZV_STDCALL AircraftVar(std::uint32_t var, std::uint32_t units,
                                         std::uint32_t index) {
        if (B().recording) {
            B().Note(K::AircraftVar, var, units, index);
        }
        return HostSlot<fsx::slot::AircraftVarget>(B().hostTable)(var, units, index);
    }
    static void NoteName(K kind, const char* name) {
        if (B().recording && name != nullptr) {
            if (const std::uint32_t at = B().KeepName(name); at != fsx::kInvalidId) {
                B().Note(kind, at);
            }
        }
    }
    static std::uint32_t ZV_STDCALL CheckNamed(const char* name) {
        NoteName(K::CheckNamed, name);
        return HostSlot<fsx::slot::CheckNamedVariable>(B().hostTable)(name);
    }
    static std::uint32_t ZV_STDCALL RegisterNamed(const char* name) {
        NoteName(K::RegisterNamed, name);
        return HostSlot<fsx::slot::RegisterNamedVariable>(B().hostTable)(name);
    }
    static std::uint32_t ZV_STDCALL UnitsEnum(const char* name) {
        NoteName(K::UnitsEnum, name);
        return HostSlot<fsx::slot::GetUnitsEnum>(B().hostTable)(name);
    }
    static std::uint32_t ZV_STDCALL AircraftVarEnum(const char* name) {
        NoteName(K::AircraftVarEnum, name);
        return HostSlot<fsx::slot::GetAircraftVarEnum>(B().hostTable)(name);
    }
    static fsx::Word ZV_STDCALL TriggerKey(std::uint32_t id, std::uint32_t value) {
        if (B().recording) {
            B().Note(K::TriggerKey, id, value);
        }
        return HostSlot<fsx::slot::TriggerKeyEvent>(B().hostTable)(id, value);
    }
    static fsx::Word ZV_STDCALL TriggerKey2(std::uint32_t id, std::uint32_t value) {
        if (B().recording) {
            B().Note(K::TriggerKey2, id, value);
        }
        return HostSlot<fsx::slot::TriggerKeyEvent2>(B().hostTable)(id, value);
    }
    static fsx::Word ZV_STDCALL PanelWindow(std::uint32_t ident) {
        if (B().recording) {
            B().Note(K::PanelWindow, ident);
        }
        return HostSlot<fsx::slot::PanelWindow>(B().hostTable)(ident);
    }
    // The host draws the module's elements; what it drew is kept for the stand-in's draw.
    static fsx::Word ZV_STDCALL ElementUpdate(fsx::ElementHeader* e) {
        const fsx::Word result = HostSlot<fsx::slot::ElementUpdate>(B().hostTable)(e);
        if (B().recording) {
            B().NoteDraw();
        }
        return result;
    }
};

Baseline::Baseline(HostServices& hostServices, SimConnectServer& simulatorServer)
    : host(hostServices), simulator(simulatorServer), hostTable(*hostServices.Table()),
      table(*hostServices.Table()) {
    namespace slot = fsx::slot;
    fsx::Install<slot::LookupVar>(table, &BaselineSlots::LookupVar);
    fsx::Install<slot::GetNamedVariableTypedValue>(table, &BaselineSlots::GetNamed);
    fsx::Install<slot::SetNamedVariableTypedValue>(table, &BaselineSlots::SetNamed);
    fsx::Install<slot::AircraftVarget>(table, &BaselineSlots::AircraftVar);
    fsx::Install<slot::CheckNamedVariable>(table, &BaselineSlots::CheckNamed);
    fsx::Install<slot::RegisterNamedVariable>(table, &BaselineSlots::RegisterNamed);
    fsx::Install<slot::GetUnitsEnum>(table, &BaselineSlots::UnitsEnum);
    fsx::Install<slot::GetAircraftVarEnum>(table, &BaselineSlots::AircraftVarEnum);
    fsx::Install<slot::TriggerKeyEvent>(table, &BaselineSlots::TriggerKey);
    fsx::Install<slot::TriggerKeyEvent2>(table, &BaselineSlots::TriggerKey2);
    fsx::Install<slot::PanelWindow>(table, &BaselineSlots::PanelWindow);
    fsx::Install<slot::ElementUpdate>(table, &BaselineSlots::ElementUpdate);
    calls.reserve(kCallsAhead * 4);
    names.reserve(kNameArena);
    cameras.reserve(kCameras);
    drawn.reserve(kDrawnAhead * 4);
    baseline::active = this;
    zvrt_set_service(kSimConnectService, static_cast<SimConnectServer*>(this));
}

Baseline::~Baseline() {
    if (zvrt_get_service(kSimConnectService) == static_cast<SimConnectServer*>(this)) {
        zvrt_set_service(kSimConnectService, &simulator);
    }
    if (baseline::active == this) {
        baseline::active = nullptr;
    }
}

void Baseline::BeginStep(std::int64_t step, bool eligible) {
    recording = eligible && step % stride == 0;
    recordingStep = step;
}

std::int64_t Baseline::StepNumber(const HostCall& stepEnd) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(stepEnd.b) << 32) | stepEnd.a);
}

void Baseline::EndStep() {
    if (!recording) {
        return;
    }
    recording = false;
    const auto number = static_cast<std::uint64_t>(recordingStep);
    Note(HostCall::Kind::StepEnd, static_cast<std::uint32_t>(number),
         static_cast<std::uint32_t>(number >> 32));
    ++recordedSteps;
    if (elements.empty() && host.PanelDrawn()) {
        MakeStandinElements();
    }
    if (recordedSteps >= kKeptSteps) {
        Thin();
    }
    if (calls.capacity() - calls.size() < kCallsAhead) {
        calls.reserve(calls.capacity() * 2);
    }
    if (drawn.capacity() - drawn.size() < kDrawnAhead) {
        drawn.reserve(drawn.capacity() * 2);
    }
}

void Baseline::Note(HostCall::Kind kind, std::uint32_t a, std::uint32_t b, std::uint32_t c,
                    std::uint32_t d, double value) {
    if (calls.size() < calls.capacity()) {
        calls.push_back({kind, a, b, c, d, value});
    }
}

std::uint32_t Baseline::KeepName(const char* name) {
    const std::size_t length = std::strlen(name) + 1;
    if (names.capacity() - names.size() < length) {
        return fsx::kInvalidId;
    }
    const auto at = static_cast<std::uint32_t>(names.size());
    names.insert(names.end(), name, name + length);
    return at;
}

void Baseline::NoteDraw() {
    const PanelFrame& frame = host.Panel();
    if (drawn.capacity() - drawn.size() < frame.size()) {
        return;
    }
    Note(HostCall::Kind::Draw, static_cast<std::uint32_t>(drawn.size()),
         static_cast<std::uint32_t>(frame.size()));
    for (const PanelElement& p : frame) {
        drawn.push_back({p.value, p.imageFlags, p.text});
    }
}

// Doubles the stride and keeps the recorded steps it still takes, moved down in place; the names
// they pass move to a fresh arena, so that the dropped steps' names free their room.
void Baseline::Thin() {
    using K = HostCall::Kind;
    stride *= 2;
    std::vector<char> keptNames;
    keptNames.reserve(kNameArena);
    std::size_t callsOut = 0;
    std::size_t drawnOut = 0;
    std::size_t camerasOut = 0;
    std::size_t kept = 0;
    std::size_t begin = 0;
    for (std::size_t end = 0; end < calls.size(); ++end) {
        if (calls[end].kind != K::StepEnd) {
            continue;
        }
        const bool keep = StepNumber(calls[end]) % stride == 0;
        for (std::size_t at = begin; keep && at <= end; ++at) {
            HostCall call = calls[at];
            switch (call.kind) {
            case K::Draw:
                for (std::uint32_t i = 0; i < call.b; ++i) {
                    drawn[drawnOut + i] = drawn[call.a + i];
                }
                call.a = static_cast<std::uint32_t>(drawnOut);
                drawnOut += call.b;
                break;
            case K::CameraSet:
                cameras[camerasOut] = cameras[call.a];
                call.a = static_cast<std::uint32_t>(camerasOut++);
                break;
            case K::CheckNamed:
            case K::RegisterNamed:
            case K::UnitsEnum:
            case K::AircraftVarEnum: {
                const char* name = names.data() + call.a;
                call.a = static_cast<std::uint32_t>(keptNames.size());
                keptNames.insert(keptNames.end(), name, name + std::strlen(name) + 1);
                break;
            }
            default:
                break;
            }
            calls[callsOut++] = call;
        }
        kept += keep ? 1 : 0;
        begin = end + 1;
    }
    calls.resize(callsOut);
    drawn.resize(drawnOut);
    cameras.resize(camerasOut);
    names.swap(keptNames);
    recordedSteps = kept;
}

// The stand-in's elements copy the module's as they were first drawn in a recorded step.
void Baseline::MakeStandinElements() {
    const PanelFrame& frame = host.Panel();
    elements.resize(frame.size());
    elementTexts.resize(frame.size());
    for (std::size_t i = 0; i < frame.size(); ++i) {
        fsx::ElementHeader& e = elements[i];
        const PanelElement& p = frame[i];
        e = fsx::ElementHeader{p.kind,  p.bitmap, p.position, p.imageFlags,   nullptr,
                               nullptr, nullptr,  0,          p.windowBitmap, nullptr};
        e.callback = p.hasCallback ? &BaselineStandin::Value : nullptr;
        e.child = i + 1 < frame.size() ? &elements[i + 1] : nullptr;
        if (p.isText) {
            e.text = elementTexts[i].data();
            e.textCapacity = elementTexts[i].size();
        }
    }
}

// ---- SimConnect
// -----------------------------------------------------------------------------------

SimConnectServer::HRESULT Baseline::Open(Handle* h, const char* name, void* window, DWORD userEvent,
                                         Handle eventHandle, DWORD configIndex) {
    const HRESULT result = simulator.Open(h, name, window, userEvent, eventHandle, configIndex);
    if (result == simconnect::S_OK && h != nullptr) {
        handle = *h;
    }
    return result;
}

SimConnectServer::HRESULT Baseline::Close(Handle h) {
    return simulator.Close(h);
}

SimConnectServer::HRESULT Baseline::CallDispatch(Handle h, simconnect::DispatchProc proc,
                                                 void* context) {
    if (recording) {
        Note(HostCall::Kind::Dispatch);
    }
    return simulator.CallDispatch(h, proc, context);
}

SimConnectServer::HRESULT Baseline::SubscribeToSystemEvent(Handle h, DWORD eventId,
                                                           const char* name) {
    return simulator.SubscribeToSystemEvent(h, eventId, name);
}

SimConnectServer::HRESULT Baseline::UnsubscribeFromSystemEvent(Handle h, DWORD eventId) {
    return simulator.UnsubscribeFromSystemEvent(h, eventId);
}

SimConnectServer::HRESULT Baseline::AddToDataDefinition(Handle h, DWORD defineId,
                                                        const char* datumName,
                                                        const char* unitsName, DWORD datumType,
                                                        float epsilon, DWORD datumId) {
    return simulator.AddToDataDefinition(h, defineId, datumName, unitsName, datumType, epsilon,
                                         datumId);
}

SimConnectServer::HRESULT Baseline::ClearDataDefinition(Handle h, DWORD defineId) {
    return simulator.ClearDataDefinition(h, defineId);
}

SimConnectServer::HRESULT Baseline::SetDataOnSimObject(Handle h, DWORD defineId, DWORD objectId,
                                                       DWORD flags, DWORD arrayCount,
                                                       DWORD unitSize, const void* data) {
    if (recording && unitSize == sizeof(double) && data != nullptr) {
        double value = 0.0;
        std::memcpy(&value, data, sizeof value);
        Note(HostCall::Kind::SetData, defineId, objectId, flags, arrayCount, value);
    }
    return simulator.SetDataOnSimObject(h, defineId, objectId, flags, arrayCount, unitSize, data);
}

// Setting up events and groups is no part of a tick: passed on, not replayed.
SimConnectServer::HRESULT Baseline::MapClientEventToSimEvent(Handle h, DWORD eventId,
                                                             const char* name) {
    return simulator.MapClientEventToSimEvent(h, eventId, name);
}

SimConnectServer::HRESULT
Baseline::AddClientEventToNotificationGroup(Handle h, DWORD groupId, DWORD eventId, bool maskable) {
    return simulator.AddClientEventToNotificationGroup(h, groupId, eventId, maskable);
}

SimConnectServer::HRESULT Baseline::RemoveClientEvent(Handle h, DWORD groupId, DWORD eventId) {
    return simulator.RemoveClientEvent(h, groupId, eventId);
}

SimConnectServer::HRESULT Baseline::SetNotificationGroupPriority(Handle h, DWORD groupId,
                                                                 DWORD priority) {
    return simulator.SetNotificationGroupPriority(h, groupId, priority);
}

SimConnectServer::HRESULT Baseline::ClearNotificationGroup(Handle h, DWORD groupId) {
    return simulator.ClearNotificationGroup(h, groupId);
}

SimConnectServer::HRESULT Baseline::CameraSetRelative6DOF(Handle h, float x, float y, float z,
                                                          float pitch, float bank, float heading) {
    if (recording && cameras.size() < cameras.capacity()) {
        Note(HostCall::Kind::CameraSet, static_cast<std::uint32_t>(cameras.size()));
        cameras.push_back({x, y, z, pitch, bank, heading});
    }
    return simulator.CameraSetRelative6DOF(h, x, y, z, pitch, bank, heading);
}

SimConnectServer::HRESULT Baseline::NotImplemented(const char* call) {
    return simulator.NotImplemented(call);
}

} // namespace bench
