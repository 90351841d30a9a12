#pragma once

#include "Logic/SystemBase.h"

#include <array>
#include <cstddef>
#include <memory>

class SoundSystem;
class FailuresSystem;
class PowerSystem;
class AGDSystem;

// Owns one instance of each system, made in their fixed order (which is also the order of the
// system list) and destroyed in reverse. Other systems reach each other by position.
class SystemRegistry {
public:
    static constexpr std::size_t kSystems = 18;
    enum Position : std::size_t {
        kEmpty = 0,
        kSound = 1,
        kFailures = 2,
        kSpeedNeedle = 3,
        kClimbNeedles = 4,
        kMagneticCompass = 5,
        kAltimeter = 6,
        kPower = 7,
        kAttitudeIndicator = 8,
        kDummies = 9,
        kWindows = 10,
        kSwitches = 11,
        kRadio = 12,
        kBrake = 13,
        kPilotHead = 14,
        kServicePanel = 15,
        kVisualStaff = 16,
        kAGD = 17,
    };

    SystemRegistry();
    ~SystemRegistry();
    SystemRegistry(const SystemRegistry&) = delete;
    SystemRegistry& operator=(const SystemRegistry&) = delete;

    // Null where the system does not exist (its creation failed or it is not built yet).
    SystemBase* At(std::size_t position) const;
    SoundSystem* Sound() const;
    FailuresSystem* Failures() const;
    PowerSystem* Power() const;
    AGDSystem* AGD() const;

private:
    std::array<std::unique_ptr<SystemBase>, kSystems> systems;
};
