#pragma once

#include "Bench/Flight/Scenario.h"

#include <cstdint>
#include <map>
#include <string>

namespace bench::web {

// The page's requests, checked before anything reaches the flight: a key event of the cockpit
// model's own range, a mouse event on the service panel, or one of the host events the page
// offers. Anything else is refused with the HTTP status and the reason.
using Params = std::multimap<std::string, std::string>;

struct Command {
    int status = 200; // 200: `action` is good to queue; otherwise the refusal's status
    std::string error;
    Action action;
};

// The custom key events the cockpit model's click spots send.
constexpr std::uint32_t kFirstCustomKey = 0x11000;
constexpr std::uint32_t kLastCustomKey = 0x1FFFF;

// "id" (decimal or 0x hex) in the custom range, optional "value" (a 32-bit number, may be
// negative).
Command KeyCommand(const Params& params);
// "x" and "y" on the 850 x 432 panel, "button": "click" (the default), "wheel-up" or
// "wheel-down".
Command MouseCommand(const Params& params);
// "event": "Pause" with "data" 1 or 0, "Sound" with "data" 1 (on) or 0 (off), or "SimStart".
Command HostCommand(const Params& params);

} // namespace bench::web
