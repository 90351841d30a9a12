#include "Support/Flight.h"

#include "Bench/Flight/BuiltinFlight.h"
#include "Bench/Flight/Scenario.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace testing_support {

namespace fs = std::filesystem;

namespace {

fs::path MakeFolder() {
    std::string pattern = (fs::temp_directory_path() / "zelvan-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("no temporary folder");
    }
    return pattern;
}

// The samples of a WAV file the bench wrote: its one data chunk follows a 44-byte header.
std::vector<std::int16_t> ReadSamples(const fs::path& path) {
    const std::string bytes = ReadAll(path);
    if (bytes.size() < 44 || bytes.compare(36, 4, "data") != 0) {
        return {};
    }
    std::uint32_t dataBytes = 0;
    std::memcpy(&dataBytes, bytes.data() + 40, 4);
    dataBytes = std::min<std::uint32_t>(dataBytes, static_cast<std::uint32_t>(bytes.size() - 44));
    std::vector<std::int16_t> samples(dataBytes / 2);
    std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

} // namespace

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

double Saved(const std::string& settings, const std::string& key) {
    std::smatch m;
    const std::regex line("(^|\n)" + key + "=([^\n]*)");
    return std::regex_search(settings, m, line) ? std::stod(m[2]) : std::nan("");
}

std::string GroundFlight(double duration, const std::string& settings, const std::string& actions) {
    nlohmann::json s = {{"duration", duration}, {"host", {{"token:60", 1.0}}}};
    if (!settings.empty()) {
        s["settings"] = settings;
    }
    s["actions"] =
        nlohmann::json::parse(R"([{"at": 0.0, "system_event": "SimStart"})" + actions + "]");
    return s.dump();
}

std::vector<nlohmann::json> FlightLog::Of(const std::string& type, const std::string& call) const {
    std::vector<nlohmann::json> found;
    for (const auto& e : events) {
        if (e.value("type", "") == type && (call.empty() || e.value("call", "") == call)) {
            found.push_back(e);
        }
    }
    return found;
}

std::vector<std::string> FlightLog::Diagnostics() const {
    std::vector<std::string> texts;
    for (const auto& e : Of("diagnostic")) {
        texts.push_back(e.value("text", ""));
    }
    return texts;
}

int FlightLog::KeysSent(std::uint32_t id, const std::string& type) const {
    int n = 0;
    for (const auto& e : Of(type)) {
        n += e.value("id", 0u) == id ? 1 : 0;
    }
    return n;
}

FlightLog Fly(const std::string& scenarioJson, bool withTrace, std::optional<double> epoch,
              bool withAudio) {
    const fs::path folder = MakeFolder();
    bench::RunOptions options;
    options.eventsPath = (folder / "events.jsonl").string();
    options.settingsDir = (folder / "settings").string();
    options.rootDir = (folder / "root").string();
    if (withTrace) {
        options.tracePath = (folder / "trace.csv").string();
    }
    options.epoch = epoch;
    if (withAudio) {
        options.audioOut = (folder / "audio.wav").string();
    }
    bench::FindCompanions(options);

    FlightLog log;
    try {
        log.result = bench::RunScenario(bench::ParseScenario(scenarioJson, "test.json"), options);
    } catch (const bench::ScenarioError& e) {
        log.result.status = bench::kBadInput;
        log.result.error = e.message;
    }
    std::ifstream events(options.eventsPath);
    std::string line;
    while (std::getline(events, line)) {
        log.events.push_back(nlohmann::json::parse(line));
    }
    log.settings = ReadAll(folder / "settings" / "PelmoraGrp" / "zelvan" / "config.ini");
    // The lines a save adds end in CR LF, as Windows writes them; the tests look for lines.
    log.settings.erase(std::remove(log.settings.begin(), log.settings.end(), '\r'),
                       log.settings.end());
    if (withTrace) {
        log.trace = ReadAll(options.tracePath);
    }
    if (withAudio) {
        log.audio = ReadSamples(options.audioOut);
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return log;
}

double AudioLevel(const FlightLog& log, double from, double to) {
    constexpr double kSamplesPerSecond = 44100.0 * 2.0; // stereo
    const auto first = static_cast<std::size_t>(std::max(from, 0.0) * kSamplesPerSecond);
    const auto last = std::min(static_cast<std::size_t>(to * kSamplesPerSecond), log.audio.size());
    if (first >= last) {
        return std::nan("");
    }
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        sum += static_cast<double>(log.audio[i]) * log.audio[i];
    }
    return std::sqrt(sum / static_cast<double>(last - first));
}

int RunBenchProgram(const std::string& arguments, std::string& err, const std::string& workingDir,
                    std::string* out) {
    const fs::path folder = MakeFolder();
    const fs::path errFile = folder / "stderr.txt";
    const fs::path outFile = folder / "stdout.txt";
    const std::string cd = workingDir.empty() ? "" : "cd '" + workingDir + "' && ";
    const std::string command = cd + std::string(ZELVAN_BUILD_BIN) + "/zelvan-bench " + arguments +
                                " >" + outFile.string() + " 2>" + errFile.string();
    const int status = std::system(command.c_str());
    err = ReadAll(errFile);
    if (out != nullptr) {
        *out = ReadAll(outFile);
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace testing_support
