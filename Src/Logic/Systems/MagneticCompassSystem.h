#pragma once

// Reads: gauge tokens 83 (heading), 932 (the card's sideways tilt), 933 (its fore-and-aft tilt);
//        the pause flag.
// Writes: "ovi_magnetic_scale", "zelvan_compass_bank", "zelvan_compass_pitch".

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <optional>

// The magnetic compass: copies the host's heading onto the card and tilts the card sideways and
// fore and aft within its travel. No dynamics of its own.
class MagneticCompassSystem : public DefaultSystem {
public:
    MagneticCompassSystem() : DefaultSystem(4) {}

    void update(double stepDt, bool first) override;

private:
    // The card's variables come into being on the first update.
    std::optional<except::NamedVariable> scale;
    std::optional<except::NamedVariable> bank;
    std::optional<except::NamedVariable> pitch;
};
