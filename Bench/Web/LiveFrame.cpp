#include "Bench/Web/LiveFrame.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace bench::web {

namespace {

// Keeps the order the frame gives, so the page lists the host values in the scenario's
// order.
using Json = nlohmann::ordered_json;

// JSON has no NaN or infinity; a variable that holds one is sent as null.
Json Number(double v) {
    return std::isfinite(v) ? Json(v) : Json(nullptr);
}

bool Same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

Json ChangedValues(const std::vector<std::pair<std::string, double>>& before,
                   const std::vector<std::pair<std::string, double>>& now) {
    Json out = Json::object();
    for (std::size_t i = 0; i < now.size(); ++i) {
        const bool known = i < before.size() && before[i].first == now[i].first;
        if (!known || !Same(before[i].second, now[i].second)) {
            out[now[i].first] = Number(now[i].second);
        }
    }
    return out;
}

} // namespace

std::string FrameChanges(const LiveFrame& before, const LiveFrame& now) {
    Json out;
    out["seq"] = now.sequence;
    out["t"] = now.t;
    out["paused"] = now.paused;
    out["sound"] = now.hostSound;
    out["lvars"] = ChangedValues(before.namedVars, now.namedVars);
    if (auto host = ChangedValues(before.hostValues, now.hostValues); !host.empty()) {
        out["host"] = std::move(host);
    }
    if (before.panelVersion != now.panelVersion || before.panel != now.panel) {
        Json panel = Json::array();
        for (const PanelElementState& e : now.panel) {
            panel.push_back({{"value", Number(e.value)}, {"hidden", e.hidden}, {"text", e.text}});
        }
        out["panel"] = std::move(panel);
        out["panelVersion"] = now.panelVersion;
    }
    // Diagnostics the page has not seen, as far as the frame still holds them.
    if (now.diagnosticCount > before.diagnosticCount) {
        const std::uint64_t fresh = now.diagnosticCount - before.diagnosticCount;
        const std::size_t held = now.diagnostics.size();
        const std::size_t from = fresh >= held ? 0 : held - static_cast<std::size_t>(fresh);
        Json diag = Json::array();
        for (std::size_t i = from; i < held; ++i) {
            diag.push_back(now.diagnostics[i]);
        }
        out["diag"] = std::move(diag);
    }
    // Texts that are not valid UTF-8 (a module's diagnostic) are sent with replacements.
    return out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace bench::web
