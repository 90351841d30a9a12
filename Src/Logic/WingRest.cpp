#include "Logic/WingRest.h"

#include "Lib/FSX/GaugeTokens.h"
#include "Logic/ModuleState.h"
#include "Logic/SimParameters.h"

#include <cmath>
#include <cstdlib>

namespace wingrest {

namespace {

constexpr double kLightBallastBankDeg = 6.0;
constexpr double kWingDownBankDeg = 8.0;
constexpr double kLightBallastKg = 20.0;
constexpr double kHeavyBallastKg = 40.0;

} // namespace

double DrawSide() {
    return (std::rand() % 2) != 0 ? 1.0 : -1.0;
}

void SetStations(double left, double right) {
    if (module::connection == nullptr) {
        return;
    }
    module::connection->SetPayloadWeight(SimParameters::kPayloadStation3, left);
    module::connection->SetPayloadWeight(SimParameters::kPayloadStation4, right);
}

bool Rest(double side) {
    const double mass = std::fabs(module::ReadGaugeVar(fsx::token::kBank)) >= kLightBallastBankDeg
                            ? kLightBallastKg
                            : kHeavyBallastKg;
    if (side < 0.0) {
        SetStations(0.0, mass);
    } else {
        SetStations(mass, 0.0);
    }
    if (std::fabs(module::ReadGaugeVar(fsx::token::kBank)) > kWingDownBankDeg) {
        SetStations(0.0, 0.0);
        return true;
    }
    return false;
}

} // namespace wingrest
