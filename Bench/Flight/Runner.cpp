#include "Bench/Flight/Runner.h"

#include "Bench/Flight/Baseline.h"
#include "Bench/Flight/LiveLink.h"
#include "Bench/Flight/RunFolders.h"
#include "Bench/Flight/ScenarioFlight.h"
#include "Bench/Host/HostAnswers.h"
#include "Bench/Host/HostServices.h"
#include "Bench/Host/HostSystem.h"
#include "Bench/Host/ModuleLoader.h"
#include "Bench/Host/SimRoot.h"
#include "Bench/Host/SimulatorConnection.h"
#include "Bench/Output/AudioOutput.h"
#include "Bench/Output/EventLog.h"
#include "Bench/Output/PanelPicture.h"
#include "Bench/Output/StepStats.h"
#include "Bench/Output/Trace.h"
#include "Lib/FSX/GaugeTokens.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

namespace bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The 10 ms step an action falls due in: the order in which actions are carried out, the same
// whatever the frame.
std::int64_t StepOf(double at) {
    return std::llround(std::ceil(at * 100.0 - 1e-6));
}

// The frame an action falls due in: the first that starts at or after it.
std::int64_t FrameOf(double at, std::int64_t frameMs) {
    return std::llround(std::ceil(at * (1000.0 / static_cast<double>(frameMs)) - 1e-6));
}

// The module's time step: each application tick moves its clock on this far.
constexpr double kModuleStepS = 0.055;

} // namespace

RunResult ScenarioFlight::Fly() {
    if (!options.eventsPath.empty() && !log.Open(options.eventsPath)) {
        result.status = kBadInput;
        result.error = options.eventsPath + ": cannot be written";
        return result;
    }
    if (!options.audioOut.empty() && !audio.Record(options.audioOut)) {
        result.status = kBadInput;
        result.error = options.audioOut + ": cannot be written";
        return result;
    }
    if (!options.tracePath.empty() && !trace.Open(options.tracePath)) {
        result.status = kBadInput;
        result.error = options.tracePath + ": cannot be written";
        return result;
    }
    if (!options.panelPng.empty()) {
        std::error_code ec;
        fs::create_directories(options.panelPng, ec);
        if (!fs::is_directory(options.panelPng, ec) || !FolderTakesFiles(options.panelPng)) {
            result.status = kBadInput;
            result.error = options.panelPng + ": cannot be written";
            return result;
        }
    }
    hostsystem::DeclareHostBuild(scenario.hostBuild);
    void* window = scenario.hostWindow ? hostsystem::CreateMainWindow() : nullptr;
    zvrt_set_diagnostic_sink(&ScenarioFlight::Diagnostic, this);
    zvrt_set_sleep_hook(&ScenarioFlight::Sleep, this);
    zvrt_set_timer_observer(&ScenarioFlight::TimerObserver, this);
    if (options.epoch) {
        zvrt_pin_calendar_time(*options.epoch);
    }
    std::srand(options.seed);
    if (options.stats) {
        baseline.emplace(host, simulator);
    }
    simulator.openFails = scenario.simconnectOpenFails;
    for (const auto& [name, value] : scenario.host) {
        Write(name, value);
    }

    // Actions by the step they fall due in, then by their place in the file.
    std::vector<const Action*> order;
    for (const Action& a : scenario.actions) {
        order.push_back(&a);
    }
    std::stable_sort(order.begin(), order.end(), [](const Action* l, const Action* r) {
        return StepOf(l->at) != StepOf(r->at) ? StepOf(l->at) < StepOf(r->at) : l->index < r->index;
    });
    std::size_t next = 0;
    std::vector<const Action*> expects;
    std::vector<Action> commands;

    const std::int64_t lastStep = std::llround(
        std::floor(scenario.duration * (1000.0 / static_cast<double>(frameMs)) + 1e-6));
    // Speed figures only when asked for, and in the same memory however long the flight.
    StepStats stats(options.stats);
    bool fourSecondsQueued = false;
    const auto wallStart = Clock::now();
    LiveLink* const live = options.live;
    const bool paced = options.realtime || live != nullptr;
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(frameS / std::clamp(options.speed, 0.01, 1000.0)));
    StepHistogram lateNs;
    std::int64_t lateNsMax = 0;

    if (!scenario.hasLoad && !LoadModule()) {
        return result;
    }
    for (step = 0; live == nullptr ? step <= lastStep : live->KeepFlying(step > lastStep); ++step) {
        const double t = static_cast<double>(step) * frameS;
        if (paced && options.stats) {
            const std::int64_t late =
                std::max<std::int64_t>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(
                                              Clock::now() - (wallStart + period * step))
                                              .count());
            lateNs.Add(late);
            lateNsMax = std::max(lateNsMax, late);
        }
        log.SetTime(t);
        if (hook != nullptr && !hook->BeforeStep(t, host)) {
            result.status = kBadInput;
            result.error = hook->Error();
            break;
        }
        AdvanceRamps();
        expects.clear();
        // Actions due within the frame happen at its start, in the order of their 10 ms steps.
        while (next < order.size() && FrameOf(order[next]->at, frameMs) <= step) {
            const Action* a = order[next++];
            if (a->kind == Action::Kind::Expect) {
                expects.push_back(a);
            } else {
                Apply(*a);
                if (result.status == kModuleNotLoaded) {
                    return result;
                }
            }
        }
        if (live != nullptr) {
            commands.clear();
            live->TakeCommands(commands);
            for (const Action& a : commands) {
                Apply(a);
            }
        }
        if (!paused) {
            host.SetToken(fsx::token::kHostTime, host.Token(fsx::token::kHostTime) + frameS);
        }
        // Every 4 s of host time after a load: in the frame that reaches the moment.
        const std::int64_t sinceLoadMs = (step - loadStep) * frameMs;
        if (loader.Loaded() && step > loadStep &&
            sinceLoadMs / kFourSecondsMs != (sinceLoadMs - frameMs) / kFourSecondsMs) {
            simulator.QueueSystemEvent("4sec", 0);
            fourSecondsQueued = true;
        }

        // A step without a save, every so often, has its host calls recorded for the baseline.
        if (baseline) {
            baseline->BeginStep(step, loader.Loaded() && t >= 1.0 && !fourSecondsQueued);
        }
        stats.BeginStep();
        host.DeliverTriggeredKeyEvents();
        // The host's loop looks once a frame: each module timer that is due fires once.
        hostsystem::RunTimersUntil(static_cast<std::uint64_t>(step * frameMs), wallStart,
                                   static_cast<std::uint32_t>(frameMs));
        if (const fsx::GaugeHeader* gauge = loader.Gauge()) {
            gauge->update(); // the host redraws the panel
            gauge->draw();
        }
        audio.Step(static_cast<std::uint64_t>(step), frameMs);
        stats.EndStep(fourSecondsQueued, t >= 1.0);
        if (baseline) {
            baseline->EndStep();
        }
        fourSecondsQueued = false;
        if (appTimer != 0 && step > appTimerStep) {
            ++result.stats.ticks;
        }

        for (const std::string& name : snapshots) {
            Snapshot(name);
        }
        snapshots.clear();
        for (const Action* a : expects) {
            Expect(*a);
        }
        trace.Row(t, host.NamedVars(), host.PanelDrawn() ? &host.Panel() : nullptr);
        if (hook != nullptr) {
            hook->AfterStep(t, host);
        }
        if (live != nullptr) {
            live->Stepped(t, paused, host);
        }
        if (paced) {
            std::this_thread::sleep_until(wallStart + period * (step + 1));
        }
    }
    const std::int64_t flown = std::max<std::int64_t>(step - 1, 0);
    log.SetTime(static_cast<double>(flown) * frameS);
    Snapshot("end");
    if (baseline) {
        // The stand-in's calls are undone before the module sees the host again at its unload.
        log.Mute(true);
        const HostServices::Values values = host.SaveValues();
        result.stats.baselineNsPerTick = baseline->Replay(kBaselinePasses);
        host.RestoreValues(values);
        log.Mute(false);
    }
    UnloadModule();
    if (window != nullptr) {
        hostsystem::DestroyMainWindow(window);
    }
    if (!audio.Finish()) {
        std::fprintf(stderr, "%s: cannot be written\n", options.audioOut.c_str());
    }
    if (!trace.Finish(host.NamedVars())) {
        std::fprintf(stderr, "%s: cannot be written\n", options.tracePath.c_str());
    }

    RunStats& s = result.stats;
    s.simulatedSeconds = static_cast<double>(flown) * frameS;
    s.frameMs = static_cast<int>(frameMs);
    s.moduleSecondsPerHostSecond =
        s.simulatedSeconds > 0.0 ? static_cast<double>(s.ticks) * kModuleStepS / s.simulatedSeconds
                                 : 0.0;
    s.wallSeconds = std::chrono::duration<double>(Clock::now() - wallStart).count();
    stats.Finish(s);
    s.peakRssKb = hostsystem::PeakMemoryKb();
    s.paced = paced;
    s.lateNsMedian = lateNs.Median();
    s.lateNsP99 = lateNs.Quantile(0.99);
    s.lateNsMax = static_cast<double>(lateNsMax);
    return result;
}

int FrameMsOf(const Scenario& scenario, const RunOptions& options) {
    return std::clamp(options.frameMs.value_or(scenario.frameMs.value_or(options.defaultFrameMs)),
                      kLeastFrameMs, kMostFrameMs);
}

RunResult RunScenario(const Scenario& scenario, const RunOptions& options, StepHook* hook) {
    RunResult result;
    try {
        // Relative paths name files where the bench was started: the run changes into the root
        // and the module finds its settings folder through the environment, so every path is
        // made absolute before either happens.
        RunOptions local = options;
        for (std::string* path : {&local.tracePath, &local.eventsPath, &local.settingsDir,
                                  &local.rootDir, &local.modulePath, &local.standinLibrary,
                                  &local.soundBankFolder, &local.audioOut, &local.panelPng}) {
            if (!path->empty()) {
                *path = fs::absolute(*path).lexically_normal().string();
            }
        }
        ScratchFolder root(local.rootDir);
        ScratchFolder settings(local.settingsDir);
        SimRootLayout layout{local.standinLibrary, local.soundBankFolder};
        layout.simconnect = scenario.simconnect;
        layout.missingEntry = scenario.simconnectMissingEntry;
        layout.soundBank = scenario.soundBank;
        layout.damagedSound = scenario.soundBankDamaged;
        try {
            LayOutSimRoot(root.path, layout);
        } catch (const std::invalid_argument& e) {
            throw ScenarioError{scenario.file +
                                ": field \"simconnect_missing_entry\": " + e.what()};
        }
        if (scenario.settings) {
            WriteSettings(settings.path, *scenario.settings);
        }
        ProcessContext context(root.path, settings.path);
        ScenarioFlight flight(scenario, local, root.path, settings.path, hook);
        result = flight.Fly();
    } catch (const ScenarioError& e) {
        result.status = kBadInput;
        result.error = e.message;
    } catch (const std::exception& e) {
        result.status = kBadInput;
        result.error = e.what();
    }
    return result;
}

} // namespace bench
