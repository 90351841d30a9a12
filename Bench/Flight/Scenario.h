#pragma once

#include "Bench/Output/PanelFrame.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// The host's frame: host time moves on a frame at a time and each due module timer fires once
// in it. 10 ms keeps the flights, traces and tests as they were; the module's own time step is
// 55 ms, which replayed flights take so that the module's time runs with the flight's.
inline constexpr int kDefaultFrameMs = 10;
inline constexpr int kModuleStepFrameMs = 55;
inline constexpr int kLeastFrameMs = 10;
inline constexpr int kMostFrameMs = 100;

// A host value as scenarios name it: "token:N", "avar:NAME:UNIT[:INDEX]" or "lvar:NAME";
// "masked:EVENT", 1 while a SimConnect client withholds the simulator event EVENT; and what the
// panel drew: "element:N", "element:N:hidden", "element:N:text". The last two kinds are only
// expected, never set.
struct ValueName {
    enum class Kind { Token, AircraftVar, NamedVar, Masked, Element };
    Kind kind = Kind::Token;
    std::uint32_t token = 0; // or the element's number
    ElementPart part = ElementPart::Value;
    std::string name;
    std::string unit;
    std::uint32_t index = 0;
    std::string text; // as written
};

// Parses a value name; the error text says what is wrong.
std::optional<ValueName> ParseValueName(const std::string& text, std::string& error);

struct Action {
    enum class Kind {
        Load,
        Unload,
        SystemEvent,
        Key,
        Set,
        Ramp,
        Mouse,
        Expect,
        SimConnectException,
        Settings,
        Snapshot,
    };
    Kind kind = Kind::Load;
    double at = 0.0;
    std::size_t index = 0;   // position in the file
    std::string eventName;   // or the settings text, or the snapshot's name
    std::uint32_t id = 0;    // key id, event data, exception code
    std::uint32_t value = 0; // key value
    std::vector<std::pair<ValueName, double>> values;
    double over = 0.0;
    double tolerance = 1e-9;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t flags = 0x20000000u;
};

struct Scenario {
    std::string file = "(built-in flight)";
    std::string description;
    double duration = 0.0;
    std::uint16_t hostBuild = 61355;
    bool hostWindow = true;
    bool simconnect = true;
    std::string simconnectMissingEntry;
    bool simconnectOpenFails = false;
    bool soundBank = true;
    // A file of the sound folder that holds a damaged RIFF header instead of its sound.
    std::string soundBankDamaged;
    std::optional<std::string> settings;
    std::vector<std::pair<ValueName, double>> host;
    std::vector<Action> actions;
    bool hasLoad = false;
    std::optional<int> frameMs; // "frame_ms": the host's frame, 10 to 100 ms
};

// Thrown for a scenario the bench cannot run; the text names the file, the action and the fault.
struct ScenarioError {
    std::string message;
};

Scenario ParseScenario(const std::string& jsonText, const std::string& fileName);
Scenario LoadScenarioFile(const std::string& path);

} // namespace bench
