#pragma once

// Reads: gauge token 60 (on the ground: nothing fails and no time counts there); the service
//        panel's failure slider (the shared cockpit state); the calendar time (the generator's
//        seed); the pause flag; settings section "failures": one key a failure, read after the
//        settings have read the slider.
// Writes: each failure's own flag, which the airspeed indicators, variometers and altimeters ask
//        for through FailurePresent; nothing to the host; settings section "failures":
//        "probability" (the level) and one key a failure.

#include "Logic/CockpitState.h"
#include "Logic/SystemBase.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Makes the pressure instruments fail at random while the glider flies. Each of the eleven
// failures is drawn once per accumulated second of time step, with a probability the pilot sets
// on the service panel's slider. A failure also counts as present while one it depends on is:
// a blocked static port takes the variometers and the altimeter of its cockpit with it.
// A failure stays until the pilot repairs all of them or a saved state is loaded.
class FailuresSystem : public DefaultSystem {
public:
    static constexpr std::uint32_t kLevels = 4;

    // The failure numbers, which the instruments ask for.
    enum Number : std::uint32_t {
        kPitot = 0,
        kStaticPort1 = 1,
        kStaticPort2 = 2,
        kClimbNeedle1 = 3,
        kClimbNeedlePrec1 = 4,
        kClimbNeedle2 = 5,
        kClimbNeedlePrec2 = 6,
        kAirspeedNeedle1 = 7,
        kAirspeedNeedle2 = 8,
        kAltimeter1 = 9,
        kAltimeter2 = 10,
    };

    struct Failure {
        std::uint32_t number = 0;
        // The failures whose presence makes this one present; no duplicates.
        std::vector<Failure*> prerequisites;
        // 1 / mean time at the current level; 0 where the level never fails it.
        double rate = 0.0;
        // Mean time per level 0 to 3; -1 means "never at this level".
        std::array<double, kLevels> meanTimes{-1.0, -1.0, -1.0, -1.0};
        // The failure itself has occurred.
        bool failed = false;

        // Present: a prerequisite is present (asked first, in order), or the failure itself.
        bool IsFailed() const {
            for (const Failure* prerequisite : prerequisites) {
                if (prerequisite->IsFailed()) {
                    return true;
                }
            }
            return failed;
        }
    };

    FailuresSystem();

    void start() override;
    void update(double stepDt, bool first) override;
    // Section "failures": the level from the panel's slider, which the settings read first, and
    // each failure's own flag (one present only through a failure it depends on comes back
    // through that failure; stored on its own it would outlive the repair of the cause).
    void LoadSettings(const std::string& file) override;
    void SaveSettings(const std::string& file) override;

    // Index 0 to 10.
    Failure& GetFailure(std::uint32_t index) { return failures[index]; }
    const Failure& GetFailure(std::uint32_t index) const { return failures[index]; }
    // Level 0 to 3; a larger level counts as 3.
    void SetLevel(std::uint32_t newLevel);
    std::uint32_t GetLevel() const { return level; }

    // The level of a failure-slider position: 0; 1 to 40; 41 to 80; 81 and above.
    static std::uint32_t LevelForSlider(std::int32_t slider);
    // Time step accumulated and not yet drawn for, below one second.
    static double PendingSeconds();

private:
    std::uint32_t level = 0;
    std::array<Failure, kFailureCount> failures;
};

// The registry's failures system; null without a registry or when it could not be made.
FailuresSystem* RegisteredFailures();

// Whether a failure is present; without a failures system nothing has failed.
inline bool FailurePresent(const FailuresSystem* failures, std::uint32_t number) {
    return failures != nullptr && failures->GetFailure(number).IsFailed();
}

// The service panel's repair: clears every failure's own flag. Returns 0 for the host.
std::int32_t RepairFailures();
