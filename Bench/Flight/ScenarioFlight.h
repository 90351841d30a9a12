#pragma once

// One scenario flown against the loaded module: the host stand-in it talks to, what it writes
// out, and the state of the flight between steps. Its step loop is in Runner.cpp, the actions
// it applies within a step (loading, keys, settings, ramps, expectations) in FlightActions.cpp.

#include "Bench/Flight/Baseline.h"
#include "Bench/Flight/LiveLink.h"
#include "Bench/Flight/Runner.h"
#include "Bench/Flight/Scenario.h"
#include "Bench/Host/HostAnswers.h"
#include "Bench/Host/HostServices.h"
#include "Bench/Host/ModuleLoader.h"
#include "Bench/Host/SimulatorConnection.h"
#include "Bench/Output/AudioOutput.h"
#include "Bench/Output/EventLog.h"
#include "Bench/Output/Trace.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// A value moving linearly from `from` to `to` over `steps` steps from `startStep`.
struct Ramp {
    ValueName name;
    double from;
    double to;
    std::int64_t startStep;
    std::int64_t steps;
};

class ScenarioFlight {
public:
    // The host's "4sec" event comes every this many ms of host time.
    static constexpr std::int64_t kFourSecondsMs = 4000;
    // How often the baseline's stand-in makes each recorded step again: the replay lasts long
    // enough (tens of milliseconds) that a moment's disturbance of the machine does not decide
    // its median, as it could at eight passes.
    static constexpr int kBaselinePasses = 64;

    ScenarioFlight(const Scenario& s, const RunOptions& o, const std::string& rootPath,
                   const std::string& settingsPath, StepHook* stepHook)
        : scenario(s), options(o), hook(stepHook), root(rootPath), settingsDir(settingsPath),
          frameMs(FrameMsOf(s, o)), frameS(frameMs / 1000.0), host(log), simulator(log, host),
          audio(log), answers(host) {
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
        auto* self = static_cast<ScenarioFlight*>(user);
        self->log.Write("diagnostic", {Field::Text("text", text)});
        std::fprintf(stderr, "%s\n", text);
        if (self->options.live != nullptr) {
            self->options.live->Diagnostic(text);
        }
    }
    static void Sleep(void* user, std::uint32_t ms) {
        static_cast<ScenarioFlight*>(user)->log.Write("sleep", {Field::Int("ms", ms)});
    }
    static void TimerObserver(void* user, std::uintptr_t id, std::uint32_t, int started) {
        auto* self = static_cast<ScenarioFlight*>(user);
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
    // A step is one frame of the host: this many ms, and the same in seconds.
    std::int64_t frameMs;
    double frameS;
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

} // namespace bench
