#pragma once

// Reads: cockpit event 0x11156.
// Writes: host key event 0x10380 with value 1.

#include "Logic/SystemBase.h"

#include <cstdint>

// Turns one click of the cockpit model into the host's own key event.
class SwitchesSystem : public DefaultSystem {
public:
    SwitchesSystem() : DefaultSystem(10) {}

    // Always false: the application does not look at the answer.
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) override;
};
