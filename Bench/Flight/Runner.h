#pragma once

#include "Bench/Flight/Scenario.h"
#include "Bench/Output/StepStats.h"

#include <cstdint>
#include <optional>
#include <string>

namespace bench {

class LiveLink;

struct RunOptions {
    std::string tracePath;
    std::string eventsPath;
    std::string settingsDir; // empty: a fresh temporary folder
    std::string rootDir;     // empty: a fresh temporary folder
    std::string modulePath;
    std::string standinLibrary;
    std::string soundBankFolder;
    std::uint32_t seed = 1;
    std::optional<double> epoch;
    bool stats = false;
    bool realtime = false;
    std::string audioOut; // the rendered cockpit audio, as a WAV file
    std::string panelPng; // the folder of the panel pictures; empty: no pictures
    // Paced flights (realtime, or with a live link) fly this many simulated seconds a second.
    double speed = 1.0;
    // The host's frame, in ms of host time: --frame-ms when given, else the scenario's
    // "frame_ms", else the command's own default (10 ms for run and demo).
    std::optional<int> frameMs;
    int defaultFrameMs = kDefaultFrameMs;
    LiveLink* live = nullptr; // a page that watches and steers the flight; none by default
};

// Exit status of a run, as the command line reports it.
enum ExitStatus : int { kRunOk = 0, kExpectFailed = 1, kBadInput = 2, kModuleNotLoaded = 3 };

struct RunResult {
    int status = kRunOk;
    std::string error; // what stopped the run (bad input, module not loaded)
    std::uint32_t expectFailures = 0;
    RunStats stats;
};

class HostServices;

// Flies the host from outside the scenario, a step at a time (a replayed flight, a server).
class StepHook {
public:
    virtual ~StepHook() = default;
    // At the start of the step at time t, before its actions: sets the host's values. False
    // ends the run as bad input, with Error() as its message.
    virtual bool BeforeStep(double t, HostServices& host) = 0;
    // At the end of the step, after the module's timers and the panel's draw.
    virtual void AfterStep(double t, const HostServices& host) = 0;
    virtual std::string Error() const = 0;
};

// The frame a flight of `scenario` with `options` takes, in ms.
int FrameMsOf(const Scenario& scenario, const RunOptions& options);

// Flies the scenario in simulated time, as the simulator would, and reports how it went.
RunResult RunScenario(const Scenario& scenario, const RunOptions& options,
                      StepHook* hook = nullptr);

} // namespace bench
