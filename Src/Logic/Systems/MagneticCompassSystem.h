#pragma once

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
