#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace bench::web {

// One service-panel element as the page needs it: what its callback returned, whether it is
// hidden, the text it wrote.
struct PanelElementState {
    double value = 0.0;
    bool hidden = false;
    std::string text;
    bool operator==(const PanelElementState&) const = default;
};

// What the page shows of the flight at one moment. Named variables keep the host's order (by
// id), so that a newer frame only ever adds names at the end.
struct LiveFrame {
    std::uint64_t sequence = 0; // 0: nothing flown yet
    double t = 0.0;
    bool paused = false;
    bool hostSound = true;
    std::vector<std::pair<std::string, double>> namedVars;
    std::vector<PanelElementState> panel;
    std::uint64_t panelVersion = 0; // moves on whenever the panel's elements change
    std::vector<std::pair<std::string, double>> hostValues;
    // The latest diagnostics; `diagnosticCount` counts every one since the start.
    std::vector<std::string> diagnostics;
    std::uint64_t diagnosticCount = 0;
};

// The JSON object the page receives: from `before` (what it already has; a default frame for a
// new page) to `now`, only what changed, always with the sequence, time and pause state.
std::string FrameChanges(const LiveFrame& before, const LiveFrame& now);

} // namespace bench::web
