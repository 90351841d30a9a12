#include "Bench/Flight/Runner.h"

#include "Bench/Flight/Baseline.h"
#include "Bench/Flight/LiveLink.h"
#include "Bench/Flight/RunFolders.h"
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

constexpr double kStep = 0.01;
constexpr std::int64_t kStepsPerFourSeconds = 400;
// How often the baseline's stand-in makes each recorded step again.
constexpr int kBaselinePasses = 8;

std::int64_t StepOf(double at) {
    return std::llround(std::ceil(at * 100.0 - 1e-6));
}

struct Ramp {
    ValueName name;
    double from;
    double to;
    std::int64_t startStep;
    std::int64_t steps;
};

class Flight {
public:
    Flight(const Scenario& s, const RunOptions& o, const std::string& rootPath,
           const std::string& settingsPath, StepHook* stepHook)
        : scenario(s), options(o), hook(stepHook), root(rootPath), settingsDir(settingsPath),
          host(log), simulator(log, host), audio(log), answers(host) {
        host.keyAnswer = [this](std::uint32_t id, std::uint32_t value) { answers(id, value); };
    }

    RunResult Fly();

private:
    double Read(const ValueName& v) {
        switch (v.kind) {
        case ValueName::Kind::Token:
            return host.Token(v.token);
        case ValueName::Kind::AircraftVar:
            return host.AircraftVar(v.name, v.unit, v.index);
        case ValueName::Kind::NamedVar:
            return host.NamedValue(v.name).value_or(std::nan(""));
        case ValueName::Kind::Masked:
            return simulator.Masked(v.name) ? 1.0 : 0.0;
        case ValueName::Kind::Element:
            return host.PanelValue(v.token, v.part);
        }
        return 0.0;
    }

    void Write(const ValueName& v, double value) {
        switch (v.kind) {
        case ValueName::Kind::Token:
            host.SetToken(v.token, value);
            break;
        case ValueName::Kind::AircraftVar:
            host.SetAircraftVar(v.name, v.unit, v.index, value);
            break;
        case ValueName::Kind::NamedVar:
            host.SetNamedValue(v.name, value);
            break;
        case ValueName::Kind::Masked:
            break;                     // the simulator's own state; scenarios only expect it
        case ValueName::Kind::Element: // only expected; the scenario parser refuses the rest
            break;
        }
    }

    bool LoadModule();
    void UnloadModule();
    void Apply(const Action& a);
    void Expect(const Action& a);
    void AdvanceRamps();
    void Snapshot(const std::string& name);

    static void Diagnostic(void* user, const char* text) {
        auto* self = static_cast<Flight*>(user);
        self->log.Write("diagnostic", {Field::Text("text", text)});
        std::fprintf(stderr, "%s\n", text);
        if (self->options.live != nullptr) {
            self->options.live->Diagnostic(text);
        }
    }
    static void Sleep(void* user, std::uint32_t ms) {
        static_cast<Flight*>(user)->log.Write("sleep", {Field::Int("ms", ms)});
    }
    static void TimerObserver(void* user, std::uintptr_t id, std::uint32_t, int started) {
        auto* self = static_cast<Flight*>(user);
        if (started != 0 && self->simulator.Dispatching()) {
            // The timers the client starts from its dispatch are its application's.
            self->appTimer = id;
            self->appTimerStep = self->step;
        } else if (started == 0 && id == self->appTimer) {
            self->appTimer = 0;
        }
    }

    const Scenario& scenario;
    const RunOptions& options;
    StepHook* hook;
    std::string root;
    std::string settingsDir;
    EventLog log;
    HostServices host;
    SimulatorConnection simulator;
    AudioOutput audio;
    HostAnswers answers;
    ModuleLoader loader;
    Trace trace;
    RunResult result;

    std::int64_t step = 0;
    std::int64_t loadStep = 0;
    bool paused = false;
    std::vector<Ramp> ramps;
    std::uintptr_t appTimer = 0;
    std::int64_t appTimerStep = 0;
    // The pictures asked for in this step, made after its draw.
    std::vector<std::string> snapshots;
    // With --stats: the host calls of some steps, for the stand-in to make again.
    std::optional<Baseline> baseline;
};

bool Flight::LoadModule() {
    std::string error;
    fsx::PanelServiceTable* table = baseline ? baseline->Table() : host.Table();
    if (!loader.Load(options.modulePath, root + "/.modules", table, error)) {
        result.status = kModuleNotLoaded;
        result.error = error;
        return false;
    }
    loadStep = step;
    log.Write("load");
    loader.Initialise();
    host.SetGauge(loader.Gauge());
    if (const fsx::GaugeHeader* gauge = loader.Gauge()) {
        gauge->query();
        gauge->install(0);
        gauge->initialise();
    }
    return true;
}

void Flight::UnloadModule() {
    if (!loader.Loaded()) {
        return;
    }
    if (const fsx::GaugeHeader* gauge = loader.Gauge()) {
        gauge->kill();
    }
    host.SetGauge(nullptr);
    loader.Deinitialise();
    // Whatever the module left behind must not call into a library that is about to go.
    if (const std::size_t timers = hostsystem::StopLeftoverTimers(); timers > 0) {
        Diagnostic(this, ("bench: the module left " + std::to_string(timers) +
                          " timer(s) running at unload")
                             .c_str());
    }
    if (const std::size_t handlers = host.DropKeyHandlers(); handlers > 0) {
        Diagnostic(this, ("bench: the module left " + std::to_string(handlers) +
                          " key-event handler(s) registered at unload")
                             .c_str());
    }
    simulator.Reset();
    loader.Unload();
    appTimer = 0;
    log.Write("unload");
}

void Flight::AdvanceRamps() {
    for (auto it = ramps.begin(); it != ramps.end();) {
        const std::int64_t done = step - it->startStep;
        const double f =
            it->steps == 0
                ? 1.0
                : std::min(1.0, static_cast<double>(done) / static_cast<double>(it->steps));
        Write(it->name, it->from + (it->to - it->from) * f);
        it = f >= 1.0 ? ramps.erase(it) : it + 1;
    }
}

void Flight::Apply(const Action& a) {
    switch (a.kind) {
    case Action::Kind::Load:
        LoadModule();
        break;
    case Action::Kind::Unload:
        UnloadModule();
        break;
    case Action::Kind::SystemEvent:
        if (a.eventName == "Pause") {
            paused = a.id == 1;
        }
        simulator.QueueSystemEvent(a.eventName, a.id);
        break;
    case Action::Kind::Key:
        host.DeliverKeyEvent(a.id, a.value);
        break;
    case Action::Kind::Set:
        for (const auto& [name, value] : a.values) {
            std::erase_if(ramps, [&name](const Ramp& r) { return r.name.text == name.text; });
            Write(name, value);
        }
        break;
    case Action::Kind::Ramp:
        for (const auto& [name, value] : a.values) {
            std::erase_if(ramps, [&name](const Ramp& r) { return r.name.text == name.text; });
            ramps.push_back({name, Read(name), value, step, std::llround(a.over / kStep)});
        }
        break;
    case Action::Kind::Mouse:
        host.Mouse(a.x, a.y, a.flags);
        break;
    case Action::Kind::SimConnectException:
        simulator.QueueException(a.id, 0, 0);
        break;
    case Action::Kind::Settings:
        WriteSettings(settingsDir, a.eventName);
        break;
    case Action::Kind::Snapshot:
        snapshots.push_back(a.eventName);
        break;
    case Action::Kind::Expect:
        break;
    }
}

// Without --panel-png a snapshot draws nothing; a picture that cannot be written is reported
// and the flight goes on.
void Flight::Snapshot(const std::string& name) {
    if (options.panelPng.empty()) {
        return;
    }
    std::string error;
    if (!WritePanelPicture(host.Panel(), (fs::path(options.panelPng) / (name + ".png")).string(),
                           error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
}

// What an expectation saw, in words where there was no value to see.
std::string NotThere(const ValueName& name, double actual) {
    if (std::isnan(actual) && name.kind == ValueName::Kind::NamedVar) {
        return "no such variable";
    }
    if (std::isnan(actual) && name.kind == ValueName::Kind::Element) {
        return name.part == ElementPart::Text ? "no element drawn with a number as its text"
                                              : "no such element drawn";
    }
    return std::to_string(actual);
}

void Flight::Expect(const Action& a) {
    for (const auto& [name, expected] : a.values) {
        const double actual = Read(name);
        if (std::isnan(actual) || std::fabs(actual - expected) > a.tolerance) {
            ++result.expectFailures;
            result.status = kExpectFailed;
            char text[64];
            const std::size_t n = FormatShortest(static_cast<double>(step) * kStep, text, 63);
            text[n] = '\0';
            std::fprintf(stderr, "%s: t=%s: action %zu: %s expected %.17g (tol %g), got %s\n",
                         scenario.file.c_str(), text, a.index, name.text.c_str(), expected,
                         a.tolerance, NotThere(name, actual).c_str());
        }
    }
}

RunResult Flight::Fly() {
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
    zvrt_set_diagnostic_sink(&Flight::Diagnostic, this);
    zvrt_set_sleep_hook(&Flight::Sleep, this);
    zvrt_set_timer_observer(&Flight::TimerObserver, this);
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

    const std::int64_t lastStep = std::llround(std::floor(scenario.duration * 100.0 + 1e-6));
    // Speed figures only when asked for, and in the same memory however long the flight.
    StepStats stats(options.stats);
    bool fourSecondsQueued = false;
    const auto wallStart = Clock::now();
    LiveLink* const live = options.live;
    const bool paced = options.realtime || live != nullptr;
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(kStep / std::clamp(options.speed, 0.01, 1000.0)));
    StepHistogram lateNs;
    std::int64_t lateNsMax = 0;

    if (!scenario.hasLoad && !LoadModule()) {
        return result;
    }
    for (step = 0; live == nullptr ? step <= lastStep : live->KeepFlying(step > lastStep); ++step) {
        const double t = static_cast<double>(step) * kStep;
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
        while (next < order.size() && StepOf(order[next]->at) <= step) {
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
            host.SetToken(604, host.Token(604) + kStep);
        }
        if (loader.Loaded() && step > loadStep && (step - loadStep) % kStepsPerFourSeconds == 0) {
            simulator.QueueSystemEvent("4sec", 0);
            fourSecondsQueued = true;
        }

        // A step without a save, every so often, has its host calls recorded for the baseline.
        if (baseline) {
            baseline->BeginStep(loader.Loaded() && t >= 1.0 && !fourSecondsQueued &&
                                step % Baseline::kRecordEvery == 0);
        }
        stats.BeginStep();
        host.DeliverTriggeredKeyEvents();
        hostsystem::RunTimersUntil(static_cast<std::uint64_t>(step) * 10, wallStart);
        if (const fsx::GaugeHeader* gauge = loader.Gauge()) {
            gauge->update(); // the host redraws the panel
            gauge->draw();
        }
        audio.Step();
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
        trace.Row(t, host);
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
    log.SetTime(static_cast<double>(flown) * kStep);
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
    if (!trace.Finish(host)) {
        std::fprintf(stderr, "%s: cannot be written\n", options.tracePath.c_str());
    }

    RunStats& s = result.stats;
    s.simulatedSeconds = static_cast<double>(flown) * kStep;
    s.wallSeconds = std::chrono::duration<double>(Clock::now() - wallStart).count();
    stats.Finish(s);
    s.peakRssKb = hostsystem::PeakMemoryKb();
    s.paced = paced;
    s.lateNsMedian = lateNs.Median();
    s.lateNsP99 = lateNs.Quantile(0.99);
    s.lateNsMax = static_cast<double>(lateNsMax);
    return result;
}

} // namespace

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
        LayOutSimRoot(root.path, scenario, layout);
        if (scenario.settings) {
            WriteSettings(settings.path, *scenario.settings);
        }
        ProcessContext context(root.path, settings.path);
        Flight flight(scenario, local, root.path, settings.path, hook);
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
