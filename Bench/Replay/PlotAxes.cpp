#include "Bench/Replay/PlotAxes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace replay {

namespace {
constexpr double kClockAfterS = 600.0;
constexpr double kMeansAfterS = 1200.0;
constexpr int kTimeTicks = 8;
} // namespace

double TickStep(double span, int count) {
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (raw <= m * power) {
            return m * power;
        }
    }
    return 10.0 * power;
}

std::string Number(double v, double step) {
    if (std::fabs(v) < step * 1e-6) {
        v = 0.0; // no "-0" where a tick falls a rounding below zero
    }
    char text[32];
    std::snprintf(text, sizeof text, step >= 1.0 ? "%.0f" : step >= 0.1 ? "%.1f" : "%.2f", v);
    return text;
}

TimeAxis::TimeAxis(double fromS, double toS)
    : from(fromS), to(toS), clock(toS - fromS > kClockAfterS) {
    const double span = std::max(to - from, 1e-3);
    double step = TickStep(span, kTimeTicks);
    if (clock) {
        // Whole minutes that divide an hour, then whole hours.
        step = 0.0;
        for (const double minutes :
             {1.0, 2.0, 5.0, 10.0, 15.0, 20.0, 30.0, 60.0, 120.0, 180.0, 240.0, 360.0, 720.0}) {
            step = minutes * 60.0;
            if (span / step <= kTimeTicks) {
                break;
            }
        }
    }
    for (double t = std::ceil(from / step - 1e-9) * step; t <= to + 1e-9; t += step) {
        ticks.push_back(t);
    }
    title = clock ? "flight time (h:mm)" : "flight time (s)";
    tickStep = step;
}

std::string TimeAxis::Label(double t) const {
    if (!clock) {
        return Number(t, tickStep);
    }
    const long minutes = std::lround(t / 60.0);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", minutes / 60, minutes % 60);
    return text;
}

double MeanWindow(double span) {
    if (span <= kMeansAfterS) {
        return 0.0;
    }
    double window = 0.0;
    for (const double w : {5.0, 10.0, 15.0, 20.0, 30.0, 60.0, 120.0, 300.0, 600.0}) {
        window = w;
        if (w >= span / 200.0) {
            break;
        }
    }
    return window;
}

} // namespace replay
