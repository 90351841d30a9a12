#pragma once

#include "Bench/Flight/Scenario.h"

#include <string_view>
#include <vector>

namespace bench {

class HostServices;

// A flight watched and steered from outside while it flies (the cockpit page of `serve`). The
// runner paces such a flight in wall-clock time, asks the link for the commands that came in at
// the start of every step, shows it every finished step and keeps flying past the scenario's end
// for as long as the link wants. All calls come from the flight's own thread.
class LiveLink {
public:
    virtual ~LiveLink() = default;
    // Appends the commands (key, mouse and system-event actions) to carry out in this step.
    virtual void TakeCommands(std::vector<Action>& into) = 0;
    // The step at simulated time t is done; the host holds what the module left in it.
    virtual void Stepped(double t, bool paused, HostServices& host) = 0;
    virtual void Diagnostic(std::string_view text) = 0;
    // False ends the flight now; scenarioOver says the scenario's own steps are all flown.
    virtual bool KeepFlying(bool scenarioOver) = 0;
};

} // namespace bench
