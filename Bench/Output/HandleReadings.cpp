#include "Bench/Output/HandleReadings.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace bench {

namespace {

constexpr const char* kColumns[] = {"lvar:zelvan_spoilers_grip", "lvar:zelvan_flaps_grip",
                                    "lvar:zelvan_gear_grip", "lvar:zelvan_covers",
                                    "lvar:zelvan_covers_visible"};
constexpr std::size_t kCount = sizeof kColumns / sizeof kColumns[0];

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream in(line + ",");
    for (std::string cell; std::getline(in, cell, ',');) {
        cells.push_back(cell);
    }
    return cells;
}

std::string Percent(double fraction) {
    if (std::isnan(fraction)) {
        return "-";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.0f%%", fraction * 100.0);
    return text;
}

std::string Gear(double fraction) {
    if (fraction >= 0.9999) {
        return "down";
    }
    return fraction <= 0.0001 ? "up" : Percent(fraction) + " down";
}

} // namespace

void PrintHandleReadings(const std::string& tracePath, const std::vector<ReadingTime>& times,
                         std::ostream& out) {
    std::ifstream in(tracePath);
    std::string line;
    if (times.empty() || !std::getline(in, line)) {
        return;
    }
    const std::vector<std::string> header = Cells(line);
    std::size_t index[kCount];
    for (std::size_t c = 0; c < kCount; ++c) {
        index[c] = header.size();
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (header[i] == kColumns[c]) {
                index[c] = i;
            }
        }
    }
    out << "  handles and covers:\n";
    std::size_t next = 0;
    while (next < times.size() && std::getline(in, line)) {
        const std::vector<std::string> cells = Cells(line);
        if (cells.empty() || std::stod(cells[0]) < times[next].t - 1e-9) {
            continue;
        }
        double v[kCount];
        for (std::size_t c = 0; c < kCount; ++c) {
            v[c] = index[c] < cells.size() && !cells[index[c]].empty() ? std::stod(cells[index[c]])
                                                                       : std::nan("");
        }
        out << "    t=" << times[next].t << " " << times[next].phase << ": spoilers "
            << Percent(v[0]) << ", flaps " << Percent(v[1]) << ", gear " << Gear(v[2])
            << "; covers " << (v[4] == 1.0 ? "shown, " + Percent(v[3]) + " on" : "hidden") << "\n";
        ++next;
    }
}

} // namespace bench
