#include "Logic/Systems/PilotHeadSystem.h"

#include "Lib/FreshTwister.h"
#include "Lib/Platform/Platform.h"
#include "Logic/ModuleState.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>

namespace {

// One axis of the head's movement.
struct Axis {
    double target = PilotHeadSystem::kRest;
    double direction = 1.0;
    double timer = 0.0; // s since the last decision at rest
};

// The system's process-wide values, initialised when the module loads.
struct Shared {
    Axis horizontal;
    Axis vertical;
};
Shared shared;

// The C runtime's generator on its classic range 0 to 32767, whatever RAND_MAX is here.
int DrawRuntime() {
    return std::rand() % 32768;
}

double DrawAmplitude() {
    const double r = static_cast<double>(DrawRuntime()) / 32767.0;
    return std::clamp(r, PilotHeadSystem::kMinSwing, PilotHeadSystem::kMaxSwing);
}

// A fresh Mersenne twister for this one draw, seeded from the calendar second and the runtime
// generator.
bool DrawStart() {
    const auto seconds =
        static_cast<std::uint32_t>(static_cast<std::int64_t>(platform::CalendarTime()));
    except::FreshTwister twister(seconds + static_cast<std::uint32_t>(DrawRuntime()));
    return std::bernoulli_distribution(PilotHeadSystem::kStartChance)(twister);
}

void Decide(Axis& axis, double position) {
    if (std::fabs(axis.target - position) >= PilotHeadSystem::kTolerance) {
        return; // still moving
    }
    if (std::fabs(axis.target - PilotHeadSystem::kRest) > PilotHeadSystem::kTolerance) {
        // Arrived at a side: back to rest, or over to the other side.
        const bool back = DrawRuntime() % 2 == 0;
        axis.direction = -axis.direction;
        axis.target = back ? PilotHeadSystem::kRest
                           : PilotHeadSystem::kRest + axis.direction * DrawAmplitude();
        return;
    }
    if (axis.timer >= PilotHeadSystem::kDecisionInterval) {
        axis.timer = 0.0;
        if (DrawStart()) {
            axis.direction = DrawRuntime() % 2 != 0 ? 1.0 : -1.0;
            axis.target = PilotHeadSystem::kRest + axis.direction * DrawAmplitude();
        }
    }
}

double Move(const Axis& axis, double position, double dt) {
    const double next = position + axis.direction * dt * PilotHeadSystem::kSpeed;
    // The head stops exactly at its target.
    return axis.direction < 0.0 ? std::max(next, axis.target) : std::min(next, axis.target);
}

} // namespace

PilotHeadSystem::Variables::Variables() = default;

void PilotHeadSystem::start() {
    vars.emplace();
    vars->horizontal.Set(kRest);
    vars->vertical.Set(kRest);
    vars->visible.Set(1.0);
}

void PilotHeadSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused() || !vars) {
        return;
    }
    const double h = vars->horizontal.Get();
    const double v = vars->vertical.Get();
    shared.horizontal.timer += stepDt;
    shared.vertical.timer += stepDt;
    Decide(shared.horizontal, h);
    Decide(shared.vertical, v);
    vars->horizontal.Set(Move(shared.horizontal, h, stepDt));
    vars->vertical.Set(Move(shared.vertical, v, stepDt));
}
