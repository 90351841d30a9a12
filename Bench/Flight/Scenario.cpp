#include "Bench/Flight/Scenario.h"

#include <nlohmann/json.hpp>

#include <climits>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace bench {

using nlohmann::json;

namespace {

class Parser {
public:
    Parser(const std::string& fileName) : file(fileName) {}

    // One message on one line: control characters from the file (a name with a line break)
    // are written as escapes.
    [[noreturn]] void Fail(const std::string& where, const std::string& what) const {
        std::string message;
        for (const char c : file + ": " + where + ": " + what) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02X", byte);
                message += escape;
            } else {
                message += c;
            }
        }
        throw ScenarioError{message};
    }

    // A pixel coordinate of the panel: a whole number that fits the host's 32-bit field.
    std::int32_t Pixel(const json& j, const std::string& where, const char* field) const {
        const double v = Number(j, where, field);
        if (v < -2147483648.0 || v > 2147483647.0) {
            Fail(where, std::string("\"") + field + "\" is beyond the panel's coordinates");
        }
        return static_cast<std::int32_t>(v);
    }

    double Number(const json& j, const std::string& where, const char* field) const {
        if (!j.is_number()) {
            Fail(where, std::string("\"") + field + "\" must be a number");
        }
        const double v = j.get<double>();
        if (!std::isfinite(v)) {
            Fail(where, std::string("\"") + field + "\" must be finite");
        }
        return v;
    }

    bool Bool(const json& j, const std::string& where, const char* field) const {
        if (!j.is_boolean()) {
            Fail(where, std::string("\"") + field + "\" must be true or false");
        }
        return j.get<bool>();
    }

    std::uint32_t Id(const json& j, const std::string& where, const char* field) const {
        if (j.is_number_unsigned() || (j.is_number_integer() && j.get<std::int64_t>() >= 0)) {
            const auto v = j.get<std::uint64_t>();
            if (v <= 0xFFFFFFFFull) {
                return static_cast<std::uint32_t>(v);
            }
        } else if (j.is_string()) {
            const std::string s = j.get<std::string>();
            if (s.size() > 2 && s.size() <= 10 &&
                (s.rfind("0x", 0) == 0 || s.rfind("0X", 0) == 0) &&
                s.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos) {
                return static_cast<std::uint32_t>(std::stoul(s.substr(2), nullptr, 16));
            }
        }
        Fail(where, std::string("\"") + field +
                        "\" must be a whole number from 0 to 4294967295 or a string \"0x...\"");
    }

    std::vector<std::pair<ValueName, double>> Values(const json& j, const std::string& where,
                                                     const char* field) const {
        if (!j.is_object() || j.empty()) {
            Fail(where, std::string("\"") + field + "\" must be an object of value names");
        }
        std::vector<std::pair<ValueName, double>> values;
        for (const auto& [name, value] : j.items()) {
            std::string error;
            auto parsed = ParseValueName(name, error);
            if (!parsed) {
                Fail(where, error);
            }
            if (parsed->kind == ValueName::Kind::Masked && std::string(field) != "expect") {
                Fail(where,
                     "\"" + name + "\" is the simulator's own state: it can only be expected");
            }
            values.emplace_back(std::move(*parsed), Number(value, where, name.c_str()));
        }
        return values;
    }

    // What the panel drew is the module's doing; a scenario only expects it.
    std::vector<std::pair<ValueName, double>>
    Settable(std::vector<std::pair<ValueName, double>> values, const std::string& where) const {
        for (const auto& [name, value] : values) {
            if (name.kind == ValueName::Kind::Element) {
                Fail(where, "\"" + name.text + "\": what the panel drew can only be expected");
            }
        }
        return values;
    }

    // The picture becomes DIR/NAME.png: a plain file name, never a path.
    static bool IsPictureName(const std::string& name) {
        return !name.empty() && name.size() <= 100 && name[0] != '.' &&
               name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                      "0123456789-_.") == std::string::npos;
    }

    Action ParseAction(const json& j, std::size_t index) const {
        const std::string where = "action " + std::to_string(index);
        if (!j.is_object()) {
            Fail(where, "must be an object");
        }
        Action a;
        a.index = index;
        if (!j.contains("at")) {
            Fail(where, "has no \"at\"");
        }
        a.at = Number(j["at"], where, "at");
        if (a.at < 0.0) {
            Fail(where, "\"at\" must not be negative");
        }
        static const char* kKinds[] = {
            "load",  "unload", "system_event",         "key",      "set",     "ramp",
            "mouse", "expect", "simconnect_exception", "settings", "snapshot"};
        int found = -1;
        for (int k = 0; k < static_cast<int>(std::size(kKinds)); ++k) {
            if (j.contains(kKinds[k])) {
                if (found >= 0) {
                    Fail(where, std::string("has both \"") + kKinds[found] + "\" and \"" +
                                    kKinds[k] + "\"");
                }
                found = k;
            }
        }
        if (found < 0) {
            std::string keys;
            for (const auto& [key, value] : j.items()) {
                if (key != "at") {
                    keys += (keys.empty() ? "" : ", ") + ("\"" + key + "\"");
                }
            }
            Fail(where, "unknown action (" + (keys.empty() ? std::string("no kind") : keys) + ")");
        }
        a.kind = static_cast<Action::Kind>(found);
        const json& v = j[kKinds[found]];
        switch (a.kind) {
        case Action::Kind::Load:
        case Action::Kind::Unload:
            if (!Bool(v, where, kKinds[found])) {
                Fail(where, std::string("\"") + kKinds[found] + "\" must be true");
            }
            break;
        case Action::Kind::SystemEvent: {
            static const char* kEvents[] = {"SimStart", "Pause", "Sound",          "View",
                                            "Sim",      "4sec",  "PositionChanged"};
            if (!v.is_string()) {
                Fail(where, "\"system_event\" must be a name");
            }
            a.eventName = v.get<std::string>();
            bool known = false;
            for (const char* e : kEvents) {
                known = known || a.eventName == e;
            }
            if (!known) {
                Fail(where, "unknown system event \"" + a.eventName + "\"");
            }
            if (j.contains("data")) {
                a.id = Id(j["data"], where, "data");
            }
            break;
        }
        case Action::Kind::Key:
            a.id = Id(v, where, "key");
            if (j.contains("value")) {
                const json& given = j["value"];
                // Axis events carry negative values: passed as their 32-bit two's complement.
                if (given.is_number_integer() && given.get<std::int64_t>() < 0 &&
                    given.get<std::int64_t>() >= INT32_MIN) {
                    a.value = static_cast<std::uint32_t>(
                        static_cast<std::int32_t>(given.get<std::int64_t>()));
                } else {
                    a.value = Id(given, where, "value");
                }
            }
            break;
        case Action::Kind::Set:
            a.values = Settable(Values(v, where, "set"), where);
            break;
        case Action::Kind::Ramp:
            a.values = Settable(Values(v, where, "ramp"), where);
            if (!j.contains("over")) {
                Fail(where, "\"ramp\" needs \"over\"");
            }
            a.over = Number(j["over"], where, "over");
            if (a.over < 0.0) {
                Fail(where, "\"over\" must not be negative");
            }
            break;
        case Action::Kind::Mouse:
            if (!v.is_object() || !v.contains("x") || !v.contains("y")) {
                Fail(where, "\"mouse\" needs \"x\" and \"y\"");
            }
            a.x = Pixel(v["x"], where, "x");
            a.y = Pixel(v["y"], where, "y");
            if (v.contains("flags")) {
                a.flags = Id(v["flags"], where, "flags");
            }
            break;
        case Action::Kind::Expect:
            a.values = Values(v, where, "expect");
            if (j.contains("tol")) {
                a.tolerance = Number(j["tol"], where, "tol");
                if (a.tolerance < 0.0) {
                    Fail(where, "\"tol\" must not be negative");
                }
            }
            break;
        case Action::Kind::SimConnectException:
            a.id = Id(v, where, "simconnect_exception");
            break;
        case Action::Kind::Settings:
            if (!v.is_string()) {
                Fail(where, "\"settings\" must be the text of config.ini");
            }
            a.eventName = v.get<std::string>();
            break;
        case Action::Kind::Snapshot:
            if (!v.is_string() || !IsPictureName(v.get<std::string>())) {
                Fail(where, "\"snapshot\" must be a picture name of letters, digits, '-', '_' "
                            "and '.', not starting with '.'");
            }
            a.eventName = v.get<std::string>();
            break;
        }
        return a;
    }

    Scenario Parse(const std::string& text) const {
        json root;
        try {
            root = json::parse(text);
        } catch (const json::exception& e) {
            // A syntax error, or a number beyond a double's range ("out_of_range").
            Fail("not valid JSON", e.what());
        }
        if (!root.is_object()) {
            Fail("top level", "must be an object");
        }
        Scenario s;
        s.file = file;
        static const char* kFields[] = {"description",
                                        "duration",
                                        "frame_ms",
                                        "host_build",
                                        "host_window",
                                        "simconnect",
                                        "simconnect_missing_entry",
                                        "simconnect_open_fails",
                                        "sound_bank",
                                        "sound_bank_damaged",
                                        "settings",
                                        "host",
                                        "actions"};
        for (const auto& [key, value] : root.items()) {
            bool known = false;
            for (const char* f : kFields) {
                known = known || key == f;
            }
            if (!known) {
                Fail("field \"" + key + "\"", "unknown field");
            }
        }
        if (root.contains("description")) {
            if (!root["description"].is_string()) {
                Fail("field \"description\"", "must be a text");
            }
            s.description = root["description"].get<std::string>();
        }
        if (root.contains("frame_ms")) {
            const json& f = root["frame_ms"];
            if (!f.is_number_integer() || f.get<std::int64_t>() < kLeastFrameMs ||
                f.get<std::int64_t>() > kMostFrameMs) {
                Fail("field \"frame_ms\"", "must be a whole number of ms from " +
                                               std::to_string(kLeastFrameMs) + " to " +
                                               std::to_string(kMostFrameMs));
            }
            s.frameMs = static_cast<int>(f.get<std::int64_t>());
        }
        if (root.contains("host_build")) {
            const std::uint32_t b = Id(root["host_build"], "field \"host_build\"", "host_build");
            if (b > 0xFFFF) {
                Fail("field \"host_build\"", "must be at most 65535");
            }
            s.hostBuild = static_cast<std::uint16_t>(b);
        }
        if (root.contains("host_window")) {
            s.hostWindow = Bool(root["host_window"], "field \"host_window\"", "host_window");
        }
        if (root.contains("simconnect")) {
            s.simconnect = Bool(root["simconnect"], "field \"simconnect\"", "simconnect");
        }
        if (root.contains("simconnect_missing_entry")) {
            const json& m = root["simconnect_missing_entry"];
            if (!m.is_string() || m.get<std::string>().rfind("SimConnect_", 0) != 0) {
                Fail("field \"simconnect_missing_entry\"",
                     "must name an entry point, e.g. \"SimConnect_Text\"");
            }
            s.simconnectMissingEntry = m.get<std::string>();
        }
        if (root.contains("simconnect_open_fails")) {
            s.simconnectOpenFails =
                Bool(root["simconnect_open_fails"], "field \"simconnect_open_fails\"",
                     "simconnect_open_fails");
        }
        if (root.contains("sound_bank")) {
            s.soundBank = Bool(root["sound_bank"], "field \"sound_bank\"", "sound_bank");
        }
        if (root.contains("sound_bank_damaged")) {
            const json& d = root["sound_bank_damaged"];
            if (!d.is_string() || d.get<std::string>().empty() ||
                d.get<std::string>().find_first_of("/\\") != std::string::npos) {
                Fail("field \"sound_bank_damaged\"", "must name a file of the sound folder");
            }
            s.soundBankDamaged = d.get<std::string>();
        }
        if (root.contains("settings")) {
            if (!root["settings"].is_string()) {
                Fail("field \"settings\"", "must be the text of config.ini");
            }
            s.settings = root["settings"].get<std::string>();
        }
        if (root.contains("host")) {
            s.host = Settable(Values(root["host"], "field \"host\"", "host"), "field \"host\"");
        }
        if (root.contains("actions")) {
            const json& actions = root["actions"];
            if (!actions.is_array()) {
                Fail("field \"actions\"", "must be a list");
            }
            for (std::size_t i = 0; i < actions.size(); ++i) {
                s.actions.push_back(ParseAction(actions[i], i));
            }
        }
        double last = 0.0;
        for (const Action& a : s.actions) {
            last = std::max(last, a.at);
            s.hasLoad = s.hasLoad || a.kind == Action::Kind::Load;
        }
        s.duration = last + 1.0;
        if (root.contains("duration")) {
            s.duration = Number(root["duration"], "field \"duration\"", "duration");
            if (s.duration < 0.0) {
                Fail("field \"duration\"", "must not be negative");
            }
        }
        CheckLoadSequence(s);
        return s;
    }

    // Loads and unloads must alternate in the order the bench applies them.
    void CheckLoadSequence(const Scenario& s) const {
        std::vector<const Action*> order;
        for (const Action& a : s.actions) {
            order.push_back(&a);
        }
        std::stable_sort(order.begin(), order.end(), [](const Action* l, const Action* r) {
            const auto sl = std::llround(std::ceil(l->at * 100.0 - 1e-6));
            const auto sr = std::llround(std::ceil(r->at * 100.0 - 1e-6));
            return sl != sr ? sl < sr : l->index < r->index;
        });
        bool loaded = !s.hasLoad;
        for (const Action* a : order) {
            const std::string where = "action " + std::to_string(a->index);
            if (a->kind == Action::Kind::Load) {
                if (loaded) {
                    Fail(where, "\"load\" while the module is loaded");
                }
                loaded = true;
            } else if (a->kind == Action::Kind::Unload) {
                if (!loaded) {
                    Fail(where, "\"unload\" while no module is loaded");
                }
                loaded = false;
            }
        }
    }

private:
    std::string file;
};

} // namespace

Scenario ParseScenario(const std::string& jsonText, const std::string& fileName) {
    return Parser(fileName).Parse(jsonText);
}

Scenario LoadScenarioFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw ScenarioError{path + ": cannot be read"};
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseScenario(text.str(), path);
}

} // namespace bench
