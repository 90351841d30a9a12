#include "Lib/FSX/Units.h"

#include "Lib/FSX/PanelServices.h"

namespace except {

namespace {

constexpr const char* kUnitNames[kUnitCount + 1] = {"",
                                                    "bool",
                                                    "celsius",
                                                    "degrees",
                                                    "feet",
                                                    "feet per second",
                                                    "kilogram",
                                                    "kilogram per second",
                                                    "kilometer",
                                                    "kilometer per hour",
                                                    "knots",
                                                    "meters",
                                                    "meters per second",
                                                    "number",
                                                    "percent",
                                                    "radian",
                                                    "fahrenheit",
                                                    "mbars"};

// The table's process-wide values.
std::uint32_t unitIds[kUnitCount + 1] = {};
bool unitsLoaded = false;
std::uint32_t unitLookups = 0;

} // namespace

void Units::Load() {
    if (unitsLoaded) {
        return;
    }
    for (std::uint8_t entry = 1; entry <= kUnitCount; ++entry) {
        unitIds[entry] = fsx::GetUnitsEnum(kUnitNames[entry]);
        ++unitLookups;
    }
    unitsLoaded = true;
}

bool Units::Loaded() {
    return unitsLoaded;
}

std::uint32_t Units::Id(Unit unit) {
    Load();
    return unitIds[static_cast<std::uint8_t>(unit)];
}

std::uint8_t Units::Entry(std::uint32_t unitId) {
    if (!unitsLoaded) {
        return 0;
    }
    for (std::uint8_t entry = 1; entry <= kUnitCount; ++entry) {
        if (unitIds[entry] == unitId) {
            return entry;
        }
    }
    return 0;
}

std::uint32_t Units::Lookups() {
    return unitLookups;
}

} // namespace except
