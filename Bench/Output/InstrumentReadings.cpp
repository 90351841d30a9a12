#include "Bench/Output/InstrumentReadings.h"

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
    // The attitude indicators: bank over 360 and pitch over 180 about the centre 0.5; the turn
    // needles span -10 to +10; the ball -127 to +127 in flight; the radio's knobs: whole
    // megahertz above 118, the 100 kHz digit and the 25 kHz step (0, 2, 4, 6).
    const auto bank = [&r](const char* name) { return (0.5 - r(name)) * 360.0; };
    const auto pitch = [&r](const char* name) { return (r(name) - 0.5) * 180.0; };
    const auto turn = [&r](const char* name) { return r(name) * 20.0 - 10.0; };
    out << "      attitude "
        << Format("bank %+.1f / %+.1f deg, pitch %+.1f / %+.1f deg", bank("ovi_bank_indicator"),
                  bank("ovi_bank_indicator_2"), pitch("ovi_pitch_scale"),
                  pitch("ovi_pitch_scale_2"))
        << "; turn "
        << Format("%+.1f / %+.1f (attitude indicators %+.1f / %+.1f)", turn("ovi_turnkey_needle"),
                  turn("zelvan_turnkey_needle_2"), turn("att_turn_needle_1"),
                  turn("att_turn_needle_2"))
        << "\n";
    const double com = 118.0 + r("zelvan_radio_main") + r("zelvan_radio_01") / 10.0 +
                       r("zelvan_radio_001") / 2.0 * 0.025;
    out << "      ball " << Format("%.2f", r("ovi_inclin_ball")) << ", yaw string "
        << Format("%.2f", r("air_cord_angle")) << "; COM " << Format("%.3f MHz", com) << "\n";
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

namespace bench {

void PrintBatteries(const std::string& settingsPath, std::ostream& out) {
    std::ifstream in(settingsPath);
    std::string line;
    bool power = false;
    std::map<std::string, std::string> keys;
    while (std::getline(in, line)) {
        if (!line.empty() && line.front() == '[') {
            power = line == "[power]";
        } else if (const auto eq = line.find('='); power && eq != std::string::npos) {
            keys[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    if (keys.empty()) {
        return;
    }
    // A charge of -1 is a battery that was never charged.
    const auto charge = [&keys](const std::string& key) {
        const auto it = keys.find(key);
        if (it == keys.end() || it->second.empty() || std::stod(it->second) < 0.0) {
            return std::string("no charge record");
        }
        return Format("%.2f %%", std::stod(it->second) * 100.0);
    };
    const auto on = [&keys](const std::string& key) {
        const auto it = keys.find(key);
        return it != keys.end() && it->second == "True" ? "on" : "off";
    };
    out << "  batteries at unload: battery 1 " << charge("battery1") << " (" << on("battery1switch")
        << "), battery 2 " << charge("battery2") << " (" << on("battery2switch") << "), radio "
        << charge("batteryRadio") << " (master " << on("masterswitch") << "; attitude indicators "
        << on("agd1switch") << " / " << on("agd2switch") << ")\n";
}

} // namespace bench
