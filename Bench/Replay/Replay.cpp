#include "Bench/Replay/Replay.h"

#include "Bench/Flight/Scenario.h"
#include "Bench/Replay/FlightPlot.h"
#include "Bench/Replay/HostFeed.h"
#include "Bench/Replay/ReplayError.h"
#include "Bench/Replay/ReplayHook.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <utility>

namespace replay {

namespace {

// The run around the flight: the module loaded and started on the ground or in the air as the
// log begins, fresh batteries, failures as asked.
bench::Scenario ReplayScenario(const FlightState& first, double seconds, int failures) {
    nlohmann::json s;
    s["description"] = "replay";
    s["duration"] = kLeadInS + seconds;
    s["host"] = {{"token:60", first.onGround ? 1.0 : 0.0},
                 {"token:336", 256.0},
                 {"avar:KOHLSMAN SETTING MB:mbars", kStandardPressureMb}};
    s["settings"] = "[power]\nbattery1=1\nbattery2=1\nbatteryRadio=1\n[failures]\nslider=" +
                    std::to_string(failures) + "\n";
    s["actions"] = nlohmann::json::array({{{"at", 0.0}, {"system_event", "SimStart"}}});
    return bench::ParseScenario(s.dump(), "(replay)");
}

bool SettingsExist(const std::string& settingsDir) {
    std::error_code ec;
    return !settingsDir.empty() &&
           std::filesystem::exists(
               std::filesystem::path(settingsDir) / "PelmoraGrp" / "zelvan" / "config.ini", ec);
}

bench::RunResult BadInput(const std::string& message) {
    bench::RunResult r;
    r.status = bench::kBadInput;
    r.error = message;
    return r;
}

// Seconds as a pilot writes them: "5379", "12.5", "-5", to the millisecond.
std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') {
        s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

} // namespace

bench::RunResult RunReplay(const ReplayOptions& replay, const bench::RunOptions& run,
                           std::ostream& out) {
    std::unique_ptr<LogFlight> flight;
    try {
        flight = std::make_unique<LogFlight>(replay.logPath);
    } catch (const ReplayError& e) {
        return BadInput(e.what());
    }
    if (!flight->Warning().empty()) {
        std::cerr << "warning: " << flight->Warning() << "\n";
    }
    const double from = replay.from;
    const double to = replay.to.value_or(flight->Duration());
    for (const auto& [option, seconds] : {std::pair{"--from", from}, std::pair{"--to", to}}) {
        if (seconds < 0.0) {
            return BadInput(std::string(option) + " " + Seconds(seconds) +
                            ": seconds into the flight are never negative");
        }
    }
    if (from >= flight->Duration() || to <= from) {
        return BadInput(replay.logPath + ": --from " + Seconds(from) + " and --to " + Seconds(to) +
                        " leave nothing of its " + Seconds(flight->Duration()) + " s to fly");
    }
    if (replay.failures < 0 || replay.failures > 100) {
        return BadInput("--failures takes 0 to 100");
    }

    bench::Scenario scenario =
        ReplayScenario(flight->At(from), std::min(to, flight->Duration()) - from, replay.failures);
    if (SettingsExist(run.settingsDir)) {
        scenario.settings.reset(); // the pilot's own settings folder stays as it is
    }
    bench::RunOptions options = run;
    if (!options.epoch && flight->StartEpoch()) {
        options.epoch = *flight->StartEpoch() + from - kLeadInS;
    }

    Comparison compare(replay.comparePath);
    if (!compare.Open()) {
        return BadInput(replay.comparePath + ": cannot be written");
    }
    PlotRecorder plot;
    ReplayHook hook(*flight, from, std::min(to, flight->Duration()), kLeadInS,
                    bench::FrameMsOf(scenario, options), compare,
                    replay.plotPath.empty() ? nullptr : &plot, replay.progress);
    bench::RunResult result = bench::RunScenario(scenario, options, &hook);
    hook.FinishProgress();
    if (result.status == bench::kBadInput || result.status == bench::kModuleNotLoaded) {
        return result; // the compare file goes with the comparison
    }
    if (!compare.Finish()) {
        return BadInput(replay.comparePath + ": cannot be written");
    }
    if (!replay.plotPath.empty()) {
        std::string error;
        const std::string title = std::filesystem::path(replay.logPath).filename().string() +
                                  ": the flight and the instruments";
        if (!WriteFlightPlot(plot.Rows(), title, replay.plotPath, error)) {
            return BadInput(error);
        }
    }
    compare.PrintSummary(out);
    PrintAirspeedSummary(*flight, out);
    return result;
}

} // namespace replay
