#include "Bench/Host/SimulatorConnection.h"

#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace bench {

namespace {
// A float as its shortest text reads, so that 0.15f is logged as 0.15 and not as the double
// nearest to the float.
double AsWritten(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::strtod(std::string(text, result.ptr).c_str(), nullptr);
}
} // namespace

using simconnect::E_FAIL;
using simconnect::S_OK;

SimulatorConnection::SimulatorConnection(EventLog& eventLog, HostServices& hostServices)
    : log(eventLog), host(hostServices) {
    queue.reserve(64);
    delivering.reserve(64);
    zvrt_set_service(kSimConnectService, static_cast<SimConnectServer*>(this));
}

SimulatorConnection::~SimulatorConnection() {
    if (zvrt_get_service(kSimConnectService) == static_cast<SimConnectServer*>(this)) {
        zvrt_set_service(kSimConnectService, nullptr);
    }
}

void SimulatorConnection::Reset() {
    open = false;
    subscriptions.clear();
    definitions.clear();
    clientEvents.clear();
    groupEvents.clear();
    groupPriorities.clear();
    queue.clear();
    UpdateMasks(); // a client that goes away masks nothing any more
}

bool SimulatorConnection::Masked(const std::string& simEvent) const {
    for (const GroupEvent& g : groupEvents) {
        if (!g.maskable) {
            continue;
        }
        const auto mapped = clientEvents.find(g.eventId);
        const auto priority = groupPriorities.find(g.groupId);
        if (mapped != clientEvents.end() && mapped->second == simEvent &&
            priority != groupPriorities.end() && priority->second <= kHighestMaskablePriority) {
            return true;
        }
    }
    return false;
}

void SimulatorConnection::UpdateMasks() {
    for (const auto& [id, name] : clientEvents) {
        masks.try_emplace(name, false);
    }
    for (auto& [name, masked] : masks) {
        const bool now = Masked(name);
        if (now != masked) {
            masked = now;
            log.Write("mask", {Field::Text("event", name), Field::Bool("masked", now)});
        }
    }
}

void SimulatorConnection::QueueSystemEvent(const std::string& name, std::uint32_t data) {
    const auto it = subscriptions.find(name);
    if (!open || it == subscriptions.end()) {
        return; // nobody asked for it
    }
    queue.push_back({false, it->second, data, 0});
}

void SimulatorConnection::QueueException(std::uint32_t code, std::uint32_t sendId,
                                         std::uint32_t index) {
    if (open) {
        queue.push_back({true, code, sendId, index});
    }
}

SimConnectServer::HRESULT SimulatorConnection::Open(Handle* handle, const char* name, void* window,
                                                    DWORD, Handle, DWORD) {
    // The window only matters to a client that asks for notifications by a window message (a
    // user event); the module asks for none, so a host without a main window still connects.
    const bool refused = openFails || handle == nullptr || open;
    log.Write("simconnect", {Field::Text("call", "Open"), Field::Text("name", name ? name : ""),
                             Field::Bool("window", window != nullptr),
                             Field::Int("result", refused ? E_FAIL : S_OK)});
    if (refused) {
        return E_FAIL;
    }
    open = true;
    *handle = this;
    return S_OK;
}

SimConnectServer::HRESULT SimulatorConnection::Close(Handle handle) {
    log.Write("simconnect", {Field::Text("call", "Close")});
    if (!Valid(handle)) {
        return E_FAIL;
    }
    Reset();
    return S_OK;
}

SimConnectServer::HRESULT
SimulatorConnection::CallDispatch(Handle handle, simconnect::DispatchProc proc, void* context) {
    if (!Valid(handle) || proc == nullptr) {
        return E_FAIL;
    }
    if (queue.empty()) {
        return S_OK; // the pump runs every 10 ms; an empty pass is not worth a log line
    }
    log.Write("simconnect", {Field::Text("call", "CallDispatch"),
                             Field::Int("messages", static_cast<std::int64_t>(queue.size()))});
    delivering.swap(queue);
    dispatching = true;
    for (const Message& m : delivering) {
        if (m.isException) {
            simconnect::RecvException e{};
            e.size = sizeof e;
            e.version = 4;
            e.id = simconnect::kRecvException;
            e.exception = m.a;
            e.sendId = m.b;
            e.index = m.c;
            proc(&e, sizeof e, context);
        } else {
            simconnect::RecvEvent e{};
            e.size = sizeof e;
            e.version = 4;
            e.id = simconnect::kRecvEvent;
            e.groupId = simconnect::kUnused;
            e.eventId = m.a;
            e.data = m.b;
            proc(&e, sizeof e, context);
        }
        if (!open) {
            break; // the client closed from inside its dispatch
        }
    }
    dispatching = false;
    delivering.clear();
    return S_OK;
}

SimConnectServer::HRESULT SimulatorConnection::SubscribeToSystemEvent(Handle handle, DWORD eventId,
                                                                      const char* name) {
    log.Write("simconnect", {Field::Text("call", "SubscribeToSystemEvent"),
                             Field::Int("event", eventId), Field::Text("name", name ? name : "")});
    if (!Valid(handle) || name == nullptr) {
        return E_FAIL;
    }
    subscriptions[name] = eventId;
    return S_OK;
}

SimConnectServer::HRESULT SimulatorConnection::UnsubscribeFromSystemEvent(Handle handle,
                                                                          DWORD eventId) {
    log.Write("simconnect",
              {Field::Text("call", "UnsubscribeFromSystemEvent"), Field::Int("event", eventId)});
    if (!Valid(handle)) {
        return E_FAIL;
    }
    std::erase_if(subscriptions, [eventId](const auto& s) { return s.second == eventId; });
    return S_OK;
}

SimConnectServer::HRESULT SimulatorConnection::AddToDataDefinition(Handle handle, DWORD defineId,
                                                                   const char* datumName,
                                                                   const char* unitsName,
                                                                   DWORD datumType, float epsilon,
                                                                   DWORD datumId) {
    log.Write("simconnect",
              {Field::Text("call", "AddToDataDefinition"), Field::Int("define", defineId),
               Field::Text("datum", datumName ? datumName : ""),
               Field::Text("units", unitsName ? unitsName : ""),
               Field::Int("datum_type", datumType), Field::Double("epsilon", AsWritten(epsilon)),
               Field::Int("datum_id", datumId)});
    if (!Valid(handle) || datumName == nullptr || unitsName == nullptr) {
        return E_FAIL;
    }
    std::string name = datumName;
    std::uint32_t index = 0;
    if (const std::size_t colon = name.rfind(':'); colon != std::string::npos) {
        index = static_cast<std::uint32_t>(std::strtoul(name.c_str() + colon + 1, nullptr, 10));
        name.resize(colon);
    }
    const Definition made{defineId, host.AircraftVarId(name), host.UnitId(unitsName), index};
    if (Definition* known = FindDefinition(defineId)) {
        *known = made;
    } else {
        definitions.push_back(made);
    }
    return S_OK;
}

SimulatorConnection::Definition* SimulatorConnection::FindDefinition(DWORD defineId) {
    for (Definition& d : definitions) {
        if (d.defineId == defineId) {
            return &d;
        }
    }
    return nullptr;
}

SimConnectServer::HRESULT SimulatorConnection::ClearDataDefinition(Handle handle, DWORD defineId) {
    log.Write("simconnect",
              {Field::Text("call", "ClearDataDefinition"), Field::Int("define", defineId)});
    if (!Valid(handle)) {
        return E_FAIL;
    }
    std::erase_if(definitions, [defineId](const Definition& d) { return d.defineId == defineId; });
    return S_OK;
}

SimConnectServer::HRESULT SimulatorConnection::SetDataOnSimObject(Handle handle, DWORD defineId,
                                                                  DWORD objectId, DWORD flags,
                                                                  DWORD arrayCount, DWORD unitSize,
                                                                  const void* data) {
    double value = 0.0;
    if (data != nullptr && unitSize == sizeof value) {
        std::memcpy(&value, data, sizeof value);
    }
    if (log.Enabled()) { // the module writes its payload stations every tick
        log.Write("simconnect", {Field::Text("call", "SetDataOnSimObject"),
                                 Field::Int("define", defineId), Field::Int("object", objectId),
                                 Field::Int("flags", flags), Field::Int("count", arrayCount),
                                 Field::Int("size", unitSize), Field::Double("value", value)});
    }
    const Definition* d = FindDefinition(defineId);
    if (!Valid(handle) || d == nullptr || unitSize != sizeof value) {
        return E_FAIL;
    }
    host.SetAircraftVar(d->variable, d->units, d->index, value);
    return S_OK;
}

SimConnectServer::HRESULT
SimulatorConnection::MapClientEventToSimEvent(Handle handle, DWORD eventId, const char* name) {
    log.Write("simconnect", {Field::Text("call", "MapClientEventToSimEvent"),
                             Field::Int("event", eventId), Field::Text("name", name ? name : "")});
    if (!Valid(handle)) {
        return E_FAIL;
    }
    clientEvents[eventId] = name != nullptr ? name : "";
    UpdateMasks();
    return S_OK;
}

SimConnectServer::HRESULT SimulatorConnection::AddClientEventToNotificationGroup(Handle handle,
                                                                                 DWORD groupId,
                                                                                 DWORD eventId,
                                                                                 bool maskable) {
    log.Write("simconnect", {Field::Text("call", "AddClientEventToNotificationGroup"),
                             Field::Int("group", groupId), Field::Int("event", eventId),
                             Field::Bool("maskable", maskable)});
    if (!Valid(handle)) {
        return E_FAIL;
    }
    groupEvents.push_back({groupId, eventId, maskable});
    UpdateMasks();
    return S_OK;
}

SimConnectServer::HRESULT SimulatorConnection::RemoveClientEvent(Handle handle, DWORD groupId,
                                                                 DWORD eventId) {
    log.Write("simconnect", {Field::Text("call", "RemoveClientEvent"), Field::Int("group", groupId),
                             Field::Int("event", eventId)});
    if (!Valid(handle)) {
        return E_FAIL;
    }
    std::erase_if(groupEvents, [groupId, eventId](const GroupEvent& g) {
        return g.groupId == groupId && g.eventId == eventId;
    });
    UpdateMasks();
    return S_OK;
}

SimConnectServer::HRESULT
SimulatorConnection::SetNotificationGroupPriority(Handle handle, DWORD groupId, DWORD priority) {
    log.Write("simconnect", {Field::Text("call", "SetNotificationGroupPriority"),
                             Field::Int("group", groupId), Field::Int("priority", priority)});
    if (!Valid(handle)) {
        return E_FAIL;
    }
    groupPriorities[groupId] = priority;
    UpdateMasks();
    return S_OK;
}

SimConnectServer::HRESULT SimulatorConnection::ClearNotificationGroup(Handle handle,
                                                                      DWORD groupId) {
    log.Write("simconnect",
              {Field::Text("call", "ClearNotificationGroup"), Field::Int("group", groupId)});
    if (!Valid(handle)) {
        return E_FAIL;
    }
    std::erase_if(groupEvents, [groupId](const GroupEvent& g) { return g.groupId == groupId; });
    groupPriorities.erase(groupId);
    UpdateMasks();
    return S_OK;
}

SimConnectServer::HRESULT SimulatorConnection::CameraSetRelative6DOF(Handle handle, float x,
                                                                     float y, float z, float pitch,
                                                                     float bank, float heading) {
    log.Write("simconnect",
              {Field::Text("call", "CameraSetRelative6DOF"), Field::Double("x", AsWritten(x)),
               Field::Double("y", AsWritten(y)), Field::Double("z", AsWritten(z)),
               Field::Double("pitch", AsWritten(pitch)), Field::Double("bank", AsWritten(bank)),
               Field::Double("heading", AsWritten(heading))});
    return Valid(handle) ? S_OK : E_FAIL;
}

SimConnectServer::HRESULT SimulatorConnection::NotImplemented(const char* call) {
    log.Write("simconnect",
              {Field::Text("call", call ? call : ""), Field::Int("result", simconnect::E_NOTIMPL)});
    return simconnect::E_NOTIMPL;
}

} // namespace bench
