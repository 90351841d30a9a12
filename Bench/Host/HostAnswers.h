#pragma once

#include "Bench/Host/HostServices.h"

#include <cstdint>

namespace bench {

// What the simulator itself does with key events that change its own state.
//
// The altimeter pressure setting: KOHLSMAN_INC raises it by one step, KOHLSMAN_DEC lowers it,
// within the limits below. The host then reports the indicated altitude for the new setting: the
// aircraft's static pressure stays, so the altitude is recomputed from the standard atmosphere. A
// setting the scenario never gave counts as the standard 1013.25 mbar.
//
// The COM frequency: COM_RADIO_SET carries it as four BCD digits without the leading "1" (0x1800
// for 118.00 MHz); the host then reports it as gauge variable fsx::token::kComFrequency.
class HostAnswers {
public:
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
