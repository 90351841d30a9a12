#pragma once

#include "Bench/Flight/Runner.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// One scenario flown in-process by the bench, with everything it left behind.
struct FlightLog {
    bench::RunResult result;
    std::vector<nlohmann::json> events;
    std::string settings; // config.ini after the run; empty when none was written
    std::string trace;    // the CSV, when asked for
    // The rendered sound, when asked for: 44.1 kHz stereo 16-bit frames, 441 a simulated step.
    std::vector<std::int16_t> audio;

    std::vector<nlohmann::json> Of(const std::string& type, const std::string& call = "") const;
    std::vector<std::string> Diagnostics() const;
    // Key events the module sent with this id, through either key operation.
    int KeysSent(std::uint32_t id, const std::string& type = "key") const;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadAll(const std::filesystem::path& path);

// A number the saved settings hold under `key`; NaN when it is missing.
double Saved(const std::string& settings, const std::string& key);

// A scenario on the ground from a "SimStart" at 0, with `settings` as config.ini (none when
// empty); `actions` are further action list entries, each preceded by a comma.
std::string GroundFlight(double duration, const std::string& settings, const std::string& actions);

// `epoch` pins the calendar time the module reads, as the bench's --epoch does; `withAudio` keeps
// what the sound device rendered, as the bench's --audio-out does.
FlightLog Fly(const std::string& scenarioJson, bool withTrace = false,
              std::optional<double> epoch = std::nullopt, bool withAudio = false);

// The root mean square of the rendered samples from `from` to `to` simulated seconds.
double AudioLevel(const FlightLog& log, double from, double to);

// Runs the bench program itself and returns its exit status; its standard error goes to `err`.
// With `workingDir` the program starts in that folder instead of the test's own; with `out` its
// standard output is kept there.
int RunBenchProgram(const std::string& arguments, std::string& err,
                    const std::string& workingDir = "", std::string* out = nullptr);

} // namespace testing_support
