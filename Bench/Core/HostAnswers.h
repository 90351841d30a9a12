#pragma once

#include "Bench/Core/HostServices.h"

#include <cstdint>

namespace bench {

// What the simulator itself does with key events that change its own state.
//
// The altimeter pressure setting: 0x1015B raises it by one step, 0x1015C lowers it, within the
// limits below. The host then reports the indicated altitude for the new setting: the aircraft's
// static pressure stays, so the altitude is recomputed from the standard atmosphere. A setting the
// scenario never gave counts as the standard 1013.25 mbar.
//
// The COM frequency: 0x100AB carries it as four BCD digits without the leading "1" (0x1800 for
// 118.00 MHz); the host then reports it as gauge variable token 23.
class HostAnswers {
public:
    static constexpr std::uint32_t kComFrequency = 0x100AB;
    static constexpr std::uint32_t kComFrequencyToken = 23;
    static constexpr std::uint32_t kPressureUp = 0x1015B;
    static constexpr std::uint32_t kPressureDown = 0x1015C;
    static constexpr double kPressureStepMbar = 1.0;
    static constexpr double kPressureMinMbar = 940.0;
    static constexpr double kPressureMaxMbar = 1080.0;
    static constexpr double kStandardMbar = 1013.25;

    explicit HostAnswers(HostServices& services) : host(services) {}

    // Called by the host for every key event, before the module's handlers see it.
    void operator()(std::uint32_t id, std::uint32_t value);

    // The indicated altitude (m) at `newSetting` of an aircraft that indicates `altitude` at
    // `oldSetting` (both mbar), in the standard atmosphere.
    static double IndicatedAltitudeAt(double altitude, double oldSetting, double newSetting);

private:
    void StepPressureSetting(double steps);

    HostServices& host;
};

} // namespace bench
