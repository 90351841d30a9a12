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

std::uint32_t unitLookups = 0;

} // namespace

void Units::Load() {
    if (loaded) {
        return;
    }
    for (std::uint8_t entry = 1; entry <= kUnitCount; ++entry) {
        ids[entry] = fsx::GetUnitsEnum(kUnitNames[entry]);
        ++unitLookups;
    }
    loaded = true;
}

bool Units::Loaded() {
    return loaded;
}

std::uint8_t Units::Entry(std::uint32_t unitId) {
    if (!loaded) {
        return 0;
    }
    for (std::uint8_t entry = 1; entry <= kUnitCount; ++entry) {
        if (ids[entry] == unitId) {
            return entry;
        }
    }
    return 0;
}

std::uint32_t Units::Lookups() {
    return unitLookups;
}

} // namespace except
