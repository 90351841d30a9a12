// What both log targets expect of a reader: derived states in time order with finite values,
// or one ReplayError on one line that names the file.
#pragma once

#include "Bench/Replay/Derivation.h"
#include "Bench/Replay/ReplayError.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace fuzzlog {

inline void CheckLog(std::unique_ptr<replay::LogReader> reader, const std::string& name) {
    try {
        replay::Derivation derivation(std::move(reader));
        replay::FlightState s;
        double last = -1.0;
        while (derivation.Next(s)) {
            const double values[] = {s.t,          s.altitudeM,      s.verticalSpeedMs, s.iasKph,
                                     s.bankDeg,    s.pitchDeg,       s.turnRateDps,     s.slipDeg,
                                     s.headingDeg, s.groundSpeedKph, s.lateralAccelG};
            for (const double v : values) {
                if (!std::isfinite(v)) {
                    std::fprintf(stderr, "a value that is no number at t=%g\n", s.t);
                    std::abort();
                }
            }
            if (s.t <= last || s.headingDeg < 0.0 || s.headingDeg >= 360.0) {
                std::fprintf(stderr, "out of order or heading out of range at t=%g\n", s.t);
                std::abort();
            }
            last = s.t;
        }
    } catch (const replay::ReplayError& e) {
        const std::string message = e.what();
        const bool oneLine = message.find_first_of("\r\n") == std::string::npos;
        if (message.rfind(name + ":", 0) != 0 || !oneLine || message.size() <= name.size() + 2) {
            std::fprintf(stderr, "not one message naming the file: [%s]\n", message.c_str());
            std::abort();
        }
    }
}

} // namespace fuzzlog
