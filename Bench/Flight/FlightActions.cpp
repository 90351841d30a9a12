#include "Bench/Flight/RunFolders.h"
#include "Bench/Flight/ScenarioFlight.h"
#include "Bench/Host/HostSystem.h"
#include "Bench/Output/PanelPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace bench {

namespace fs = std::filesystem;

bool ScenarioFlight::LoadModule() {
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

void ScenarioFlight::UnloadModule() {
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

void ScenarioFlight::AdvanceRamps() {
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

void ScenarioFlight::Apply(const Action& a) {
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
            ramps.push_back({name, Read(name), value, step, std::llround(a.over / frameS)});
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
void ScenarioFlight::Snapshot(const std::string& name) {
    if (options.panelPng.empty()) {
        return;
    }
    std::string error;
    if (!WritePanelPicture(host.Panel(), (fs::path(options.panelPng) / (name + ".png")).string(),
                           error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
}

namespace {

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

} // namespace

void ScenarioFlight::Expect(const Action& a) {
    for (const auto& [name, expected] : a.values) {
        const double actual = Read(name);
        if (std::isnan(actual) || std::fabs(actual - expected) > a.tolerance) {
            ++result.expectFailures;
            result.status = kExpectFailed;
            char text[64];
            const std::size_t n = FormatShortest(static_cast<double>(step) * frameS, text, 63);
            text[n] = '\0';
            std::fprintf(stderr, "%s: t=%s: action %zu: %s expected %.17g (tol %g), got %s\n",
                         scenario.file.c_str(), text, a.index, name.text.c_str(), expected,
                         a.tolerance, NotThere(name, actual).c_str());
        }
    }
}

} // namespace bench
