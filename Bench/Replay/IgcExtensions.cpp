// The units of IGC extension fields. The digits carry no decimal point: the width tells how many
// of them are decimals. Loggers that follow the format's three-digit fields write whole km/h
// and whole degrees, and varios as a sign and metres per second with tenths ("+12" is 1.2 m/s);
// LX-type loggers write five-digit speeds in hundredths of km/h ("10897" is 108.97 km/h) and
// five-character varios in hundredths of m/s. A speed field therefore has three whole digits
// and the rest are decimals; varios and headings are read at the widths listed only.
#include "Bench/Replay/IgcExtensions.h"

#include <array>

namespace replay {

namespace {

struct Row {
    std::string_view code;
    std::size_t width;
    ExtensionValue value;
    double scale;
};

constexpr std::array<Row, 15> kFields = {{
    {"IAS", 3, ExtensionValue::Ias, 1.0},
    {"IAS", 4, ExtensionValue::Ias, 0.1},
    {"IAS", 5, ExtensionValue::Ias, 0.01},
    {"TAS", 3, ExtensionValue::Tas, 1.0},
    {"TAS", 4, ExtensionValue::Tas, 0.1},
    {"TAS", 5, ExtensionValue::Tas, 0.01},
    {"GSP", 3, ExtensionValue::GroundSpeed, 1.0},
    {"GSP", 4, ExtensionValue::GroundSpeed, 0.1},
    {"GSP", 5, ExtensionValue::GroundSpeed, 0.01},
    {"VAR", 3, ExtensionValue::Vario, 0.1},
    {"VAR", 5, ExtensionValue::Vario, 0.01},
    {"VAT", 3, ExtensionValue::TotalEnergyVario, 0.1},
    {"VAT", 5, ExtensionValue::TotalEnergyVario, 0.01},
    {"HDT", 3, ExtensionValue::Heading, 1.0},
    {"HDM", 3, ExtensionValue::Heading, 1.0},
}};

} // namespace

std::optional<ExtensionField> KnownExtension(std::string_view code, std::size_t width) {
    for (const Row& row : kFields) {
        if (row.code == code && row.width == width) {
            return ExtensionField{row.value, row.scale};
        }
    }
    return std::nullopt;
}

} // namespace replay
