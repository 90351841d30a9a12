#include "Bench/Host/HostAnswers.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/KeyEvents.h"

#include <algorithm>
#include <cmath>

namespace bench {

namespace {

// The standard atmosphere's pressure-altitude relation: h = H (1 - (p / p0)^k).
constexpr double kScaleHeightM = 44330.77;
constexpr double kExponent = 0.190263;
constexpr double kFeetPerMetre = 1.0 / 0.3048;
constexpr double kInHgPerMbar = 1.0 / 33.8639;

constexpr const char* kSetting = "KOHLSMAN SETTING MB";
constexpr const char* kAltitude = "INDICATED ALTITUDE";

} // namespace

double HostAnswers::IndicatedAltitudeAt(double altitude, double oldSetting, double newSetting) {
    // The static pressure p is what it is; only the reference p0 moves:
    // (p / p1)^k = (p / p0)^k (p0 / p1)^k.
    const double ratio = 1.0 - altitude / kScaleHeightM;
    return kScaleHeightM * (1.0 - ratio * std::pow(oldSetting / newSetting, kExponent));
}

void HostAnswers::operator()(std::uint32_t id, std::uint32_t value) {
    if (id == fsx::hostkey::kKohlsmanInc) {
        StepPressureSetting(1.0);
    } else if (id == fsx::hostkey::kKohlsmanDec) {
        StepPressureSetting(-1.0);
    } else if (id == fsx::hostkey::kComRadioSet) {
        host.SetToken(fsx::token::kComFrequency, static_cast<double>(value));
    }
}

void HostAnswers::StepPressureSetting(double steps) {
    double setting = host.AircraftVar(kSetting, "mbars", 0);
    if (setting <= 0.0) {
        setting = kStandardMbar;
    }
    const double next =
        std::clamp(setting + steps * kPressureStepMbar, kPressureMinMbar, kPressureMaxMbar);
    const double altitude = IndicatedAltitudeAt(host.AircraftVar(kAltitude, "m", 0), setting, next);
    // The host keeps its own variables in every unit it knows them in.
    host.SetAircraftVar(kSetting, "mbars", 0, next);
    host.SetAircraftVar(kSetting, "inHg", 0, next * kInHgPerMbar);
    host.SetAircraftVar(kAltitude, "m", 0, altitude);
    host.SetAircraftVar(kAltitude, "feet", 0, altitude * kFeetPerMetre);
}

} // namespace bench
