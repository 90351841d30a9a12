#include "Bench/Web/LiveState.h"

#include "Bench/Host/HostServices.h"

#include <algorithm>
#include <cstring>

namespace bench::web {

using Clock = std::chrono::steady_clock;

LiveState::LiveState(std::vector<ValueName> values, const std::atomic<bool>* stopFlag)
    : stop(stopFlag) {
    for (ValueName& v : values) {
        if (v.kind == ValueName::Kind::Token || v.kind == ValueName::Kind::AircraftVar) {
            hostValues.push_back(std::move(v));
        }
    }
    for (const ValueName& v : hostValues) {
        frame.hostValues.emplace_back(v.text, 0.0);
    }
}

LiveState::Queued LiveState::Submit(Action command) {
    const std::lock_guard<std::mutex> guard(lock);
    if (closed.load()) {
        return Queued::Closed;
    }
    if (inbox.size() >= kInboxLimit) {
        return Queued::Full;
    }
    inbox.push_back(std::move(command));
    return Queued::Accepted;
}

bool LiveState::WaitForFrame(std::uint64_t seen, std::chrono::milliseconds timeout,
                             LiveFrame& out) {
    std::unique_lock<std::mutex> guard(lock);
    if (!published.wait_for(guard, timeout,
                            [&] { return closed.load() || frame.sequence > seen; }) ||
        closed.load()) {
        return false;
    }
    out = frame;
    return true;
}

LiveFrame LiveState::Latest() const {
    const std::lock_guard<std::mutex> guard(lock);
    return frame;
}

PanelFrame LiveState::LatestPanel(std::uint64_t& version) const {
    const std::lock_guard<std::mutex> guard(lock);
    version = frame.panelVersion;
    return panel;
}

void LiveState::Close() {
    {
        const std::lock_guard<std::mutex> guard(lock);
        closed = true;
    }
    published.notify_all();
}

void LiveState::TakeCommands(std::vector<Action>& into) {
    // While a server thread holds the lock the commands wait for the next step: the flight never
    // waits for a thread the system may have put aside.
    const std::unique_lock<std::mutex> guard(lock, std::try_to_lock);
    if (!guard.owns_lock()) {
        return;
    }
    for (Action& a : inbox) {
        if (a.kind == Action::Kind::SystemEvent && a.eventName == "Sound") {
            hostSound = a.id != 0;
        }
        into.push_back(std::move(a));
    }
    inbox.clear();
}

void LiveState::Diagnostic(std::string_view text) {
    const std::lock_guard<std::mutex> guard(lock);
    if (pendingDiagnostics.size() < kDiagnosticsKept) {
        pendingDiagnostics.emplace_back(text);
    }
}

bool LiveState::KeepFlying(bool) {
    return !closed.load() && (stop == nullptr || !stop->load());
}

namespace {

PanelElementState StateOf(const PanelElement& e) {
    PanelElementState s;
    s.value = e.value;
    s.hidden = e.Hidden();
    if (e.isText) {
        s.text.assign(e.text.data(), strnlen(e.text.data(), e.text.size()));
    }
    return s;
}

} // namespace

void LiveState::Stepped(double t, bool paused, HostServices& host) {
    // Paces itself by wall time, not by steps: at any speed a page gets about 25 frames a second.
    const auto now = Clock::now();
    if (frame.sequence != 0 && now - lastPublished < kFrameInterval) {
        return;
    }
    // Host values are read before the lock: reading an aircraft variable may register its name.
    hostReadings.resize(hostValues.size());
    for (std::size_t i = 0; i < hostValues.size(); ++i) {
        const ValueName& v = hostValues[i];
        hostReadings[i] = v.kind == ValueName::Kind::Token
                              ? host.Token(v.token)
                              : host.AircraftVar(v.name, v.unit, v.index);
    }
    {
        // Taken or left as TakeCommands does; a frame not published now is at the next step.
        const std::unique_lock<std::mutex> guard(lock, std::try_to_lock);
        if (!guard.owns_lock()) {
            return;
        }
        lastPublished = now;
        ++frame.sequence;
        frame.t = t;
        frame.paused = paused;
        frame.hostSound = hostSound;
        const auto& vars = host.NamedVars();
        frame.namedVars.resize(vars.size());
        for (std::size_t i = 0; i < vars.size(); ++i) {
            if (frame.namedVars[i].first != vars[i].name) {
                frame.namedVars[i].first = vars[i].name;
            }
            frame.namedVars[i].second = vars[i].value;
        }
        for (std::size_t i = 0; i < hostReadings.size(); ++i) {
            frame.hostValues[i].second = hostReadings[i];
        }
        const PanelFrame& drawn = host.Panel();
        bool changed = drawn.size() != frame.panel.size();
        frame.panel.resize(drawn.size());
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            PanelElementState s = StateOf(drawn[i]);
            if (!(s == frame.panel[i])) {
                frame.panel[i] = std::move(s);
                changed = true;
            }
        }
        if (changed) {
            ++frame.panelVersion;
            panel = drawn;
        }
        for (std::string& d : pendingDiagnostics) {
            frame.diagnostics.push_back(std::move(d));
            ++frame.diagnosticCount;
        }
        pendingDiagnostics.clear();
        if (frame.diagnostics.size() > kDiagnosticsKept) {
            frame.diagnostics.erase(frame.diagnostics.begin(),
                                    frame.diagnostics.end() - kDiagnosticsKept);
        }
    }
    published.notify_all();
}

} // namespace bench::web
