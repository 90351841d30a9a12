// What the bench's SimConnect stand-in asks of the simulator it stands in for. The bench
// publishes an implementation with zvrt_set_service(kSimConnectService, server); the stand-in
// client library forwards each SimConnect call to it.
#pragma once

#include "Lib/FSX/SimConnectTypes.h"

namespace bench {

inline constexpr const char* kSimConnectService = "simconnect";

class SimConnectServer {
public:
    using HRESULT = simconnect::HRESULT;
    using DWORD = simconnect::DWORD;
    using Handle = simconnect::Handle;

    virtual HRESULT Open(Handle* handle, const char* name, void* window, DWORD userEvent,
                         Handle eventHandle, DWORD configIndex) = 0;
    virtual HRESULT Close(Handle handle) = 0;
    virtual HRESULT CallDispatch(Handle handle, simconnect::DispatchProc proc, void* context) = 0;
    virtual HRESULT SubscribeToSystemEvent(Handle handle, DWORD eventId, const char* name) = 0;
    virtual HRESULT UnsubscribeFromSystemEvent(Handle handle, DWORD eventId) = 0;
    virtual HRESULT AddToDataDefinition(Handle handle, DWORD defineId, const char* datumName,
                                        const char* unitsName, DWORD datumType, float epsilon,
                                        DWORD datumId) = 0;
    virtual HRESULT ClearDataDefinition(Handle handle, DWORD defineId) = 0;
    virtual HRESULT SetDataOnSimObject(Handle handle, DWORD defineId, DWORD objectId, DWORD flags,
                                       DWORD arrayCount, DWORD unitSize, const void* data) = 0;
    virtual HRESULT MapClientEventToSimEvent(Handle handle, DWORD eventId, const char* name) = 0;
    virtual HRESULT AddClientEventToNotificationGroup(Handle handle, DWORD groupId, DWORD eventId,
                                                      bool maskable) = 0;
    virtual HRESULT RemoveClientEvent(Handle handle, DWORD groupId, DWORD eventId) = 0;
    virtual HRESULT SetNotificationGroupPriority(Handle handle, DWORD groupId, DWORD priority) = 0;
    virtual HRESULT ClearNotificationGroup(Handle handle, DWORD groupId) = 0;
    virtual HRESULT CameraSetRelative6DOF(Handle handle, float x, float y, float z, float pitch,
                                          float bank, float heading) = 0;
    // Every entry point the stand-in does not carry out.
    virtual HRESULT NotImplemented(const char* call) = 0;

protected:
    ~SimConnectServer() = default;
};

} // namespace bench
