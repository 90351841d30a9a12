#pragma once

#include <string>
#include <vector>

namespace replay {

// A step of 1, 2 or 5 times a power of ten that gives about `count` ticks over the span.
double TickStep(double span, int count);
// A tick's value with as many decimals as its step needs.
std::string Number(double v, double step);

// The picture's time axis: seconds on a flight of up to ten minutes, hours and minutes (h:mm) on
// a longer one, with ticks at round steps of either.
struct TimeAxis {
    TimeAxis(double fromS, double toS);
    std::string Label(double t) const;

    double from;
    double to;
    bool clock; // h:mm
    std::vector<double> ticks;
    std::string title;
    double tickStep = 1.0; // seconds between ticks
};

// The window, in seconds, over which a panel of a long flight shows means: none up to twenty
// minutes, then about a two-hundredth of the flight at a round value (30 s for an hour and a
// half, 2 minutes for five hours), so that a climb reads as a climb and not as each second's gust.
double MeanWindow(double span);

} // namespace replay
