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
        std::fprintf(file.get(), ",%s\n", AirspeedSourceName(r.iasSource));
    }
    for (Spread& s : spreads) {
        const double shown = r.values[s.instrument];
        const double flown = s.flight == kQuantities ? r.lateralAccelG : r.values[s.flight];
        if (std::isnan(shown) || std::isnan(flown)) {
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
    out << "instrument            largest difference        rms   at flight time\n";
    for (const Spread& s : spreads) {
        if (s.count == 0) {
            continue;
        }
        char line[160];
        const std::string_view name = kQuantityNames[s.instrument];
        std::snprintf(line, sizeof line, "%-20.*s %+12.3f %12.3f   %.0f s\n",
                      static_cast<int>(name.size()), name.data(), s.largest, s.Rms(), s.largestAt);
        out << line;
    }
}

} // namespace replay
