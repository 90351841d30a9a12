#include "Bench/Web/ServeCommand.h"

#include "Bench/Web/CockpitServer.h"
#include "Bench/Web/LiveState.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <utility>

namespace bench::web {

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

// The first SIGINT or SIGTERM ends the flight at its next step and the bench exits as usual; a
// second one, should the first not be enough, ends the process at once.
extern "C" void OnInterrupt(int signal) {
    if (interrupted.exchange(true)) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

// Installed before the page's address is printed and kept until the process ends: a signal that
// comes after the flight has ended finds the flag, not the default action, which would end the
// process before it has said how the flight ended.
void CatchInterrupts() {
    interrupted = false;
    std::signal(SIGINT, &OnInterrupt);
    std::signal(SIGTERM, &OnInterrupt);
}

} // namespace

std::vector<ValueName> StatusValues(const Scenario& scenario) {
    constexpr std::size_t kMost = 16;
    std::vector<ValueName> values;
    auto add = [&values](const ValueName& v) {
        if (values.size() >= kMost ||
            (v.kind != ValueName::Kind::Token && v.kind != ValueName::Kind::AircraftVar)) {
            return;
        }
        for (const ValueName& known : values) {
            if (known.text == v.text) {
                return;
            }
        }
        values.push_back(v);
    };
    for (const char* name : {"token:604", "token:60", "avar:INDICATED ALTITUDE:m",
                             "avar:AIRSPEED INDICATED:kph", "token:79"}) {
        std::string error;
        if (const auto v = ParseValueName(name, error)) {
            add(*v);
        }
    }
    for (const auto& [name, value] : scenario.host) {
        add(name);
    }
    for (const Action& a : scenario.actions) {
        if (a.kind == Action::Kind::Set || a.kind == Action::Kind::Ramp) {
            for (const auto& [name, value] : a.values) {
                add(name);
            }
        }
    }
    return values;
}

int Serve(const Scenario& scenario, RunOptions options, const ServeOptions& serve) {
    return Serve(StatusValues(scenario), std::move(options), serve,
                 [&scenario](const RunOptions& o) { return RunScenario(scenario, o); });
}

int Serve(const std::vector<ValueName>& status, RunOptions options, const ServeOptions& serve,
          const std::function<RunResult(const RunOptions&)>& fly) {
    CatchInterrupts();
    LiveState state(status, &interrupted);
    CockpitServer server(state);
    std::string error;
    if (!server.Start(serve.host, serve.port, error)) {
        std::cerr << error << "\n";
        return kBadInput;
    }
    std::cout << "the cockpit is at http://" << serve.host << ":" << server.Port()
              << "/ (Ctrl-C ends the flight)" << std::endl;
    options.live = &state;
    const RunResult result = fly(options);
    state.Close();
    server.Stop();
    if (!result.error.empty()) {
        std::cerr << result.error << "\n";
    }
    if (options.stats) {
        PrintStats(result.stats, std::cout);
    }
    return result.status;
}

} // namespace bench::web
