// The speed figures of --stats: the baseline they measure the module against is recorded and
// replayed around the run without changing anything the run leaves behind.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;
using testing_support::RunBenchProgram;

std::map<std::string, double> StatsOf(const std::string& out) {
    std::map<std::string, double> stats;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (const std::size_t colon = line.find(": "); colon != std::string::npos) {
            stats[line.substr(0, colon)] = std::stod(line.substr(colon + 2));
        }
    }
    return stats;
}

} // namespace

TEST(BenchStats, TheBaselineLeavesTheTraceTheEventsAndTheSettingsAsTheyWere) {
    const fs::path dir = fs::temp_directory_path() / ("zelvan-stats-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::map<bool, std::string> traces, events, settings;
    std::string out;
    for (const bool stats : {false, true}) {
        const std::string tag = stats ? "stats" : "plain";
        const fs::path settingsDir = dir / ("settings-" + tag);
        std::string err;
        // The built-in flight: a reload, key events, mouse clicks and the settings saves.
        const std::string args = "run --epoch 1700000000 --trace " +
                                 (dir / (tag + ".csv")).string() + " --events " +
                                 (dir / (tag + ".jsonl")).string() + " --settings-dir " +
                                 settingsDir.string() + (stats ? " --stats" : "");
        ASSERT_EQ(RunBenchProgram(args, err, "", stats ? &out : nullptr), 0) << err;
        traces[stats] = ReadAll(dir / (tag + ".csv"));
        events[stats] = ReadAll(dir / (tag + ".jsonl"));
        settings[stats] = ReadAll(settingsDir / "PelmoraGrp" / "zelvan" / "config.ini");
    }
    EXPECT_FALSE(traces[false].empty());
    EXPECT_EQ(traces[true], traces[false]);
    EXPECT_FALSE(events[false].empty());
    EXPECT_EQ(events[true], events[false]);
    EXPECT_FALSE(settings[false].empty());
    EXPECT_EQ(settings[true], settings[false]);

    const auto figures = StatsOf(out);
    ASSERT_TRUE(figures.count("baseline_ns_per_tick") && figures.count("tick_ratio")) << out;
    EXPECT_GT(figures.at("baseline_ns_per_tick"), 0.0);
    EXPECT_NEAR(figures.at("tick_ratio"),
                figures.at("ns_per_tick") / figures.at("baseline_ns_per_tick"), 1e-3);
    std::error_code ec;
    fs::remove_all(dir, ec);
}

TEST(BenchStats, StepsWithoutASettingsSaveAllocateNothing) {
    const fs::path file =
        fs::temp_directory_path() / ("zelvan-steady-" + std::to_string(::getpid()) + ".json");
    // Every system at work, on the ground and then circling, with the random failures on.
    std::ofstream(file) << R"({"duration": 30.0,
        "settings": "[power]\nbattery1=1\nbattery2=1\nbatteryRadio=1\n[failures]\nslider=40\n",
        "host": {"token:60": 1, "token:79": 3, "avar:INDICATED ALTITUDE:m": 300},
        "actions": [{"at": 0.0, "system_event": "SimStart"},
          {"at": 10.0, "set": {"token:60": 0, "token:61": 25, "token:79": 30, "token:937": 5,
                               "avar:VERTICAL SPEED:m/s": 1.5}},
          {"at": 10.0, "ramp": {"token:83": 359, "avar:INDICATED ALTITUDE:m": 400}, "over": 20}]})";
    std::string err;
    std::string out;
    ASSERT_EQ(
        RunBenchProgram("run " + file.string() + " --epoch 1700000000 --stats", err, "", &out), 0)
        << err;
    const auto figures = StatsOf(out);
    ASSERT_TRUE(figures.count("allocations_per_plain_tick")) << out;
    EXPECT_EQ(figures.at("allocations_per_plain_tick"), 0.0);
    // The saves do allocate: the counter counts, and the plain steps are counted apart.
    EXPECT_GT(figures.at("allocations_per_tick"), 0.0);
    fs::remove(file);
}
