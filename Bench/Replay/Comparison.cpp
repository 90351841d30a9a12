#include "Bench/Replay/Comparison.h"

#include "Bench/Replay/Derivation.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace replay {

Comparison::Comparison(std::string target)
    : path(std::move(target)), partPath(path.empty() ? "" : path + ".part") {
    const auto add = [this](Quantity instrument, std::size_t flight, bool heading = false) {
        spreads.push_back({instrument, flight, heading});
    };
    add(kAltimeter1, kAltitude);
    add(kAltimeter2, kAltitude);
    add(kVariometer1, kVerticalSpeed);
    add(kVariometer2, kVerticalSpeed);
    add(kPrecision1, kVerticalSpeed);
    add(kPrecision2, kVerticalSpeed);
    add(kAirspeed1, kIas);
    add(kAirspeed2, kIas);
    add(kCompass, kHeading, true);
    add(kAttitude1Bank, kBank);
    add(kAttitude2Bank, kBank);
    add(kAttitude1Pitch, kPitch);
    add(kTurn1, kTurnRate);
    add(kTurn2, kTurnRate);
    add(kSlipBall, kQuantities);
}

Comparison::~Comparison() {
    if (!finished && file) {
        file.reset();
        std::error_code ec;
        std::filesystem::remove(partPath, ec);
    }
}

bool Comparison::Open() {
    if (path.empty()) {
        return true;
    }
    file.reset(std::fopen(partPath.c_str(), "wb"));
    if (!file) {
        return false;
    }
    std::fputs("time_s", file.get());
    for (const std::string_view name : kQuantityNames) {
        std::fprintf(file.get(), ",%.*s", static_cast<int>(name.size()), name.data());
    }
    for (const std::string_view name : kBatteryColumns) {
        std::fprintf(file.get(), ",%.*s", static_cast<int>(name.size()), name.data());
    }
    for (const std::string_view name : kPoweredColumns) {
        std::fprintf(file.get(), ",%.*s", static_cast<int>(name.size()), name.data());
    }
    std::fputs(",ias_source\n", file.get());
    return true;
}

void Comparison::Add(const CockpitReading& r) {
    if (file) {
        std::fprintf(file.get(), "%.2f", r.t);
        for (const double v : r.values) {
            if (std::isnan(v)) {
                std::fputc(',', file.get());
            } else {
                std::fprintf(file.get(), ",%.4f", v);
            }
        }
        for (const double pct : r.power.batteryPct) {
            if (std::isnan(pct)) {
                std::fputc(',', file.get());
            } else {
                std::fprintf(file.get(), ",%.2f", pct);
            }
        }
        for (const bool on : r.power.powered) {
            std::fputs(on ? ",1" : ",0", file.get());
        }
        std::fprintf(file.get(), ",%s\n", AirspeedSourceName(r.iasSource));
    }
    for (std::size_t c = 0; c < kConsumers; ++c) {
        if (firstRow ? !r.power.powered[c] : r.power.powered[c] != powered[c]) {
            powerChanges.push_back({c, r.t, r.power.powered[c], r.power.why[c]});
        }
        powered[c] = r.power.powered[c];
    }
    firstRow = false;
    for (Spread& s : spreads) {
        const double shown = r.values[s.instrument];
        const double flown = s.flight == kQuantities ? r.lateralAccelG : r.values[s.flight];
        if (std::isnan(shown) || std::isnan(flown)) {
            continue;
        }
        ++s.rows;
        s.stopSeconds += r.atStop[s.instrument] ? 1 : 0;
        // A dead instrument shows nothing of the flight: its differences are not its faults.
        if (const Consumer c = PowerOf(s.instrument); c != kConsumers && !r.power.powered[c]) {
            continue;
        }
        const double d = s.heading ? HeadingChange(flown, shown) : shown - flown;
        if (std::fabs(d) > std::fabs(s.largest) || s.count == 0) {
            s.largest = d;
            s.largestAt = r.t;
        }
        s.sumOfSquares += d * d;
        ++s.count;
    }
}

bool Comparison::Finish() {
    finished = true;
    if (!file) {
        return true;
    }
    const bool written = std::ferror(file.get()) == 0 && std::fclose(file.release()) == 0;
    std::error_code ec;
    if (written) {
        std::filesystem::rename(partPath, path, ec);
    }
    if (!written || ec) {
        std::filesystem::remove(partPath, ec);
        return false;
    }
    return true;
}

double Comparison::Spread::Rms() const {
    return count == 0 ? 0.0 : std::sqrt(sumOfSquares / static_cast<double>(count));
}

void Comparison::PrintSummary(std::ostream& out) const {
    out << "instrument            largest difference        rms   at flight time   at stop\n";
    for (const Spread& s : spreads) {
        if (s.rows == 0) {
            continue;
        }
        char cell[200];
        const std::string_view name = kQuantityNames[s.instrument];
        std::snprintf(cell, sizeof cell, "%-20.*s", static_cast<int>(name.size()), name.data());
        std::string line = cell;
        if (s.count == 0) {
            std::snprintf(cell, sizeof cell, " %-43s", "no power throughout");
        } else {
            std::snprintf(cell, sizeof cell, " %+12.3f %12.3f   %-14s", s.largest, s.Rms(),
                          (std::to_string(std::lround(s.largestAt)) + " s").c_str());
        }
        line += cell;
        if (s.stopSeconds > 0) {
            std::snprintf(cell, sizeof cell, " %5zu s", s.stopSeconds);
            line += cell;
        }
        if (PowerOf(s.instrument) != kConsumers && s.count > 0 && s.count < s.rows) {
            line += "   (differences while powered: " + std::to_string(s.count) + " of " +
                    std::to_string(s.rows) + " s)";
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << "\n";
    }
    out << "power, as the switches and the service panel's charge bars show it:\n";
    if (powerChanges.empty()) {
        out << "  every electric instrument had power throughout\n";
    }
    for (const PowerChange& c : powerChanges) {
        char line[200];
        const std::string_view name = kConsumerNames[c.consumer];
        std::snprintf(line, sizeof line, "  %-10.*s %s at %ld s", static_cast<int>(name.size()),
                      name.data(), c.powered ? "power back" : "lost power", std::lround(c.t));
        out << line << (c.powered ? "" : ": " + c.why) << "\n";
    }
}

} // namespace replay
