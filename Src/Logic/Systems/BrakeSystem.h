#pragma once

// Reads: gauge variable token 321 (the host's wheel brake, 0 to 32767); cockpit event 0x11067
//        (the brake lever's click); the connection's pause flag.
// Writes: "zelvan_brake"; host key event 0x10034 with value 0.

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <cstdint>
#include <optional>

// Shows the host's wheel brake on the cockpit's brake lever and turns the lever's click into the
// host's brake key event.
class BrakeSystem : public DefaultSystem {
public:
    static constexpr double kBrakeRange = 32767.0;

    BrakeSystem() : DefaultSystem(12) {}

    void start() override;
    void update(double stepDt, bool first) override;
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t value) override;

private:
    std::optional<except::NamedVariable> lever;
};
