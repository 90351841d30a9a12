// The host's frame: host time moves on a frame at a time, each module timer that is due fires
// once in it, actions due within a frame happen at its start, and the sound of a frame is its
// length of samples, none lost where a frame is no whole number of them.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

using testing_support::Fly;
using testing_support::GroundFlight;
using testing_support::RunBenchProgram;
using testing_support::Saved;

namespace {

constexpr double kModuleStepS = 0.055;
constexpr double kCapacity = 43200.0;

// The first column of every row of a trace.
std::vector<double> TraceTimes(const std::string& trace) {
    std::vector<double> times;
    std::istringstream in(trace);
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        times.push_back(std::stod(line.substr(0, line.find(','))));
    }
    return times;
}

} // namespace

TEST(Frame, EachTimerFiresOnceAFrameAndHostTimeMovesOnByTheFrame) {
    constexpr double kDuration = 11.0;
    constexpr double kBatteryOnAt = 1.5;
    for (const int frameMs : {10, 33, 55}) {
        SCOPED_TRACE(frameMs);
        const double frame = frameMs / 1000.0;
        const auto frames = static_cast<std::int64_t>(std::floor(kDuration / frame + 1e-6)) + 1;
        // Host time in the frame that holds 5.0 s: the frames up to and including it.
        const double hostTimeAt5 = (std::ceil(5.0 / frame - 1e-6) + 1.0) * frame;
        auto scenario = nlohmann::json::parse(GroundFlight(kDuration, "[power]\nbattery1=1\n",
                                                           R"(,{"at": 1.5, "key": 69637}
               ,{"at": 5.0, "expect": {"token:604": )" + std::to_string(hostTimeAt5) +
                                                               R"(}, "tol": 1e-6})"));
        scenario["frame_ms"] = frameMs;
        const auto log = Fly(scenario.dump(), true, std::nullopt, true);
        ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;

        // A trace row a frame, at the frame's time.
        const std::vector<double> times = TraceTimes(log.trace);
        ASSERT_EQ(static_cast<std::int64_t>(times.size()), frames);
        for (std::size_t k = 0; k < times.size(); ++k) {
            ASSERT_NEAR(times[k], static_cast<double>(k) * frame, 1e-9) << k;
        }
        // The application ticks once a frame from the frame after the one that started it.
        EXPECT_GE(log.result.stats.ticks, static_cast<std::uint64_t>(frames - 3));
        EXPECT_LE(log.result.stats.ticks, static_cast<std::uint64_t>(frames - 1));
        // So battery 1 drains by its load over 0.055 s of the module's time a frame.
        const double framesOn = std::floor((kDuration - kBatteryOnAt) / frame + 1e-6);
        EXPECT_NEAR(Saved(log.settings, "battery1"),
                    1.0 - framesOn * 10.0 * kModuleStepS / kCapacity,
                    2.0 * 10.0 * kModuleStepS / kCapacity)
            << log.settings;
        // 44.1 stereo frames of sound a ms of host time, none lost in the frames' remainders.
        const auto soundFrames = static_cast<std::size_t>(frames * frameMs * 441 / 10);
        EXPECT_EQ(log.audio.size(), 2 * soundFrames);
    }
}

TEST(Frame, AFrameOutsideTenToAHundredMillisecondsIsRefusedAndStatsNameTheFrame) {
    for (const char* bad : {"5", "101", "55.5", "\"55\""}) {
        const auto log = Fly(std::string(R"({"duration": 1, "frame_ms": )") + bad + "}");
        EXPECT_EQ(log.result.status, bench::kBadInput) << bad;
        EXPECT_NE(log.result.error.find("field \"frame_ms\": must be a whole number of ms from 10 "
                                        "to 100"),
                  std::string::npos)
            << log.result.error;
    }
    std::string err;
    EXPECT_EQ(RunBenchProgram("run --frame-ms 9", err), bench::kBadInput);
    EXPECT_NE(err.find("--frame-ms"), std::string::npos) << err;

    // --frame-ms beats the scenario's own; the module's time keeps pace with the host's at 55 ms.
    const auto file = std::filesystem::temp_directory_path() /
                      ("zelvan-frame-" + std::to_string(::getpid()) + ".json");
    std::ofstream(file) << GroundFlight(20.0, "", "").insert(1, R"("frame_ms": 10, )");
    std::string out;
    ASSERT_EQ(RunBenchProgram("run " + file.string() + " --frame-ms 55 --stats", err, "", &out), 0)
        << err;
    std::filesystem::remove(file);
    EXPECT_NE(out.find("\nframe_ms: 55\n"), std::string::npos) << out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, std::regex("\nmodule_s_per_host_s: ([0-9.e+-]+)\n")))
        << out;
    EXPECT_NEAR(std::stod(m[1]), 1.0, 0.01);
}
