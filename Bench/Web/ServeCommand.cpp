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

extern "C" void OnInterrupt(int) {
    interrupted.store(true);
}

// Puts the signal handlers back as they were when the flight ends.
class InterruptHandlers {
public:
    InterruptHandlers() {
        interrupted = false;
        oldInt = std::signal(SIGINT, &OnInterrupt);
        oldTerm = std::signal(SIGTERM, &OnInterrupt);
    }
    ~InterruptHandlers() {
        std::signal(SIGINT, oldInt);
        std::signal(SIGTERM, oldTerm);
    }
    InterruptHandlers(const InterruptHandlers&) = delete;
    InterruptHandlers& operator=(const InterruptHandlers&) = delete;

private:
    void (*oldInt)(int) = SIG_DFL;
    void (*oldTerm)(int) = SIG_DFL;
};

} // namespace

std::vector<ValueName> StatusValues(const Scenario& scenario) {
    constexpr std::size_t kMost = 12;
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
    for (const char* name :
         {"avar:AIRSPEED INDICATED:kph", "avar:INDICATED ALTITUDE:m", "token:79"}) {
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
    const InterruptHandlers handlers;
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
