#pragma once

#include "Bench/Flight/Runner.h"
#include "Bench/Replay/Comparison.h"
#include "Bench/Replay/FlightPlot.h"
#include "Bench/Replay/FlightSource.h"
#include "Bench/Replay/HostFeed.h"

#include <chrono>
#include <string>

namespace replay {

// Flies a flight source through the bench's host a step at a time: the pilot's setting up of
// the cockpit during the lead-in, then the flight's values every step, the gyros uncaged once
// the glider flies level, and the instruments read back every whole second of the flight as the
// cockpit showed them then: drawn in the frame that the second falls in.
class ReplayHook : public bench::StepHook {
public:
    // The host flies frames of `frameMs`.
    ReplayHook(FlightSource& flight, double from, double to, double leadIn, int frameMs,
               Comparison& compare, PlotRecorder* plot, bool progress);

    bool BeforeStep(double t, bench::HostServices& host) override;
    void AfterStep(double t, const bench::HostServices& host) override;
    std::string Error() const override { return error; }
    // Ends the progress line, if one was shown.
    void FinishProgress();

private:
    void SetUpCockpit(double t, bench::HostServices& host);
    void ShowProgress(double flightTime);

    FlightSource& flight;
    double from;
    double to;
    double leadIn;
    std::int64_t frameMs;
    Comparison& compare;
    PlotRecorder* plot;
    bool progress;
    FlightState state;
    HostFeed feed;
    std::string error;
    std::size_t setupDone = 0;
    bool uncaged = false;
    std::int64_t steps = 0;
    std::chrono::steady_clock::time_point wallStart;
    bool progressShown = false;
    double lastShown = 0.0; // wall seconds since the start
};

} // namespace replay
