#pragma once

#include "Lib/FSX/SimConnectTypes.h"
#include "Lib/NonCopyable.h"
#include "Lib/Platform/Platform.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace except {

// The module's one way to SimConnect: loads the client library that matches the host's build,
// resolves every entry point by name, opens the client and forwards the calls the module makes.
class SimConnectWrapper : private NonCopyable {
public:
    static constexpr std::size_t kEntryPoints = 72;
    // The entry points, in the order they are resolved.
    static const char* EntryPointName(std::size_t index);

    static SimConnectWrapper& Instance();
    ~SimConnectWrapper();

    // Throws except::Exception when the library cannot be chosen, loaded, resolved or opened.
    bool Init(const char* clientName);
    simconnect::Handle GetHandle();
    // Closes the client and frees the library, then waits a second for the simulator to let go.
    void Close();

    bool Opened() const { return opened; }
    const std::string& LibraryPath() const { return libraryPath; }
    // The client library for a host build.
    static const char* LibraryForBuild(std::uint16_t build);

    simconnect::HRESULT AddClientEventToNotificationGroup(simconnect::DWORD groupId,
                                                          simconnect::DWORD eventId, bool maskable);
    simconnect::HRESULT AddToDataDefinition(simconnect::DWORD defineId, const char* datumName,
                                            const char* unitsName, simconnect::DWORD datumType,
                                            float epsilon, simconnect::DWORD datumId);
    simconnect::HRESULT CallDispatch(simconnect::DispatchProc proc, void* context);
    simconnect::HRESULT CameraSetRelative6DOF(float x, float y, float z, float pitch, float bank,
                                              float heading);
    simconnect::HRESULT ClearDataDefinition(simconnect::DWORD defineId);
    simconnect::HRESULT ClearNotificationGroup(simconnect::DWORD groupId);
    simconnect::HRESULT MapClientEventToSimEvent(simconnect::DWORD eventId, const char* name);
    simconnect::HRESULT RemoveClientEvent(simconnect::DWORD groupId, simconnect::DWORD eventId);
    simconnect::HRESULT SetDataOnSimObject(simconnect::DWORD defineId, simconnect::DWORD objectId,
                                           simconnect::DWORD flags, simconnect::DWORD arrayCount,
                                           simconnect::DWORD unitSize, void* data);
    simconnect::HRESULT SetNotificationGroupPriority(simconnect::DWORD groupId,
                                                     simconnect::DWORD priority);
    simconnect::HRESULT SubscribeToSystemEvent(simconnect::DWORD eventId, const char* name);
    simconnect::HRESULT UnsubscribeFromSystemEvent(simconnect::DWORD eventId);

private:
    SimConnectWrapper() = default;

    template <typename Fn> Fn Entry(std::size_t index) const;

    simconnect::Handle handle = nullptr;
    platform::LibraryHandle module = nullptr;
    bool opened = false;
    std::string libraryPath;
    std::array<void*, kEntryPoints> entries{};
};

// The version record of the host executable: the four parts of the file version and the
// strings of its first translation (empty when the executable carries no record).
class VersionInfo : public platform::FileVersion {
public:
    VersionInfo();
};

} // namespace except
