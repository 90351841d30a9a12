#pragma once

// Reads: gauge tokens 937 (turn), 926 (sideslip for the yaw string), 61 (speed for its
//        flutter), 60 (on the ground), 69 (ball in flight), 79 (bank); the power system
//        (battery 1 feeds cockpit 1's turn needle, battery 2 cockpit 2's); the pause flag.
// Writes: "ovi_turnkey_needle", "zelvan_turnkey_needle_2", "ovi_inclin_ball", "air_cord_angle",
//        "air_cord".

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <array>
#include <optional>

// The two electric turn-and-slip indicators, one per cockpit, each fed by its own battery; the
// inclinometer ball; and the yaw string, whose angle follows the sideslip and whose flutter
// quickens in steps with the speed. Without power a turn needle rests at the centre.
class AttitudeIndicatorSystem : public DefaultSystem {
public:
    AttitudeIndicatorSystem() : DefaultSystem(7) {}

    void start() override;
    void update(double stepDt, bool first) override;

private:
    // Made when the system starts.
    std::array<std::optional<except::NamedVariable>, 2> turnNeedles;
    std::optional<except::NamedVariable> ball;
    std::optional<except::NamedVariable> stringAngle;
    std::optional<except::NamedVariable> stringPhase;
};
