#include "Bench/Flight/BuiltinFlight.h"

#include "Bench/Output/EventLog.h"
#include "Bench/Output/HandleReadings.h"
#include "Bench/Output/InstrumentReadings.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace bench {

namespace fs = std::filesystem;

namespace {

// On the ground, banked onto a wing: the first tick rests the glider on one tip; the pilot
// switches the batteries and the attitude indicators on, puts the low second battery on the
// ground charger from the service panel, parks the glider (the wings levelled by the ballast, as
// the simulator would) and takes the covers off again, so that it settles back on a tip, looks
// from the back seat, then the aircraft is reloaded (the switches stay as they were) and flies off,
// with the radio on and tuned to 123.500. It climbs on the winch, raises the gear, uncages the
// attitude indicators, sets the altimeters, circles in a thermal and glides home, the
// instruments following all the way; on the approach the gear goes down, the flaps to half and
// full and the spoilers out. Landed and resting on a wing, the pilot parks the glider: the wings
// are levelled, the covers go on and the controls are locked.
constexpr const char* kFlight = R"json({
  "description": "built-in flight",
  "duration": 90.0,
  "host": { "token:60": 1.0, "token:79": 3.0, "token:336": 256.0,
            "avar:KOHLSMAN SETTING MB:mbars": 1013.25, "avar:INDICATED ALTITUDE:m": 312.0 },
  "settings": "[power]\nbattery1=1\nbattery2=0.15\nbatteryRadio=1\n",
  "actions": [
    { "at": 0.00, "load": true },
    { "at": 0.00, "system_event": "SimStart" },
    { "at": 0.50, "system_event": "View", "data": 2 },
    { "at": 1.00, "key": "0x103E2" },
    { "at": 1.50, "key": 69637 }, { "at": 1.60, "key": 69737 }, { "at": 1.70, "key": 69647 },
    { "at": 1.80, "key": 70000 }, { "at": 1.90, "key": 70001 },
    { "at": 1.95, "snapshot": "seated" },
    { "at": 2.00, "ramp": { "token:79": 9.0 }, "over": 2.0 },
    { "at": 3.00, "mouse": { "x": 450, "y": 100 } },
    { "at": 3.04, "snapshot": "charging" },
    { "at": 5.00, "mouse": { "x": 30, "y": 180 } },
    { "at": 5.05, "ramp": { "token:79": 0.0 }, "over": 0.5 },
    { "at": 5.20, "snapshot": "parked" },
    { "at": 5.60, "mouse": { "x": 400, "y": 140 } },
    { "at": 6.00, "mouse": { "x": 100, "y": 180 } },
    { "at": 6.20, "ramp": { "token:79": 9.0 }, "over": 0.5 },
    { "at": 9.00, "unload": true },
    { "at": 9.50, "load": true },
    { "at": 9.60, "system_event": "SimStart" },
    { "at": 10.0, "ramp": { "avar:AIRSPEED INDICATED:kph": 110.0 }, "over": 2.0 },
    { "at": 10.2, "key": "0x11065" }, { "at": 10.3, "key": "0x11065" },
    { "at": 10.4, "key": "0x11059" }, { "at": 10.5, "key": "0x11059" },
    { "at": 10.6, "key": "0x11059" }, { "at": 10.7, "key": "0x11059" },
    { "at": 10.8, "key": "0x11059" },
    { "at": 10.90, "key": "0x11061" },
    { "at": 10.95, "key": "0x11061" },
    { "at": 11.00, "key": "0x11061" },
    { "at": 11.05, "key": "0x11061" },
    { "at": 11.10, "key": "0x11061" },
    { "at": 11.15, "key": "0x11061" },
    { "at": 11.20, "key": "0x11061" },
    { "at": 11.25, "key": "0x11061" },
    { "at": 11.30, "key": "0x11061" },
    { "at": 11.35, "key": "0x11061" },
    { "at": 11.40, "key": "0x11061" },
    { "at": 11.45, "key": "0x11061" },
    { "at": 11.50, "key": "0x11061" },
    { "at": 11.55, "key": "0x11061" },
    { "at": 11.60, "key": "0x11061" },
    { "at": 11.65, "key": "0x11061" },
    { "at": 11.70, "key": "0x11061" },
    { "at": 11.75, "key": "0x11061" },
    { "at": 11.80, "key": "0x11061" },
    { "at": 11.85, "key": "0x11061" },
    { "at": 12.0, "set": { "token:60": 0.0, "token:61": 25.0, "token:79": 0.0,
                           "avar:VERTICAL SPEED:m/s": 10.0 } },
    { "at": 12.0, "ramp": { "avar:INDICATED ALTITUDE:m": 412.0, "token:83": 40.0 }, "over": 10.0 },
    { "at": 13.0, "key": 65570, "description": "gear up" },
    { "at": 13.0, "key": "0x1101D" }, { "at": 13.0, "key": "0x1111D" },
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
                           "token:932": 1.5, "token:933": 0.5, "token:79": 30.0, "token:77": 3.0,
                           "token:937": 5.0, "token:926": 20.0, "token:69": -8.0 } },
    { "at": 26.0, "ramp": { "token:83": 400.0 }, "over": 15.0 },
    { "at": 26.0, "ramp": { "avar:INDICATED ALTITUDE:m": 499.0 }, "over": 30.0 },
    { "at": 41.0, "set": { "token:83": 40.0 } },
    { "at": 41.0, "ramp": { "token:83": 400.0 }, "over": 15.0 },
    { "at": 56.0, "set": { "avar:VERTICAL SPEED:m/s": -1.1, "avar:AIRSPEED INDICATED:kph": 100.0,
                           "token:83": 200.0, "token:932": 0.0, "token:933": -0.4,
                           "token:79": 0.0, "token:77": -2.0, "token:937": 0.0,
                           "token:926": 0.0, "token:69": 0.0 } },
    { "at": 56.0, "ramp": { "avar:INDICATED ALTITUDE:m": 462.0 }, "over": 34.0 },
    { "at": 70.0, "expect": { "lvar:zelvan_speed_needle": 25.0, "lvar:zelvan_climb_needle": 57.8,
                              "lvar:zelvan_compass_bank": 0.5 }, "tol": 1e-9 },
    { "at": 70.0, "expect": { "lvar:ovi_bank_indicator": 0.5, "lvar:ovi_pitch_scale_2": 0.48889,
                              "lvar:ovi_turnkey_needle": 0.5, "lvar:zelvan_radio_main": 5.0,
                              "lvar:zelvan_radio_01": 5.0, "lvar:zelvan_radio_001": 0.0 },
      "tol": 1e-5 },
    { "at": 74.0, "key": 65570, "description": "gear down" },
    { "at": 75.0, "key": 65758, "description": "flaps half" },
    { "at": 78.0, "key": 65589, "description": "spoilers out" },
    { "at": 79.0, "key": 65758, "description": "flaps full" },
    { "at": 81.0, "expect": { "lvar:zelvan_gear": 1.0, "lvar:zelvan_flaps": 1.0,
                              "lvar:zelvan_spoilers": 1.0 }, "tol": 1e-4 },
    { "at": 84.0, "set": { "token:60": 1.0, "token:61": 0.0, "token:79": 3.0,
                           "avar:AIRSPEED INDICATED:kph": 0.0, "avar:VERTICAL SPEED:m/s": 0.0 } },
    { "at": 84.5, "key": 65589, "description": "spoilers in" },
    { "at": 85.0, "key": 65595, "description": "flaps up" },
    { "at": 86.0, "mouse": { "x": 30, "y": 180 }, "description": "park: level the wings" },
    { "at": 86.3, "ramp": { "token:79": 0.0 }, "over": 1.0 },
    { "at": 89.5, "expect": { "lvar:zelvan_covers": 1.0, "lvar:zelvan_covers_visible": 1.0,
                              "masked:AXIS_AILERONS_SET": 1.0, "masked:AXIS_ELEVATOR_SET": 1.0,
                              "masked:AXIS_RUDDER_SET": 1.0, "lvar:zelvan_spoilers": 0.0,
                              "lvar:zelvan_flaps": 0.0, "lvar:zelvan_gear": 1.0 }, "tol": 1e-4 }
  ]
})json";

std::string Beside(const fs::path& folder, const char* name) {
    std::error_code ec;
    const fs::path p = folder / name;
    return fs::exists(p, ec) ? p.string() : std::string();
}

// An event's time as a reader counts steps: the logged time is the step number times 0.01, whose
// last binary digit shows in its shortest form (5.6000000000000005), so it is put back on the
// step it came from first.
std::string StepTime(const nlohmann::json& t) {
    const double seconds = t.is_number() ? std::round(t.get<double>() * 100.0) / 100.0 : 0.0;
    char text[32];
    return std::string(text, FormatShortest(seconds, text, sizeof text));
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
    std::vector<std::string> locks;
    std::ifstream in(eventsPath);
    std::string line;
    while (std::getline(in, line)) {
        const auto e = nlohmann::json::parse(line, nullptr, false);
        if (e.is_discarded()) {
            continue;
        }
        const std::string type = e.value("type", "");
        ++kinds[type];
        const std::string t = StepTime(e["t"]);
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
        } else if (type == "mask") {
            locks.push_back("t=" + t + " " + e.value("event", "") +
                            (e.value("masked", false) ? " withheld" : " free"));
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
    PrintHandleReadings(tracePath,
                        {{11.0, "on the ground, rolling"},
                         {20.0, "climbing, gear up"},
                         {77.0, "approach, gear down, flaps half"},
                         {82.0, "final, spoilers out, flaps full"},
                         {86.0, "landed, resting on a wing"},
                         {90.0, "parked"}},
                        out);
    out << "  control locks:\n";
    for (const std::string& l : locks) {
        out << "    " << l << "\n";
    }
    out << "  diagnostics: " << diagnostics.size() << "\n";
    for (const std::string& d : diagnostics) {
        out << "    " << d << "\n";
    }
    const fs::path ini = fs::path(settingsDir) / "PelmoraGrp" / "zelvan" / "config.ini";
    PrintBatteries(ini.string(), out);
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
