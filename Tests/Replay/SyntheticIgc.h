// IGC logs written by the tests: fixes at whole seconds past noon, and a glider flown through
// a moving air mass at a steady true airspeed, turning as told.
#pragma once

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace synthetic {

inline constexpr double kDeg = std::numbers::pi / 180.0;
inline constexpr double kEarthRadiusM = 6371000.0;

// A B record at `second` past noon for a position in degrees (north and east) and the pressure
// and GNSS altitudes; `extensions` follows the fixed part.
inline std::string Fix(int second, double lat, double lon, int pressure, int gnss,
                       const std::string& extensions = "") {
    const auto minutes = [](double deg) {
        return static_cast<long>(
            std::lround((std::fabs(deg) - std::floor(std::fabs(deg))) * 60000.0));
    };
    char line[64];
    std::snprintf(line, sizeof line, "B%02d%02d%02d%02d%05ld%c%03d%05ld%cA%05d%05d",
                  12 + second / 3600, second / 60 % 60, second % 60, static_cast<int>(lat),
                  minutes(lat), 'N', static_cast<int>(lon), minutes(lon), 'E', pressure, gnss);
    return line + extensions + "\n";
}

// A stretch of the flight: so long, turning so fast (right +, 0 straight), climbing so fast.
struct Stretch {
    double seconds;
    double turnDps;
    double climbMs;
};

// The air: where the wind blows from and how fast.
struct Air {
    double windKph;
    double fromDeg;
};

// The log of a glider flown at `tasKph` (true) through `air` from heading 0, a fix every
// `fixEveryS` seconds, from 1000 m; its position integrated in 10 ms steps and logged as a
// logger writes it.
inline std::string FlyThrough(const Air& air, double tasKph, const std::vector<Stretch>& flight,
                              int fixEveryS = 1) {
    const double lat0 = 46.0;
    const double lon0 = 13.0;
    const double windNorth = -air.windKph / 3.6 * std::cos(air.fromDeg * kDeg);
    const double windEast = -air.windKph / 3.6 * std::sin(air.fromDeg * kDeg);
    std::string log = "HFDTE030416\n";
    double north = 0.0;
    double east = 0.0;
    double altitude = 1000.0;
    double heading = 0.0;
    int second = 0;
    constexpr int kStepsPerSecond = 100;
    const auto fix = [&] {
        log +=
            Fix(second, lat0 + north / kEarthRadiusM / kDeg,
                lon0 + east / kEarthRadiusM / kDeg / std::cos(lat0 * kDeg),
                static_cast<int>(std::lround(altitude)), static_cast<int>(std::lround(altitude)));
    };
    fix();
    for (const Stretch& s : flight) {
        for (int i = 0; i < std::lround(s.seconds) * kStepsPerSecond; ++i) {
            const double dt = 1.0 / kStepsPerSecond;
            heading += s.turnDps * dt;
            north += (tasKph / 3.6 * std::cos(heading * kDeg) + windNorth) * dt;
            east += (tasKph / 3.6 * std::sin(heading * kDeg) + windEast) * dt;
            altitude += s.climbMs * dt;
            if ((i + 1) % kStepsPerSecond == 0 && ++second % fixEveryS == 0) {
                fix();
            }
        }
    }
    return log;
}

} // namespace synthetic
