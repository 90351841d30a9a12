#include "Bench/Replay/CirclingWind.h"

#include "Bench/Replay/Derivation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace replay {

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

} // namespace

double Wind::SpeedKph() const {
    return std::hypot(northKph, eastKph);
}

double Wind::FromDeg() const {
    return WrapHeading(std::atan2(-eastKph, -northKph) / kDeg);
}

void CirclingWind::Restart(double t, int turning) {
    samples.clear();
    direction = turning;
    turned = 0.0;
    started = t;
}

void CirclingWind::Add(double t, double trackDeg, double groundSpeedKph, double turnRateDps) {
    const int turning = turnRateDps >= kCirclingDps ? 1 : turnRateDps <= -kCirclingDps ? -1 : 0;
    if (!any || turning == 0 || turning != direction || t - lastT > kLongestGapS ||
        t - started > kLongestCircleS) {
        Restart(t, turning);
    } else {
        turned += HeadingChange(lastTrack, trackDeg) * direction;
    }
    any = true;
    lastT = t;
    lastTrack = trackDeg;
    if (direction == 0) {
        return;
    }
    samples.push_back(
        {groundSpeedKph * std::cos(trackDeg * kDeg), groundSpeedKph * std::sin(trackDeg * kDeg)});
    if (turned < 360.0) {
        return;
    }
    if (const auto circle = Fit(t)) {
        recent[circles % kCirclesAveraged] = *circle;
        ++circles;
        Wind mean;
        double count = 0.0;
        for (std::size_t i = 0; i < std::min(circles, kCirclesAveraged); ++i) {
            if (recent[i].t >= t - kWindMemoryS) {
                mean.northKph += recent[i].wind.northKph;
                mean.eastKph += recent[i].wind.eastKph;
                count += 1.0;
            }
        }
        current = Wind{mean.northKph / count, mean.eastKph / count};
    }
    // The next circle begins where this one closed.
    const Velocity last = samples.back();
    const double over = turned - 360.0;
    Restart(t, direction);
    turned = over;
    samples.push_back(last);
}

// The least-squares circle through the velocities (Kasa's fit: x² + y² + Dx + Ey + F = 0, linear
// in D, E and F), taken about their mean so that the sums stay well conditioned.
std::optional<CircleWind> CirclingWind::Fit(double t) const {
    const double n = static_cast<double>(samples.size());
    if (samples.size() < 6) {
        return std::nullopt;
    }
    double mx = 0.0;
    double my = 0.0;
    for (const Velocity& v : samples) {
        mx += v.north / n;
        my += v.east / n;
    }
    double sxx = 0.0, syy = 0.0, sxy = 0.0, sxz = 0.0, syz = 0.0, sz = 0.0;
    for (const Velocity& v : samples) {
        const double x = v.north - mx;
        const double y = v.east - my;
        const double z = x * x + y * y;
        sxx += x * x;
        syy += y * y;
        sxy += x * y;
        sxz += x * z;
        syz += y * z;
        sz += z;
    }
    const double det = sxx * syy - sxy * sxy;
    if (!(det > 1e-6 * (sxx + syy) * (sxx + syy))) {
        return std::nullopt; // the velocities lie along a line: no circle
    }
    const double d = (-sxz * syy + syz * sxy) / det;
    const double e = (-syz * sxx + sxz * sxy) / det;
    const double radius = std::sqrt(std::max(0.0, (d * d + e * e) / 4.0 + sz / n));
    CircleWind circle;
    circle.t = t;
    circle.wind = Wind{mx - d / 2.0, my - e / 2.0};
    circle.airspeedKph = radius;
    double stray = 0.0;
    for (const Velocity& v : samples) {
        const double off =
            std::hypot(v.north - circle.wind.northKph, v.east - circle.wind.eastKph) - radius;
        stray += off * off / n;
    }
    if (radius < kSlowestAirspeedKph || radius > kFastestAirspeedKph ||
        circle.wind.SpeedKph() >= radius || std::sqrt(stray) > kUnevenTurn * radius) {
        return std::nullopt;
    }
    return circle;
}

} // namespace replay
