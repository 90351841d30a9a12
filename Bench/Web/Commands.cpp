#include "Bench/Web/Commands.h"

#include "Bench/Output/PanelPicture.h"
#include "Lib/FSX/GaugeAbi.h"

#include <charconv>
#include <optional>

namespace bench::web {

namespace {

Command Refuse(int status, std::string why) {
    Command c;
    c.status = status;
    c.error = std::move(why);
    return c;
}

const std::string* Param(const Params& params, const std::string& name) {
    // A name given twice is ambiguous: which one the page meant is not ours to guess.
    if (params.count(name) != 1) {
        return nullptr;
    }
    return &params.find(name)->second;
}

// A whole number written in decimal (optionally negative) or as 0x hex, and nothing else.
std::optional<std::int64_t> Integer(const std::string& text) {
    if (text.empty() || text.size() > 20) {
        return std::nullopt;
    }
    std::int64_t v = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, v, hex ? 16 : 10);
    if (ec != std::errc() || end != last) {
        return std::nullopt;
    }
    return v;
}

} // namespace

Command KeyCommand(const Params& params) {
    const std::string* idText = Param(params, "id");
    if (idText == nullptr) {
        return Refuse(400, "one key id is needed (id=...)");
    }
    const std::optional<std::int64_t> id = Integer(*idText);
    if (!id) {
        return Refuse(400, "the key id is no number");
    }
    if (*id < kFirstCustomKey || *id > kLastCustomKey) {
        return Refuse(403, "only the cockpit's custom key events (0x11000 to 0x1FFFF) are sent");
    }
    std::int64_t value = 0;
    if (params.count("value") > 0) {
        const std::string* valueText = Param(params, "value");
        const std::optional<std::int64_t> v = valueText ? Integer(*valueText) : std::nullopt;
        if (!v || *v < INT32_MIN || *v > UINT32_MAX) {
            return Refuse(400, "the key value is no 32-bit number");
        }
        value = *v;
    }
    Command c;
    c.action.kind = Action::Kind::Key;
    c.action.id = static_cast<std::uint32_t>(*id);
    c.action.value = static_cast<std::uint32_t>(value);
    return c;
}

Command MouseCommand(const Params& params) {
    const std::string* xText = Param(params, "x");
    const std::string* yText = Param(params, "y");
    const std::optional<std::int64_t> xRead = xText ? Integer(*xText) : std::nullopt;
    const std::optional<std::int64_t> yRead = yText ? Integer(*yText) : std::nullopt;
    if (!xRead.has_value() || !yRead.has_value()) {
        return Refuse(400, "a mouse event needs whole-number x and y");
    }
    const std::int64_t x = xRead.value();
    const std::int64_t y = yRead.value();
    if (x < 0 || x >= kPanelWidth || y < 0 || y >= kPanelHeight) {
        return Refuse(400, "the point is not on the 850 x 432 panel");
    }
    std::uint32_t flags = fsx::kMouseLeftSingle;
    if (params.count("button") > 0) {
        const std::string* button = Param(params, "button");
        if (button != nullptr && *button == "wheel-up") {
            flags = fsx::kMouseWheelUp;
        } else if (button != nullptr && *button == "wheel-down") {
            flags = fsx::kMouseWheelDown;
        } else if (button == nullptr || *button != "click") {
            return Refuse(400, "button is click, wheel-up or wheel-down");
        }
    }
    Command c;
    c.action.kind = Action::Kind::Mouse;
    c.action.x = static_cast<std::int32_t>(x);
    c.action.y = static_cast<std::int32_t>(y);
    c.action.flags = flags;
    return c;
}

Command HostCommand(const Params& params) {
    const std::string* event = Param(params, "event");
    if (event == nullptr) {
        return Refuse(400, "one host event is needed (event=...)");
    }
    Command c;
    c.action.kind = Action::Kind::SystemEvent;
    c.action.eventName = *event;
    if (*event == "SimStart") {
        return params.count("data") == 0 ? c : Refuse(400, "SimStart carries no data");
    }
    if (*event != "Pause" && *event != "Sound") {
        return Refuse(403, "the page sends only Pause, Sound and SimStart");
    }
    const std::string* data = Param(params, "data");
    if (data == nullptr || (*data != "0" && *data != "1")) {
        return Refuse(400, *event + " needs data=1 or data=0");
    }
    c.action.id = *data == "1" ? 1 : 0;
    return c;
}

} // namespace bench::web
