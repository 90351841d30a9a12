#include "Lib/FSX/SimVars.h"

#include "Lib/FSX/PanelServices.h"

#include <cmath>

namespace except {

GaugeVar::GaugeVar(std::uint32_t t) : token(t), record{t, nullptr, 0, 0.0, 0.0} {
    Units::Load();
    fsx::CallVoid<fsx::slot::InitializeVar>(&record);
}

double GaugeVar::getValue(std::uint32_t unitId) {
    const std::uint8_t entry = Units::Entry(unitId);
    return entry == 0 ? 0.0 : getValue(static_cast<Unit>(entry));
}

// A unit other than "number" changes the host's value by the module's rule for it.
double GaugeVar::Converted(double value, Unit unit) {
    if (unit == Unit::Bool) {
        return std::trunc(value) != 0.0 ? 1.0 : 0.0;
    }
    if (unit == Unit::Fahrenheit) {
        return value * 1.8 + 32.0;
    }
    return value;
}

SimVars::SimVars() {
    InitSimVars();
}

void SimVars::InitSimVars() {
    if (initialised) {
        return;
    }
    for (std::uint32_t token = fsx::kFirstToken; token <= fsx::kLastToken; ++token) {
        readers[token] = std::make_unique<GaugeVar>(token);
    }
    initialised = true;
}

} // namespace except
