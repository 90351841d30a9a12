#include "Bench/Replay/FlightSource.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace replay {

LogFlight::LogFlight(const std::string& logPath) : path(logPath) {
    // The whole log once: every fault shows now, and the ground stretches are known.
    Derivation survey(OpenLog(path, IgcAltitude::Pressure));
    FlightState s;
    bool pressure = false;
    bool first = true;
    bool slow = false;
    double slowSince = 0.0;
    while (survey.Next(s)) {
        pressure = pressure || s.altitudeM != 0.0;
        loggedGround = loggedGround || s.onGround;
        const bool slowNow = s.groundSpeedKph < kTakeoffKph;
        if (slowNow && !slow) {
            slowSince = s.t;
        } else if (!slowNow && slow && (slowSince == 0.0 || s.t - slowSince >= kLandedS)) {
            ground.emplace_back(slowSince, s.t);
        }
        slow = slowNow;
        duration = s.t;
        first = false;
        ++sources[static_cast<std::size_t>(s.iasSource)];
        if (survey.Circling().Circles() > circles.size()) {
            circles.push_back(survey.Circling().LastCircle());
        }
    }
    if (slow && !first) {
        ground.emplace_back(slowSince, std::numeric_limits<double>::infinity());
    }
    epoch = survey.Reader().StartEpoch();
    warning = survey.Reader().Warning();

    // A logger without a pressure sensor writes zero for every pressure altitude.
    states = std::make_unique<Derivation>(
        OpenLog(path, pressure ? IgcAltitude::Pressure : IgcAltitude::Gnss));
    ended = !states->Next(after);
    before = after;
    afterValid = !ended;
}

bool LogFlight::OnGround(double t) {
    while (groundIndex < ground.size() && ground[groundIndex].second < t) {
        ++groundIndex;
    }
    return groundIndex < ground.size() && ground[groundIndex].first <= t;
}

FlightState LogFlight::At(double t) {
    t = std::clamp(t, 0.0, duration);
    while (!ended && after.t < t) {
        before = after;
        ended = !states->Next(after);
        if (ended) {
            after = before;
        }
    }
    FlightState s = after;
    if (after.t > before.t && t < after.t) {
        const double f = std::max(0.0, (t - before.t) / (after.t - before.t));
        const auto mix = [f](double a, double b) { return a + (b - a) * f; };
        s.altitudeM = mix(before.altitudeM, after.altitudeM);
        s.verticalSpeedMs = mix(before.verticalSpeedMs, after.verticalSpeedMs);
        s.iasKph = mix(before.iasKph, after.iasKph);
        s.headingDeg =
            WrapHeading(before.headingDeg + HeadingChange(before.headingDeg, after.headingDeg) * f);
        s.bankDeg = mix(before.bankDeg, after.bankDeg);
        s.pitchDeg = mix(before.pitchDeg, after.pitchDeg);
        s.turnRateDps = mix(before.turnRateDps, after.turnRateDps);
        s.slipDeg = mix(before.slipDeg, after.slipDeg);
        s.lateralAccelG = mix(before.lateralAccelG, after.lateralAccelG);
        s.groundSpeedKph = mix(before.groundSpeedKph, after.groundSpeedKph);
        s.onGround = f < 0.5 ? before.onGround : after.onGround;
        s.iasSource = f < 0.5 ? before.iasSource : after.iasSource;
    }
    s.t = t;
    if (!loggedGround) {
        s.onGround = OnGround(t);
    }
    if (s.onGround && s.iasSource == AirspeedSource::Wind) {
        s.iasKph = s.groundSpeedKph;
        s.iasSource = AirspeedSource::Ground;
    }
    return s;
}

void PrintAirspeedSummary(const LogFlight& flight, std::ostream& out) {
    const auto& sources = flight.AirspeedSources();
    const std::size_t logged = sources[static_cast<std::size_t>(AirspeedSource::Logged)];
    const std::size_t wind = sources[static_cast<std::size_t>(AirspeedSource::Wind)];
    const std::size_t ground = sources[static_cast<std::size_t>(AirspeedSource::Ground)];
    const auto& circles = flight.Circles();
    char line[256];
    if (logged > 0) {
        std::snprintf(line, sizeof line, "airspeed: logged at %zu of the log's %zu points\n",
                      logged, logged + wind + ground);
        out << line;
    }
    if (wind > 0) {
        std::snprintf(line, sizeof line,
                      "airspeed: the ground velocity less the wind from %.0f s on, when the first "
                      "circle closed; the ground speed before\n",
                      circles.front().t);
        out << line;
    } else if (ground > 0) {
        out << "airspeed: the ground speed (no circles to tell the wind)\n";
    }
    if (circles.empty()) {
        return;
    }
    Wind mean;
    double slowest = std::numeric_limits<double>::infinity();
    double fastest = 0.0;
    for (const CircleWind& c : circles) {
        mean.northKph += c.wind.northKph / static_cast<double>(circles.size());
        mean.eastKph += c.wind.eastKph / static_cast<double>(circles.size());
        slowest = std::min(slowest, c.wind.SpeedKph());
        fastest = std::max(fastest, c.wind.SpeedKph());
    }
    std::snprintf(line, sizeof line,
                  "wind: %.0f km/h from %03.0f degrees, the mean of %zu circles; %.0f to %.0f "
                  "km/h circle by circle\n",
                  mean.SpeedKph(), mean.FromDeg(), circles.size(), slowest, fastest);
    out << line;
}

} // namespace replay
