#pragma once

// Reads: "zelvan_pilot_1_head" and "zelvan_pilot_1_head_vert" (the head continues from where
//        the cockpit model left it); the connection's pause flag; the calendar time and the C
//        library's generator.
// Writes: "zelvan_pilot_1_head", "zelvan_pilot_1_head_vert", "zelvan_pilot_1_head_vis".

#include "Lib/FSX/NamedVariable.h"
#include "Logic/SystemBase.h"

#include <optional>

// The front pilot's head: now and then it turns to a random side and nods up or down, pauses,
// and either returns to looking straight ahead or swings over to the other side. Each axis is
// its own small random walk between the resting position 0.5 and targets a swing away.
class PilotHeadSystem : public DefaultSystem {
public:
    static constexpr double kRest = 0.5;
    static constexpr double kSpeed = 0.5; // position units per second
    static constexpr double kMinSwing = 0.25;
    static constexpr double kMaxSwing = 0.5;
    static constexpr double kDecisionInterval = 1.0; // s at rest between decisions
    static constexpr double kStartChance = 0.2;
    static constexpr double kTolerance = 1e-6;

    PilotHeadSystem() : DefaultSystem(13) {}

    void start() override;
    void update(double stepDt, bool first) override;

private:
    struct Variables {
        // Defined in the source file: a class holding an optional of this one needs the
        // constructor declared before the member initializers are seen.
        Variables();
        except::NamedVariable horizontal{"zelvan_pilot_1_head"};
        except::NamedVariable vertical{"zelvan_pilot_1_head_vert"};
        except::NamedVariable visible{"zelvan_pilot_1_head_vis"};
    };

    std::optional<Variables> vars;
};
