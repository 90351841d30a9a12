#include "Bench/Replay/Derivation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace replay {

namespace {

constexpr double kEarthRadiusM = 6371000.0;
constexpr double kGravity = 9.80665;
constexpr double kDeg = std::numbers::pi / 180.0;
// Slower than this the flight-path angle is noise: the pitch stays level.
constexpr double kSlowestFlightMs = 5.0;
// Points kept either side of the one being derived: enough for the widest difference.
constexpr double kReachS = Derivation::kTurnHalfWindowS + Derivation::kTrackHalfWindowS + 0.5;

// The standard atmosphere's density ratio at a pressure altitude.
double DensityRatio(double altitudeM) {
    return std::pow(std::max(0.05, 1.0 - 2.25577e-5 * altitudeM), 4.2559);
}

// In a turn the velocity over the track's chord is shorter than the speed round the turn, by
// sin(x) / x for the x radians turned over half the chord.
double ChordRatio(double turnRateDps) {
    const double x = std::fabs(turnRateDps) * kDeg * Derivation::kTrackHalfWindowS;
    return x < 1e-6 ? 1.0 : std::max(0.5, std::sin(x) / x);
}

} // namespace

double WrapHeading(double h) {
    h = std::fmod(h, 360.0);
    return h < 0.0 ? h + 360.0 : h;
}

double HeadingChange(double a, double b) {
    double d = std::fmod(b - a, 360.0);
    if (d > 180.0) {
        d -= 360.0;
    } else if (d <= -180.0) {
        d += 360.0;
    }
    return d;
}

Derivation::Derivation(std::unique_ptr<LogReader> reader) : log(std::move(reader)) {}

// Reads ahead until the window reaches kReachS past the centre point.
bool Derivation::Fill() {
    while (!ended && (window.size() <= centre || window.back().t < window[centre].t + kReachS)) {
        LoggedPoint p;
        if (!log->Next(p)) {
            ended = true;
            break;
        }
        window.push_back(std::move(p));
    }
    return centre < window.size();
}

// The index of the last point at or before t (0 when t is before the window).
std::size_t Derivation::Before(double t) const {
    const auto it = std::upper_bound(window.begin(), window.end(), t,
                                     [](double v, const LoggedPoint& p) { return v < p.t; });
    return it == window.begin() ? 0 : static_cast<std::size_t>(it - window.begin()) - 1;
}

double Derivation::AltitudeAt(double t) const {
    const std::size_t i = Before(t);
    if (t <= window[i].t || i + 1 >= window.size()) {
        return window[i].altitudeM;
    }
    const LoggedPoint& a = window[i];
    const LoggedPoint& b = window[i + 1];
    return a.altitudeM + (b.altitudeM - a.altitudeM) * (t - a.t) / (b.t - a.t);
}

std::optional<Derivation::Position> Derivation::PositionAt(double t) const {
    const std::size_t i = Before(t);
    const LoggedPoint& a = window[i];
    if (!a.latitudeDeg || !a.longitudeDeg) {
        return std::nullopt;
    }
    if (t <= a.t || i + 1 >= window.size() || !window[i + 1].latitudeDeg) {
        return Position{*a.latitudeDeg, *a.longitudeDeg};
    }
    const LoggedPoint& b = window[i + 1];
    const double f = (t - a.t) / (b.t - a.t);
    return Position{*a.latitudeDeg + (*b.latitudeDeg - *a.latitudeDeg) * f,
                    *a.longitudeDeg + (*b.longitudeDeg - *a.longitudeDeg) * f};
}

std::optional<double> Derivation::LoggedHeadingAt(double t) const {
    const std::size_t i = Before(t);
    const LoggedPoint& a = window[i];
    if (!a.headingDeg) {
        return std::nullopt;
    }
    if (t <= a.t || i + 1 >= window.size() || !window[i + 1].headingDeg) {
        return *a.headingDeg;
    }
    const LoggedPoint& b = window[i + 1];
    return WrapHeading(*a.headingDeg +
                       HeadingChange(*a.headingDeg, *b.headingDeg) * (t - a.t) / (b.t - a.t));
}

std::optional<std::pair<double, double>> Derivation::TrackAt(double t) const {
    const double from = std::max(t - kTrackHalfWindowS, window.front().t);
    const double to = std::min(t + kTrackHalfWindowS, window.back().t);
    const auto a = PositionAt(from);
    const auto b = PositionAt(to);
    if (!a || !b || to <= from) {
        return std::nullopt;
    }
    const double north = (b->latitude - a->latitude) * kDeg * kEarthRadiusM;
    const double east = (b->longitude - a->longitude) * kDeg * kEarthRadiusM *
                        std::cos((a->latitude + b->latitude) / 2.0 * kDeg);
    const double distance = std::hypot(north, east);
    return std::pair{WrapHeading(std::atan2(east, north) / kDeg), distance / (to - from) * 3.6};
}

double Derivation::HeadingAt(double t) const {
    if (const auto track = TrackAt(t); track && track->second > 0.5) {
        return track->first;
    }
    return LoggedHeadingAt(t).value_or(0.0);
}

bool Derivation::Next(FlightState& s) {
    if (!Fill()) {
        return false;
    }
    const LoggedPoint& p = window[centre];
    const double t = p.t;
    s = FlightState{};
    s.t = t;
    s.altitudeM = p.altitudeM;

    if (p.verticalSpeedMs) {
        s.verticalSpeedMs = *p.verticalSpeedMs;
    } else {
        const double from = std::max(t - kVarioHalfWindowS, window.front().t);
        const double to = std::min(t + kVarioHalfWindowS, window.back().t);
        s.verticalSpeedMs = to > from ? (AltitudeAt(to) - AltitudeAt(from)) / (to - from) : 0.0;
    }

    const auto track = TrackAt(t);
    const bool tracked = track && track->second > 0.5;
    s.headingDeg = p.headingDeg ? WrapHeading(*p.headingDeg) : HeadingAt(t);
    if (p.turnRateDps) {
        s.turnRateDps = *p.turnRateDps;
    } else if (tracked || p.headingDeg) {
        const double from = std::max(t - kTurnHalfWindowS, window.front().t);
        const double to = std::min(t + kTurnHalfWindowS, window.back().t);
        s.turnRateDps =
            to > from ? HeadingChange(HeadingAt(from), HeadingAt(to)) / (to - from) : 0.0;
    }
    if (tracked) {
        circling.Add(t, track->first, track->second, s.turnRateDps);
    }

    // True airspeed becomes indicated by the density at the pressure altitude.
    const double sigma =
        DensityRatio(p.pressureAltitudeM.value_or(p.gnssAltitudeM.value_or(p.altitudeM)));
    s.iasSource = AirspeedSource::Logged;
    if (p.iasKph) {
        s.iasKph = *p.iasKph;
    } else if (p.tasKph) {
        s.iasKph = *p.tasKph * std::sqrt(sigma);
    } else if (const auto& wind = circling.Current(); wind && tracked) {
        const double heading = track->first * kDeg;
        const double north = track->second * std::cos(heading) - wind->northKph;
        const double east = track->second * std::sin(heading) - wind->eastKph;
        s.iasKph = std::hypot(north, east) / ChordRatio(s.turnRateDps) * std::sqrt(sigma);
        s.iasSource = AirspeedSource::Wind;
    } else {
        s.iasKph = (track ? track->second : 0.0) / ChordRatio(s.turnRateDps) * std::sqrt(sigma);
        s.iasSource = AirspeedSource::Ground;
    }
    s.groundSpeedKph = p.groundSpeedKph.value_or(track ? track->second : s.iasKph);
    const double trueAirspeedMs = p.tasKph ? *p.tasKph / 3.6 : s.iasKph / 3.6 / std::sqrt(sigma);
    s.bankDeg =
        p.bankDeg ? *p.bankDeg : std::atan(trueAirspeedMs * s.turnRateDps * kDeg / kGravity) / kDeg;
    if (p.pitchDeg) {
        s.pitchDeg = *p.pitchDeg;
    } else if (trueAirspeedMs > kSlowestFlightMs) {
        s.pitchDeg = std::asin(std::clamp(s.verticalSpeedMs / trueAirspeedMs, -1.0, 1.0)) / kDeg;
    }
    s.slipDeg = p.slipDeg.value_or(0.0);
    s.lateralAccelG = p.lateralAccelG.value_or(0.0);
    s.onGround = p.onGround.value_or(false);

    // The points before the next centre go once a later one still reaches kReachS back: a log
    // a fix every few seconds keeps the fix before, so that the differences see both sides.
    ++centre;
    while (centre > 1 && centre < window.size() && window[1].t <= window[centre].t - kReachS) {
        window.pop_front();
        --centre;
    }
    return true;
}

} // namespace replay
