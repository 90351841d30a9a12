#pragma once

#include "Lib/FSX/GaugeAbi.h"

#include <cstdint>

namespace except {

// Connects one object to the host's stream of key events.
class FSXKeyHandler {
public:
    FSXKeyHandler() = default;
    FSXKeyHandler(const FSXKeyHandler&) = delete;
    FSXKeyHandler& operator=(const FSXKeyHandler&) = delete;
    virtual ~FSXKeyHandler();

    virtual bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) = 0;

    // Registering twice leaves one registration: the second call unregisters first.
    void Register();
    void Unregister();
    bool Registered() const { return registered; }

    // The one handler procedure the module gives the host.
    static std::int32_t ZV_STDCALL HandlerProc(std::uint32_t eventId, std::uint32_t value,
                                               void* user);

private:
    bool registered = false;
};

} // namespace except
