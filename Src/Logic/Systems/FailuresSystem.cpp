#include "Logic/Systems/FailuresSystem.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/Platform/Platform.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SystemRegistry.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// Ends the table and each list of prerequisites.
constexpr const char* kSection = "failures";

constexpr std::uint32_t kEnd = 0xFFFF;

struct FailureRow {
    std::uint32_t number;
    double meanTimes[3]; // levels 1 to 3; level 0 never fails anything
    std::uint32_t prerequisites[2];
};

constexpr FailureRow kFailureTable[] = {
    {0, {60.0, 40.0, 20.0}, {kEnd}},     // pitot
    {1, {60.0, 40.0, 20.0}, {kEnd}},     // static port, cockpit 1
    {2, {60.0, 40.0, 20.0}, {kEnd}},     // static port, cockpit 2
    {3, {60.0, 40.0, 20.0}, {1, kEnd}},  // variometer 1
    {4, {60.0, 40.0, 20.0}, {1, kEnd}},  // precision variometer 1
    {5, {60.0, 40.0, 20.0}, {2, kEnd}},  // variometer 2
    {6, {60.0, 40.0, 20.0}, {2, kEnd}},  // precision variometer 2
    {7, {60.0, 40.0, 20.0}, {kEnd}},     // airspeed indicator 1
    {8, {60.0, 40.0, 20.0}, {kEnd}},     // airspeed indicator 2
    {9, {60.0, 40.0, 20.0}, {1, kEnd}},  // altimeter 1
    {10, {60.0, 40.0, 20.0}, {2, kEnd}}, // altimeter 2
    {kEnd, {0.0, 0.0, 0.0}, {kEnd}},
};

// Per second of time step a failure occurs with probability rate / 50.
constexpr double kRateDivisor = 50.0;

// The system's process-wide values, initialised when the module loads.
struct Shared {
    // Draws every failure; seeded from the calendar time at each start.
    std::mt19937 generator;
    // Seconds of time step not yet drawn for.
    double pendingSeconds = 0.0;
};
Shared shared;

// Uniform in [0, 1): one 32-bit output of the generator over 2^32.
double Draw() {
    return static_cast<double>(shared.generator()) / 4294967296.0;
}

double RateAt(const FailuresSystem::Failure& failure, std::uint32_t level) {
    const double meanTime = failure.meanTimes[level];
    return meanTime > 0.000001 ? 1.0 / meanTime : 0.0;
}

} // namespace

FailuresSystem::FailuresSystem() : DefaultSystem(1) {
    for (std::uint32_t i = 0; i < failures.size(); ++i) {
        failures[i].number = i;
    }
}

void FailuresSystem::start() {
    // The settings can be read and written only once their path is known.
    Options::Instance().SetupPath();
    shared.generator.seed(
        static_cast<std::uint32_t>(static_cast<std::int64_t>(platform::CalendarTime())));
    for (const FailureRow* row = kFailureTable; row->number != kEnd; ++row) {
        Failure& failure = failures[row->number];
        failure.number = row->number;
        for (std::uint32_t l = 1; l < kLevels; ++l) {
            failure.meanTimes[l] = row->meanTimes[l - 1];
        }
        failure.rate = RateAt(failure, level);
        for (const std::uint32_t* p = row->prerequisites; *p != kEnd; ++p) {
            Failure* prerequisite = &failures[*p];
            if (std::find(failure.prerequisites.begin(), failure.prerequisites.end(),
                          prerequisite) == failure.prerequisites.end()) {
                failure.prerequisites.push_back(prerequisite);
            }
        }
    }
}

void FailuresSystem::update(double stepDt, bool first) {
    DefaultSystem::update(stepDt, first);
    // Nothing fails, and no time counts, while paused or standing on the ground.
    if (!enabled || module::SimulationPaused() ||
        fsx::OnGroundPastHalf(module::ReadGaugeVar(fsx::token::kOnGround))) {
        return;
    }
    // The rates change only with the level.
    if (const std::uint32_t sliderLevel = LevelForSlider(ServicePanelSelection.slider);
        sliderLevel != level) {
        SetLevel(sliderLevel);
    }
    if (!std::isfinite(stepDt)) {
        return;
    }
    shared.pendingSeconds += stepDt;
    const double whole = std::trunc(shared.pendingSeconds);
    shared.pendingSeconds -= whole;
    if (whole < 1.0) {
        return;
    }
    // One draw per whole second; a failure that has occurred is not drawn again.
    const auto draws = static_cast<std::uint32_t>(std::min(whole, 4294967295.0));
    for (Failure& failure : failures) {
        for (std::uint32_t i = 0; i < draws && !failure.failed; ++i) {
            failure.failed = failure.rate / kRateDivisor > Draw();
        }
    }
}

void FailuresSystem::LoadSettings(const std::string& file) {
    SetLevel(LevelForSlider(ServicePanelSelection.slider));
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(kFailureCount); ++i) {
        if (const char* key = ServicePanelSelection.failureKeys[i]) {
            failures[i].failed = Options::ReadBool(kSection, key, false, file);
        }
    }
}

void FailuresSystem::SaveSettings(const std::string& file) {
    Options::WriteInt(kSection, "probability", static_cast<int>(level), file);
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(kFailureCount); ++i) {
        if (const char* key = ServicePanelSelection.failureKeys[i]) {
            Options::WriteBool(kSection, key, failures[i].failed, file);
        }
    }
}

void FailuresSystem::SetLevel(std::uint32_t newLevel) {
    level = std::min(newLevel, kLevels - 1);
    for (Failure& failure : failures) {
        failure.rate = RateAt(failure, level);
    }
}

std::uint32_t FailuresSystem::LevelForSlider(std::int32_t slider) {
    if (slider <= 0) {
        return 0;
    }
    if (slider <= 40) {
        return 1;
    }
    return slider <= 80 ? 2 : 3;
}

double FailuresSystem::PendingSeconds() {
    return shared.pendingSeconds;
}

FailuresSystem* RegisteredFailures() {
    return module::registry != nullptr ? module::registry->Failures() : nullptr;
}

std::int32_t RepairFailures() {
    if (FailuresSystem* failures = RegisteredFailures()) {
        for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(kFailureCount); ++i) {
            failures->GetFailure(i).failed = false;
        }
    }
    return 0;
}
