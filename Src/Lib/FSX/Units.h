#pragma once

#include <cstdint>

namespace except {

// The units the module reads and writes in, in the order the host is asked for their ids.
enum class Unit : std::uint8_t {
    Bool = 1,
    Celsius,
    Degrees,
    Feet,
    FeetPerSecond,
    Kilogram,
    KilogramPerSecond,
    Kilometer,
    KilometerPerHour,
    Knots,
    Meters,
    MetersPerSecond,
    Number,
    Percent,
    Radian,
    Fahrenheit,
    Mbars,
};

constexpr std::uint8_t kUnitCount = 17;

// Process-wide table of the host's unit ids, filled once per module lifetime.
class Units {
public:
    static void Load();
    static bool Loaded();
    // Inline: systems write needles in degrees and percent every tick.
    static std::uint32_t Id(Unit unit) {
        if (!loaded) {
            Load();
        }
        return ids[static_cast<std::uint8_t>(unit)];
    }
    // The table entry the host id belongs to (the first, should the host repeat an id), or 0.
    static std::uint8_t Entry(std::uint32_t unitId);
    // How many times the table asked the host: 17 after a load, never more.
    static std::uint32_t Lookups();

private:
    // The table's process-wide values.
    static inline std::uint32_t ids[kUnitCount + 1] = {};
    static inline bool loaded = false;
};

} // namespace except
