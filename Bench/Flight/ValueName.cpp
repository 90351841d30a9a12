// The names by which scenarios set, ramp and expect the host's values.
#include "Bench/Flight/Scenario.h"

#include <sstream>

namespace bench {

namespace {

bool ParseUnsigned(const std::string& text, std::uint32_t& out) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const unsigned long long v = std::stoull(text);
    if (v > 0xFFFFFFFFull) {
        return false;
    }
    out = static_cast<std::uint32_t>(v);
    return true;
}

} // namespace

std::optional<ValueName> ParseValueName(const std::string& text, std::string& error) {
    ValueName v;
    v.text = text;
    if (text.rfind("token:", 0) == 0) {
        v.kind = ValueName::Kind::Token;
        if (!ParseUnsigned(text.substr(6), v.token) || v.token < 1 || v.token > 1030) {
            error = "\"" + text + "\": a token must be a whole number from 1 to 1030";
            return std::nullopt;
        }
        return v;
    }
    if (text.rfind("lvar:", 0) == 0 && text.size() > 5) {
        v.kind = ValueName::Kind::NamedVar;
        v.name = text.substr(5);
        return v;
    }
    if (text.rfind("avar:", 0) == 0) {
        v.kind = ValueName::Kind::AircraftVar;
        std::vector<std::string> parts;
        std::stringstream in(text.substr(5));
        std::string part;
        while (std::getline(in, part, ':')) {
            parts.push_back(part);
        }
        if (parts.size() == 3 && !ParseUnsigned(parts[2], v.index)) {
            error = "\"" + text + "\": the index must be a whole number";
            return std::nullopt;
        }
        if ((parts.size() != 2 && parts.size() != 3) || parts[0].empty() || parts[1].empty()) {
            error =
                "\"" + text + "\": an aircraft variable is avar:NAME:UNIT or avar:NAME:UNIT:INDEX";
            return std::nullopt;
        }
        v.name = parts[0];
        v.unit = parts[1];
        return v;
    }
    if (text.rfind("masked:", 0) == 0 && text.size() > 7) {
        v.kind = ValueName::Kind::Masked;
        v.name = text.substr(7);
        return v;
    }
    if (text.rfind("element:", 0) == 0) {
        v.kind = ValueName::Kind::Element;
        std::string number = text.substr(8);
        if (const auto colon = number.find(':'); colon != std::string::npos) {
            const std::string part = number.substr(colon + 1);
            number.resize(colon);
            if (part == "hidden") {
                v.part = ElementPart::Hidden;
            } else if (part == "text") {
                v.part = ElementPart::Text;
            } else {
                error = "\"" + text + "\": an element value is element:N, element:N:hidden or " +
                        "element:N:text";
                return std::nullopt;
            }
        }
        if (!ParseUnsigned(number, v.token) || v.token < 1 || v.token > 4096) {
            error = "\"" + text + "\": an element number must be a whole number from 1 to 4096";
            return std::nullopt;
        }
        return v;
    }
    error =
        "unknown value name \"" + text +
        "\" (token:N, avar:NAME:UNIT[:INDEX], lvar:NAME, masked:EVENT or element:N[:hidden|:text])";
    return std::nullopt;
}

} // namespace bench
