#pragma once

// Reads: aircraft variable "VERTICAL SPEED" (m/s); the failures system (each variometer's own
//        failure, and the static port of its cockpit); the pause flag.
// Writes: "zelvan_climb_needle", "zelvan_prec_climb_needle" and the same with "_2".

#include "Lib/FSX/GaugeAbi.h"
#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <array>
#include <cstdint>
#include <optional>

// The four variometers: in each cockpit a normal one (±30 m/s) and a precision one (±5 m/s).
// All show the host's vertical speed without lag, each on its own scale, and each freezes while
// its failure (or its cockpit's static port) is present.
class ClimbNeedlesSystem : public DefaultSystem {
public:
    ClimbNeedlesSystem() : DefaultSystem(3) {}

    void start() override;
    void update(double stepDt, bool first) override;

private:
    struct Needles {
        std::optional<except::NamedVariable> precision;
        std::optional<except::NamedVariable> climb;
    };

    std::uint32_t verticalSpeedVariable = fsx::kInvalidId;
    std::uint32_t unitMps = fsx::kInvalidId;
    // Per cockpit, made when the system starts.
    std::array<Needles, 2> needles;
};
