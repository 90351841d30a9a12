#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace replay {

// What an IGC B record's extension field (named by a three-letter code in the I record) holds.
enum class ExtensionValue {
    Ias,              // indicated airspeed, km/h
    Tas,              // true airspeed, km/h
    GroundSpeed,      // km/h
    Vario,            // vertical speed, m/s (up +)
    TotalEnergyVario, // a compensated variometer, m/s (up +)
    Heading           // degrees
};

struct ExtensionField {
    ExtensionValue value;
    double scale; // the field's digits (with their sign) times this: the value in its unit
};

// How to read the field `code` that is `width` characters wide, or nullopt for a code the
// replay does not use or a width whose decimals are not known (the field is then passed over:
// a guessed scale would put a speed off by a factor of ten). One table holds every code and
// width, see IgcExtensions.cpp and the replay section of docs/bench.md.
std::optional<ExtensionField> KnownExtension(std::string_view code, std::size_t width);

} // namespace replay
