#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace replay {

// A wind as the air moves: its velocity towards north and east.
struct Wind {
    double northKph = 0.0;
    double eastKph = 0.0;
    double SpeedKph() const;
    // Where it blows from, as pilots name a wind: 0 to 360 degrees.
    double FromDeg() const;
};

// One full circle's wind.
struct CircleWind {
    double t = 0.0;           // when the circle closed, seconds into the flight
    Wind wind;                // the centre of the ground velocities
    double airspeedKph = 0.0; // their radius: the true airspeed flown round the circle
};

// The wind found the way gliding flight computers find it, from the drift of the circles: while
// the glider circles at a steady airspeed its velocity through the air turns a full circle, so
// its velocity over the ground runs round a circle whose centre is the wind and whose radius is
// the true airspeed. Each full turn of the track (turning one way at kCirclingDps or more, with
// no gap in the samples) fits a circle to its ground velocities by least squares; a fit whose
// radius is no glider's airspeed, or whose points stray far from it, is passed over. The wind is
// the mean of the last kCirclesAveraged circles within kWindMemoryS of the newest, and is held
// from one thermal to the next. Memory is one circle's samples, whatever the flight's length.
class CirclingWind {
public:
    static constexpr double kCirclingDps = 4.0;
    // A slower full turn is no thermal circle: the wind changes, the glider wanders.
    static constexpr double kLongestCircleS = 60.0;
    static constexpr double kLongestGapS = 5.0;
    static constexpr std::size_t kCirclesAveraged = 3;
    static constexpr double kWindMemoryS = 1800.0;
    static constexpr double kSlowestAirspeedKph = 20.0;
    static constexpr double kFastestAirspeedKph = 250.0;
    // The root-mean-square distance of the velocities from the fitted circle, over its radius,
    // beyond which the turn was too uneven to tell the wind.
    static constexpr double kUnevenTurn = 0.2;

    // A moment of the flight, in time order: the track and ground speed, the track's turn rate.
    void Add(double t, double trackDeg, double groundSpeedKph, double turnRateDps);
    // The wind now; nullopt before the first circle that told one.
    const std::optional<Wind>& Current() const { return current; }
    // How many circles told a wind so far, and the last of them (once there is one).
    std::size_t Circles() const { return circles; }
    const CircleWind& LastCircle() const {
        return recent[(circles + kCirclesAveraged - 1) % kCirclesAveraged];
    }

private:
    struct Velocity {
        double north;
        double east;
    };
    void Restart(double t, int turning);
    std::optional<CircleWind> Fit(double t) const;

    std::vector<Velocity> samples; // of the circle being flown
    int direction = 0;             // +1 right, -1 left, 0 not circling
    double turned = 0.0;           // degrees of track since the circle began
    double started = 0.0;
    double lastT = 0.0;
    double lastTrack = 0.0;
    bool any = false;
    std::array<CircleWind, kCirclesAveraged> recent{};
    std::size_t circles = 0;
    std::optional<Wind> current;
};

} // namespace replay
