#include "Bench/Replay/ReplayHook.h"

#include "Bench/Host/HostServices.h"
#include "Bench/Replay/HostFeed.h"
#include "Bench/Replay/ReplayError.h"
#include "Lib/FSX/KeyEvents.h"

#include <cmath>
#include <cstdio>

namespace replay {

namespace {

// The cockpit's switches as the pilot sets them, each pressed only while it is off.
struct Switch {
    double at;         // seconds into the lead-in
    const char* shown; // the named variable that shows the switch on
    double onAbove;    // the value above which it is on
    std::uint32_t key;
};
constexpr Switch kSetup[] = {
    {1.0, "zelvan_battery1_switch", 0.5, fsx::key::kBattery1Toggle},
    {1.1, "zelvan_battery2_switch", 0.5, fsx::key::kBattery2Toggle},
    {1.2, "zelvan_master_battery_switch", 0.5, fsx::key::kMasterToggle},
    {1.3, "zelvan_agd1_switch_on", 0.5, fsx::key::kAgd1On},
    {1.4, "zelvan_agd2_switch_on", 0.5, fsx::key::kAgd2On},
    // The radio's volume knob switches it on past the first steps.
    {1.5, "zelvan_radio_volume", 0.12, fsx::key::kRadioVolumeUp},
    {1.6, "zelvan_radio_volume", 0.12, fsx::key::kRadioVolumeUp},
    {1.7, "zelvan_radio_volume", 0.12, fsx::key::kRadioVolumeUp},
};

// The gyros are released in the air, wings level and nose near the horizon: they take the
// attitude they are released in as level, and erect over the next 20 s.
constexpr double kLevelBankDeg = 0.5;
constexpr double kLevelPitchDeg = 2.0;

// The first whole second at or after `ms` (which may be before the flight, in its lead-in).
std::int64_t SecondFrom(std::int64_t ms) {
    return ms >= 0 ? (ms + 999) / 1000 : -(-ms / 1000);
}

} // namespace

ReplayHook::ReplayHook(FlightSource& source, double fromS, double toS, double leadInS, int frame,
                       Comparison& comparison, PlotRecorder* recorder, bool showProgress)
    : flight(source), from(fromS), to(toS), leadIn(leadInS), frameMs(frame), compare(comparison),
      plot(recorder), progress(showProgress), wallStart(std::chrono::steady_clock::now()) {}

void ReplayHook::SetUpCockpit(double t, bench::HostServices& host) {
    while (setupDone < std::size(kSetup) && t >= kSetup[setupDone].at - 1e-9) {
        const Switch& s = kSetup[setupDone++];
        if (host.NamedValue(s.shown).value_or(0.0) <= s.onAbove) {
            host.DeliverKeyEvent(s.key, 0);
        }
    }
    if (!uncaged && t >= leadIn && !state.onGround && std::fabs(state.bankDeg) < kLevelBankDeg &&
        std::fabs(state.pitchDeg) < kLevelPitchDeg) {
        uncaged = true;
        for (const auto& [shown, key] :
             {std::pair{"ovi_arrester_switch", fsx::key::kArrester1},
              std::pair{"ovi_arrester_switch_2", fsx::key::kArrester2}}) {
            if (host.NamedValue(shown).value_or(0.0) < 0.5) {
                host.DeliverKeyEvent(key, 0);
            }
        }
    }
}

bool ReplayHook::BeforeStep(double t, bench::HostServices& host) {
    try {
        state = flight.At(from + std::max(0.0, t - leadIn));
    } catch (const ReplayError& e) {
        error = e.what();
        return false;
    }
    feed.Write(state, host);
    SetUpCockpit(t, host);
    return true;
}

void ReplayHook::AfterStep(double t, const bench::HostServices& host) {
    const std::int64_t step = steps++;
    // The cockpit drawn in this frame shows until the next one: each whole second of the flight
    // is read in the frame it falls in, beside the flight at that second.
    const std::int64_t flightMs = std::llround((t - leadIn) * 1000.0);
    const std::int64_t second = SecondFrom(flightMs);
    if (second >= 0 && second * 1000 < flightMs + frameMs &&
        from + static_cast<double>(second) <= to + 1e-9) {
        FlightState shown = state;
        if (second * 1000 != flightMs) {
            try {
                shown = flight.At(from + static_cast<double>(second));
            } catch (const ReplayError&) {
                // The next frame's read meets the same damage and ends the run.
            }
        }
        const CockpitReading reading = ReadCockpit(shown, host);
        compare.Add(reading);
        if (plot != nullptr) {
            plot->Add(reading);
        }
    }
    if (progress && step % 1000 == 0) {
        ShowProgress(from + std::max(0.0, t - leadIn));
    }
}

void ReplayHook::ShowProgress(double flightTime) {
    // From the first wall second on, ten times a second at most.
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    if (wall < 1.0 || wall < lastShown + 0.1) {
        return;
    }
    progressShown = true;
    lastShown = wall;
    const double span = std::max(to - from, 1e-9);
    const double done = std::clamp((flightTime - from) / span, 0.0, 1.0);
    const auto seconds = static_cast<long>(flightTime);
    std::fprintf(stderr, "\rreplay %3.0f %%  flight time %ld:%02ld:%02ld", done * 100.0,
                 seconds / 3600, seconds / 60 % 60, seconds % 60);
    std::fflush(stderr);
}

void ReplayHook::FinishProgress() {
    if (progressShown) {
        lastShown = 0.0;
        ShowProgress(to);
        std::fputc('\n', stderr);
    }
}

} // namespace replay
