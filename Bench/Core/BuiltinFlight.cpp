#include "Bench/Core/BuiltinFlight.h"

#include "Bench/Core/InstrumentReadings.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace bench {

namespace fs = std::filesystem;

namespace {

// On the ground, banked onto a wing: the first tick rests the glider on one tip; the pilot
// levels the wings, looks from the back seat, then the aircraft is reloaded and flies off. It
// climbs on the winch, sets the altimeters, circles in a thermal and glides home, the instruments
// following all the way.
constexpr const char* kFlight = R"json({
  "description": "built-in flight",
  "duration": 90.0,
  "host": { "token:60": 1.0, "token:79": 3.0, "token:336": 256.0,
            "avar:KOHLSMAN SETTING MB:mbars": 1013.25, "avar:INDICATED ALTITUDE:m": 312.0 },
  "actions": [
    { "at": 0.00, "load": true },
    { "at": 0.00, "system_event": "SimStart" },
    { "at": 0.50, "system_event": "View", "data": 2 },
    { "at": 1.00, "key": "0x103E2" },
    { "at": 2.00, "ramp": { "token:79": 9.0 }, "over": 2.0 },
    { "at": 5.00, "mouse": { "x": 30, "y": 180 } },
    { "at": 5.50, "mouse": { "x": 100, "y": 180 } },
    { "at": 9.00, "unload": true },
    { "at": 9.50, "load": true },
    { "at": 9.60, "system_event": "SimStart" },
    { "at": 10.0, "ramp": { "avar:AIRSPEED INDICATED:kph": 110.0 }, "over": 2.0 },
    { "at": 12.0, "set": { "token:60": 0.0, "token:61": 25.0, "token:79": 0.0,
                           "avar:VERTICAL SPEED:m/s": 10.0 } },
    { "at": 12.0, "ramp": { "avar:INDICATED ALTITUDE:m": 412.0, "token:83": 40.0 }, "over": 10.0 },
    { "at": 14.0, "system_event": "Pause", "data": 1 },
    { "at": 16.0, "system_event": "Pause", "data": 0 },
    { "at": 18.0, "system_event": "PositionChanged", "data": 1 },
    { "at": 22.0, "set": { "avar:VERTICAL SPEED:m/s": 0.0, "avar:AIRSPEED INDICATED:kph": 95.0 } },
    { "at": 23.0, "expect": { "lvar:zelvan_covers_visible": 0.0 } },
    { "at": 23.0, "key": "0x1104D" },
    { "at": 23.5, "key": "0x1104D" },
    { "at": 24.0, "key": "0x11062" },
    { "at": 24.5, "key": "0x11062" },
    { "at": 26.0, "set": { "avar:VERTICAL SPEED:m/s": 1.8, "avar:AIRSPEED INDICATED:kph": 85.0,
                           "token:932": 1.5, "token:933": 0.5 } },
    { "at": 26.0, "ramp": { "token:83": 400.0 }, "over": 15.0 },
    { "at": 26.0, "ramp": { "avar:INDICATED ALTITUDE:m": 499.0 }, "over": 30.0 },
    { "at": 41.0, "set": { "token:83": 40.0 } },
    { "at": 41.0, "ramp": { "token:83": 400.0 }, "over": 15.0 },
    { "at": 56.0, "set": { "avar:VERTICAL SPEED:m/s": -1.1, "avar:AIRSPEED INDICATED:kph": 100.0,
                           "token:83": 200.0, "token:932": 0.0, "token:933": -0.4 } },
    { "at": 56.0, "ramp": { "avar:INDICATED ALTITUDE:m": 462.0 }, "over": 34.0 },
    { "at": 70.0, "expect": { "lvar:zelvan_speed_needle": 25.0, "lvar:zelvan_climb_needle": 57.8,
                              "lvar:zelvan_compass_bank": 0.5 }, "tol": 1e-9 }
  ]
})json";

std::string Beside(const fs::path& folder, const char* name) {
    std::error_code ec;
    const fs::path p = folder / name;
    return fs::exists(p, ec) ? p.string() : std::string();
}

} // namespace

Scenario BuiltinFlight() {
    return ParseScenario(kFlight, "(built-in flight)");
}

void FindCompanions(RunOptions& options) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec).parent_path();
    for (const fs::path& folder : {self, fs::path(ZELVAN_BUILD_BIN)}) {
        if (options.modulePath.empty()) {
            options.modulePath = Beside(folder, ZELVAN_MODULE_FILE);
        }
        if (options.standinLibrary.empty()) {
            options.standinLibrary = Beside(folder, ZELVAN_STANDIN_FILE);
        }
        if (options.soundBankFolder.empty()) {
            options.soundBankFolder = Beside(folder, "soundbank");
        }
    }
    if (options.modulePath.empty()) {
        options.modulePath =
            (self / ZELVAN_MODULE_FILE).string(); // reported as missing when loaded
    }
}

void PrintSummary(const RunResult& result, const std::string& eventsPath,
                  const std::string& tracePath, const std::string& settingsDir, std::ostream& out) {
    std::map<std::string, int> calls;
    std::map<std::string, int> kinds;
    std::vector<std::string> diagnostics;
    std::vector<std::string> wingRest;
    std::vector<std::string> camera;
    std::ifstream in(eventsPath);
    std::string line;
    while (std::getline(in, line)) {
        const auto e = nlohmann::json::parse(line, nullptr, false);
        if (e.is_discarded()) {
            continue;
        }
        const std::string type = e.value("type", "");
        ++kinds[type];
        const std::string t = e["t"].dump();
        if (type == "simconnect") {
            const std::string call = e.value("call", "");
            ++calls[call];
            if (call == "SetDataOnSimObject" && wingRest.size() < 6) {
                const int define = e.value("define", 0);
                if (define == 0x1000D || define == 0x1000E) {
                    wingRest.push_back("t=" + t + " station " + std::to_string(define - 0x1000A) +
                                       " = " + e["value"].dump() + " lb");
                }
            }
            if (call == "CameraSetRelative6DOF") {
                camera.push_back("t=" + t + " eye point (" + e["x"].dump() + ", " + e["y"].dump() +
                                 ", " + e["z"].dump() + ") m");
            }
        } else if (type == "diagnostic") {
            diagnostics.push_back("t=" + t + " " + e.value("text", ""));
        }
    }

    out << "Zelvan bench: built-in flight\n";
    out << "  loads " << kinds["load"] << ", unloads " << kinds["unload"] << "\n";
    out << "  SimConnect calls:";
    for (const auto& [call, n] : calls) {
        out << " " << call << " x" << n << ";";
    }
    out << "\n  key events sent: " << kinds["key"] << " (trigger), " << kinds["key2"]
        << " (second operation); panel-window calls: " << kinds["panel_window"] << "\n";
    out << "  wing rest (first writes):\n";
    for (const std::string& w : wingRest) {
        out << "    " << w << "\n";
    }
    out << "  camera:\n";
    for (const std::string& c : camera) {
        out << "    " << c << "\n";
    }
    PrintInstrumentReadings(tracePath,
                            {{11.0, "on the ground, rolling"},
                             {20.0, "climbing on the winch"},
                             {25.0, "level, altimeters set"},
                             {32.0, "circling in a thermal"},
                             {48.0, "circling in a thermal"},
                             {80.0, "gliding home"}},
                            out);
    out << "  diagnostics: " << diagnostics.size() << "\n";
    for (const std::string& d : diagnostics) {
        out << "    " << d << "\n";
    }
    const fs::path ini = fs::path(settingsDir) / "PelmoraGrp" / "zelvan" / "config.ini";
    std::ifstream settings(ini);
    if (settings) {
        out << "  settings saved to " << ini.string() << ":\n";
        while (std::getline(settings, line)) {
            out << "    " << line << "\n";
        }
    } else {
        out << "  no settings file was written\n";
    }
    out << "  result: "
        << (result.status == kRunOk ? "every expectation held"
                                    : "exit " + std::to_string(result.status))
        << "\n";
}

} // namespace bench
