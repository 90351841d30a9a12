// zelvan-bench: loads the gauge module the way the simulator does and flies it through a
// scenario in simulated time.
#include "Bench/Flight/BuiltinFlight.h"
#include "Bench/Flight/Runner.h"
#include "Bench/Flight/Scenario.h"
#include "Bench/Host/HostSystem.h"
#ifdef ZELVAN_BENCH_REPLAY
#include "Bench/Replay/Replay.h"
#endif

#ifdef ZELVAN_BENCH_SERVE
#include "Bench/Web/ServeCommand.h"
#endif

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace bench {
std::uint64_t CountedAllocations();
}

namespace {

void AddRunOptions(CLI::App& command, bench::RunOptions& o, std::uint64_t& epochSeconds,
                   int defaultFrameMs) {
    command.add_option("--trace", o.tracePath, "named variables after every frame (CSV)");
    command.add_option("--events", o.eventsPath, "what the module did to the host (JSON lines)");
    command.add_option("--settings-dir", o.settingsDir,
                       "the per-user folder that holds PelmoraGrp/zelvan/config.ini");
    command.add_option("--root", o.rootDir, "the simulator root, laid out by the bench");
    command.add_option("--module", o.modulePath, "the gauge library to load");
    command.add_option("--seed", o.seed, "seed of the C library's generator");
    command.add_option("--epoch", epochSeconds,
                       "calendar time at the start of the run, seconds since 1970");
    command.add_flag("--stats", o.stats, "print speed and memory figures at the end");
    command.add_flag("--realtime", o.realtime, "pace the frames in wall-clock time");
    command
        .add_option_function<int>(
            "--frame-ms", [&o](int ms) { o.frameMs = ms; },
            "the host's frame, ms of host time: each due module timer fires once a frame "
            "(default " +
                std::to_string(defaultFrameMs) + ")")
        ->check(CLI::Range(bench::kLeastFrameMs, bench::kMostFrameMs));
    command.add_option("--audio-out", o.audioOut,
                       "the cockpit audio the loopback device rendered during the run (WAV)");
    command.add_option("--panel-png", o.panelPng,
                       "write the 2D panel to DIR/NAME.png at every snapshot and DIR/end.png at "
                       "the end");
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"zelvan-bench: flies the Zelvan cockpit module as the simulator would"};
    app.require_subcommand(1);
    bench::RunOptions options;
    std::string scenarioPath;
    std::uint64_t epoch = 0;

    CLI::App* run = app.add_subcommand("run", "fly a scenario; without one, the built-in flight");
    run->add_option("scenario", scenarioPath, "the scenario file (JSON)");
    AddRunOptions(*run, options, epoch, bench::kDefaultFrameMs);
    CLI::App* demo = app.add_subcommand("demo", "the built-in flight, with a readable summary");
    AddRunOptions(*demo, options, epoch, bench::kDefaultFrameMs);
#ifdef ZELVAN_BENCH_SERVE
    bench::web::ServeOptions serveOptions;
    CLI::App* serve = app.add_subcommand(
        "serve", "fly in real time with the cockpit page in a browser; Ctrl-C ends the flight");
    serve->add_option("scenario", scenarioPath,
                      "the scenario file (JSON) or a recorded flight (.igc, .csv, .csv.gz); else "
                      "the built-in flight");
    serve->add_option("--port", serveOptions.port, "the page's port (0: any free one)")
        ->check(CLI::Range(0, 65535));
    serve->add_option("--host", serveOptions.host, "the address to listen on");
    serve->add_option("--speed", options.speed, "simulated seconds per wall second")
        ->check(CLI::Range(0.25, 16.0));
    AddRunOptions(*serve, options, epoch, bench::kModuleStepFrameMs);
#endif
#ifdef ZELVAN_BENCH_REPLAY
    replay::ReplayOptions replayOptions;
    CLI::App* replay =
        app.add_subcommand("replay", "fly a recorded flight (IGC log or flight record) through "
                                     "the cockpit and compare the instruments with it");
    replay->add_option("flight", replayOptions.logPath, "the log: .igc, .csv or .csv.gz")
        ->required();
    AddRunOptions(*replay, options, epoch, bench::kModuleStepFrameMs);
    replay->add_option("--compare", replayOptions.comparePath,
                       "each instrument beside the flight, a row a second (CSV)");
    replay->add_option("--plot", replayOptions.plotPath,
                       "the flight and the instruments against time (PNG)");
    replay->add_option("--from", replayOptions.from, "start this many seconds into the flight");
    replay->add_option("--to", replayOptions.to, "end this many seconds into the flight");
    replay->add_option("--failures", replayOptions.failures,
                       "the service panel's failure slider, 0 (none) to 100");
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : bench::kBadInput;
    }
    if (run->count("--epoch") > 0 || demo->count("--epoch") > 0
#ifdef ZELVAN_BENCH_SERVE
        || serve->count("--epoch") > 0
#endif
    ) {
        options.epoch = static_cast<double>(epoch);
    }
    // A recorded flight and the page fly with the module's own time step unless told otherwise.
    if (
#ifdef ZELVAN_BENCH_SERVE
        serve->parsed() ||
#endif
#ifdef ZELVAN_BENCH_REPLAY
        replay->parsed() ||
#endif
        false) {
        options.defaultFrameMs = bench::kModuleStepFrameMs;
    }
    bench::SetAllocationCounter(&bench::CountedAllocations);
    bench::FindCompanions(options);
#ifdef ZELVAN_BENCH_REPLAY
    if (replay->parsed()) {
        if (replay->count("--epoch") > 0) {
            options.epoch = static_cast<double>(epoch);
        }
        replayOptions.progress = bench::hostsystem::StandardErrorIsTerminal();
        const bench::RunResult result = replay::RunReplay(replayOptions, options, std::cout);
        if (!result.error.empty()) {
            std::cerr << result.error << "\n";
        }
        if (options.stats && result.status != bench::kBadInput &&
            result.status != bench::kModuleNotLoaded) {
            bench::PrintStats(result.stats, std::cout);
        }
        return result.status;
    }
#endif

    bench::Scenario scenario;
    for (const char* recorded : {".igc", ".csv", ".csv.gz"}) {
        if (scenarioPath.ends_with(recorded)) {
#if defined(ZELVAN_BENCH_SERVE) && defined(ZELVAN_BENCH_REPLAY)
            // The page follows a recorded flight as the replay command flies it.
            if (serve->parsed()) {
                replayOptions.logPath = scenarioPath;
                return bench::web::Serve(bench::web::StatusValues(bench::Scenario{}), options,
                                         serveOptions,
                                         [&replayOptions](const bench::RunOptions& o) {
                                             return replay::RunReplay(replayOptions, o, std::cout);
                                         });
            }
#endif
            std::cerr << scenarioPath
                      << ": recorded flights are the replay command's; this bench flies "
                         "scenarios (JSON)\n";
            return bench::kBadInput;
        }
    }
    try {
        scenario =
            scenarioPath.empty() ? bench::BuiltinFlight() : bench::LoadScenarioFile(scenarioPath);
    } catch (const bench::ScenarioError& e) {
        std::cerr << e.message << "\n";
        return bench::kBadInput;
    }

#ifdef ZELVAN_BENCH_SERVE
    if (serve->parsed()) {
        return bench::web::Serve(scenario, options, serveOptions);
    }
#endif
    const bool summary = demo->parsed();
    std::string eventsForSummary;
    if (summary && options.eventsPath.empty()) {
        eventsForSummary = (std::filesystem::temp_directory_path() /
                            ("zelvan-demo-events-" + std::to_string(::getpid()) + ".jsonl"))
                               .string();
        options.eventsPath = eventsForSummary;
    }
    std::string traceForSummary;
    if (summary && options.tracePath.empty()) {
        traceForSummary = (std::filesystem::temp_directory_path() /
                           ("zelvan-demo-trace-" + std::to_string(::getpid()) + ".csv"))
                              .string();
        options.tracePath = traceForSummary;
    }
    std::string settingsForSummary;
    if (summary && options.settingsDir.empty()) {
        settingsForSummary = (std::filesystem::temp_directory_path() /
                              ("zelvan-demo-settings-" + std::to_string(::getpid())))
                                 .string();
        options.settingsDir = settingsForSummary;
    }

    const bench::RunResult result = bench::RunScenario(scenario, options);
    if (!result.error.empty()) {
        std::cerr << result.error << "\n";
    }
    if (summary && result.status != bench::kBadInput && result.status != bench::kModuleNotLoaded) {
        bench::PrintSummary(result, options.eventsPath, options.tracePath, options.settingsDir,
                            std::cout);
    }
    if (summary && !options.panelPng.empty() && result.status != bench::kBadInput &&
        result.status != bench::kModuleNotLoaded) {
        std::cout << "  panel pictures (seated, charging, parked, end) in "
                  << std::filesystem::absolute(options.panelPng).string() << "\n";
    }
    if (options.stats) {
        bench::PrintStats(result.stats, std::cout);
    }
    std::error_code ec;
    if (!eventsForSummary.empty()) {
        std::filesystem::remove(eventsForSummary, ec);
    }
    if (!traceForSummary.empty()) {
        std::filesystem::remove(traceForSummary, ec);
    }
    if (!settingsForSummary.empty()) {
        std::filesystem::remove_all(settingsForSummary, ec);
    }
    return result.status;
}
