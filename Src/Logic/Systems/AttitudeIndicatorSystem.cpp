#include "Logic/Systems/AttitudeIndicatorSystem.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Logic/ModuleState.h"
#include "Logic/Systems/PowerSystem.h"

#include <algorithm>

namespace {

struct Cockpit {
    const char* turnNeedleName;
    std::size_t battery;
};

// The two needles' names carry different prefixes.
constexpr Cockpit kCockpits[2] = {
    {"ovi_turnkey_needle", PowerSystem::kBattery1},
    {"zelvan_turnkey_needle_2", PowerSystem::kBattery2},
};

// Flutter steps per update above each speed; the last that the speed exceeds wins.
struct FlutterStep {
    double speed;
    double increment;
};
constexpr FlutterStep kFlutter[] = {
    {20.0, 0.001}, {30.0, 0.005}, {40.0, 0.01}, {50.0, 0.02}, {60.0, 0.03}};

// The system's process-wide values, initialised when the module loads.
struct Shared {
    double flutterPhase = 0.0;
};
Shared shared;

} // namespace

void AttitudeIndicatorSystem::start() {
    for (std::size_t i = 0; i < turnNeedles.size(); ++i) {
        turnNeedles[i].emplace(kCockpits[i].turnNeedleName);
    }
    ball.emplace("ovi_inclin_ball");
    stringAngle.emplace("air_cord_angle");
    stringPhase.emplace("air_cord");
    for (const auto& needle : turnNeedles) {
        needle->Set(0.5);
    }
    ball->Set(0.5);
}

void AttitudeIndicatorSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    if (!enabled || module::SimulationPaused() || !ball) {
        return;
    }
    const PowerSystem* power = RegisteredPower();
    const double turn = module::ReadGaugeVar(fsx::token::kTurnRate);
    for (std::size_t i = 0; i < turnNeedles.size(); ++i) {
        const bool powered =
            power != nullptr && PowerSystem::IsPowered(power->BatteryAt(kCockpits[i].battery));
        turnNeedles[i]->Set(powered ? (turn + 10.0) / 20.0 : 0.5);
    }

    stringAngle->Set(
        std::clamp(0.5 - module::ReadGaugeVar(fsx::token::kSideslip) / 500.0, 0.0, 1.0));

    const double speed = module::ReadGaugeVar(fsx::token::kSpeed);
    double increment = 0.0;
    for (const FlutterStep& step : kFlutter) {
        if (speed > step.speed) {
            increment = step.increment;
        }
    }
    shared.flutterPhase += increment;
    if (shared.flutterPhase > 1.0) {
        shared.flutterPhase = 0.0; // the excess is dropped
    }
    stringPhase->Set(shared.flutterPhase);

    // On the ground the ball shows the lean of a glider resting on a wing tip.
    if (fsx::AirborneExactly(module::ReadGaugeVar(fsx::token::kOnGround))) {
        ball->Set(0.5 + module::ReadGaugeVar(fsx::token::kTurnBall) / 254.0);
    } else {
        ball->Set(0.5 - module::ReadGaugeVar(fsx::token::kBank) / 50.0);
    }
}
