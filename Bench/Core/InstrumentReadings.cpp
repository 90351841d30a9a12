#include "Bench/Core/InstrumentReadings.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace bench {

namespace {

std::vector<std::string> SplitCsv(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ',')) {
        cells.push_back(cell);
    }
    if (!line.empty() && line.back() == ',') {
        cells.emplace_back();
    }
    return cells;
}

// One trace row by variable name; a variable that did not exist reads NaN.
class Row {
public:
    Row(const std::vector<std::string>& header, const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < header.size() && i < cells.size(); ++i) {
            values[header[i]] = cells[i].empty() ? std::nan("") : std::stod(cells[i]);
        }
    }
    double operator()(const std::string& name) const {
        const auto it = values.find("lvar:" + name);
        return it != values.end() ? it->second : std::nan("");
    }

private:
    std::map<std::string, double> values;
};

__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
    char text[96];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

void PrintRow(const Row& r, const ReadingTime& at, std::ostream& out) {
    // Back from the needles' scales: airspeed in % of 400 km/h, variometers centred at 60 (±30
    // m/s over ±60) and 50 (±5 m/s over ±50), the kilometre needle in tens of kilometres, the
    // pressure scale over 960 to 1070 mbar, the compass card in turns.
    out << "    t=" << at.t << " " << at.phase << ":\n";
    out << "      airspeed "
        << Format("%.1f / %.1f km/h", r("zelvan_speed_needle") * 4.0,
                  r("zelvan_speed_needle_2") * 4.0);
    out << "; variometer "
        << Format("%+.2f / %+.2f m/s", (r("zelvan_climb_needle") - 60.0) / 2.0,
                  (r("zelvan_climb_needle_2") - 60.0) / 2.0)
        << ", precision "
        << Format("%+.2f / %+.2f m/s", (r("zelvan_prec_climb_needle") - 50.0) / 10.0,
                  (r("zelvan_prec_climb_needle_2") - 50.0) / 10.0)
        << "\n";
    out << "      altimeter "
        << Format("%.1f / %.1f m", r("zelvan_alt_kilo_needle") * 10000.0,
                  r("zelvan_alt_kilo_needle_2") * 10000.0)
        << " at "
        << Format("%.2f / %.2f mbar", r("zelvan_alt_press_scale") * 110.0 + 960.0,
                  r("zelvan_alt_press_scale_2") * 110.0 + 960.0)
        << " (knobs " << Format("%.1f / %.1f", r("zelvan_alt_rotary"), r("zelvan_alt_rotary_2"))
        << ")";
    out << "; compass "
        << Format("%.0f deg, bank %.2f", r("ovi_magnetic_scale") * 360.0, r("zelvan_compass_bank"))
        << Format(", pitch %.2f", r("zelvan_compass_pitch")) << "\n";
}

} // namespace

void PrintInstrumentReadings(const std::string& tracePath, const std::vector<ReadingTime>& times,
                             std::ostream& out) {
    std::ifstream in(tracePath);
    std::string line;
    if (times.empty() || !std::getline(in, line)) {
        return;
    }
    const std::vector<std::string> header = SplitCsv(line);
    out << "  instruments (cockpit 1 / cockpit 2):\n";
    std::size_t next = 0;
    while (next < times.size() && std::getline(in, line)) {
        const std::vector<std::string> cells = SplitCsv(line);
        if (cells.empty() || std::stod(cells[0]) < times[next].t - 1e-9) {
            continue;
        }
        PrintRow(Row(header, cells), times[next], out);
        ++next;
    }
}

} // namespace bench
