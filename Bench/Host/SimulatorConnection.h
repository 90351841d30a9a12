#pragma once

#include "Bench/Host/HostServices.h"
#include "Bench/Output/EventLog.h"
#include "Bench/SimConnectStandin/SimConnectServer.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace bench {

// The simulator's end of SimConnect: one client at a time, its system-event subscriptions, data
// definitions and notification groups, and the queue of messages waiting for its dispatch.
// Every call the client makes is written to the event log, and so is every change of what the
// client masks (an event of type "mask").
class SimulatorConnection final : public SimConnectServer {
public:
    SimulatorConnection(EventLog& log, HostServices& host);
    ~SimulatorConnection();
    SimulatorConnection(const SimulatorConnection&) = delete;
    SimulatorConnection& operator=(const SimulatorConnection&) = delete;

    // Groups of this priority or higher (numerically lower) may mask their events.
    static constexpr DWORD kHighestMaskablePriority = 10000000;

    bool openFails = false;

    // True while the client withholds the simulator event from the simulation: a client event
    // mapped to it sits as maskable in a group whose priority allows masking.
    bool Masked(const std::string& simEvent) const;

    // Queues a host system event; it reaches the client only if it subscribed to the name.
    void QueueSystemEvent(const std::string& name, std::uint32_t data);
    void QueueException(std::uint32_t code, std::uint32_t sendId, std::uint32_t index);
    bool ClientOpen() const { return open; }
    // True while the client's dispatch procedure runs (timers started then are the client's).
    bool Dispatching() const { return dispatching; }
    // Forgets a client that went away without closing.
    void Reset();

    HRESULT Open(Handle* handle, const char* name, void* window, DWORD userEvent,
                 Handle eventHandle, DWORD configIndex) override;
    HRESULT Close(Handle handle) override;
    HRESULT CallDispatch(Handle handle, simconnect::DispatchProc proc, void* context) override;
    HRESULT SubscribeToSystemEvent(Handle handle, DWORD eventId, const char* name) override;
    HRESULT UnsubscribeFromSystemEvent(Handle handle, DWORD eventId) override;
    HRESULT AddToDataDefinition(Handle handle, DWORD defineId, const char* datumName,
                                const char* unitsName, DWORD datumType, float epsilon,
                                DWORD datumId) override;
    HRESULT ClearDataDefinition(Handle handle, DWORD defineId) override;
    HRESULT SetDataOnSimObject(Handle handle, DWORD defineId, DWORD objectId, DWORD flags,
                               DWORD arrayCount, DWORD unitSize, const void* data) override;
    HRESULT MapClientEventToSimEvent(Handle handle, DWORD eventId, const char* name) override;
    HRESULT AddClientEventToNotificationGroup(Handle handle, DWORD groupId, DWORD eventId,
                                              bool maskable) override;
    HRESULT RemoveClientEvent(Handle handle, DWORD groupId, DWORD eventId) override;
    HRESULT SetNotificationGroupPriority(Handle handle, DWORD groupId, DWORD priority) override;
    HRESULT ClearNotificationGroup(Handle handle, DWORD groupId) override;
    HRESULT CameraSetRelative6DOF(Handle handle, float x, float y, float z, float pitch, float bank,
                                  float heading) override;
    HRESULT NotImplemented(const char* call) override;

private:
    bool Valid(Handle handle) const { return open && handle == this; }
    // Logs each simulator event whose masking changed since the last call.
    void UpdateMasks();

    // The aircraft variable a definition writes: "NAME:INDEX" is NAME at INDEX.
    struct Definition {
        DWORD defineId;
        std::uint32_t variable; // the host's ids, looked up once
        std::uint32_t units;
        std::uint32_t index;
    };
    struct Message {
        bool isException;
        std::uint32_t a; // event id or exception code
        std::uint32_t b; // data or send id
        std::uint32_t c; // index
    };
    struct GroupEvent {
        DWORD groupId;
        DWORD eventId;
        bool maskable;
    };

    EventLog& log;
    HostServices& host;
    bool open = false;
    bool dispatching = false;
    std::map<std::string, DWORD> subscriptions; // system event name -> client event id
    // A client declares a handful: a flat list, searched on every data write.
    std::vector<Definition> definitions;
    Definition* FindDefinition(DWORD defineId);
    std::map<DWORD, std::string> clientEvents; // client event id -> simulator event name
    std::vector<GroupEvent> groupEvents;
    std::map<DWORD, DWORD> groupPriorities;
    std::map<std::string, bool> masks; // simulator event name -> masked, as last logged
    std::vector<Message> queue;
    std::vector<Message> delivering;
};

} // namespace bench
