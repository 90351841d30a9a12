#pragma once

#include "Bench/Flight/Runner.h"
#include "Bench/Flight/Scenario.h"

#include <functional>
#include <string>
#include <vector>

namespace bench::web {

struct ServeOptions {
    std::string host = "127.0.0.1";
    int port = 8071;
};

// The host values the page receives: what its header shows a pilot (the host's clock, on the
// ground or not, altitude, airspeed) and the bank, then every other token or aircraft variable
// the scenario sets, in the order it first names them (at most 16 in all), for its details.
std::vector<ValueName> StatusValues(const Scenario& scenario);

// `serve`: flies the scenario paced in wall-clock time while the cockpit page follows and steers
// it, and goes on flying after the scenario's end until the process is interrupted (SIGINT or
// SIGTERM). Prints the page's address on standard output once it listens. Returns the run's
// exit status; kBadInput when the address cannot be bound.
int Serve(const Scenario& scenario, RunOptions options, const ServeOptions& serve);

// The same for any flight: `fly` flies it with the options it is handed (the page's live link
// among them), as a replay of a recorded flight does; `status` names the host values the page
// receives.
int Serve(const std::vector<ValueName>& status, RunOptions options, const ServeOptions& serve,
          const std::function<RunResult(const RunOptions&)>& fly);

} // namespace bench::web
