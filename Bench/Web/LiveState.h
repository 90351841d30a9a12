#pragma once

#include "Bench/Flight/LiveLink.h"
#include "Bench/Flight/Scenario.h"
#include "Bench/Output/PanelFrame.h"
#include "Bench/Web/LiveFrame.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

namespace bench::web {

// Where the flight and the web server meet. The flight's thread publishes a frame of what the
// page shows at the first step 35 ms of wall time after the last (every fourth step at real
// time: 25 frames a second) and takes the commands that came in; the server's threads queue
// commands and wait for frames. The flight's thread only ever tries the lock: while a server
// thread holds it, the step goes on and the frame or the commands wait for the next one, so
// neither a slow or vanished page nor a flood of requests can hold up a step.
class LiveState final : public LiveLink {
public:
    static constexpr std::size_t kInboxLimit = 256;
    static constexpr auto kFrameInterval = std::chrono::milliseconds(35);

    // The host values the page receives (tokens and aircraft variables; others are left
    // out); `stop`, when given, ends the flight once it is set (a signal handler's flag).
    explicit LiveState(std::vector<ValueName> hostValues, const std::atomic<bool>* stop = nullptr);

    enum class Queued { Accepted, Full, Closed };
    // A key, mouse or system-event action for the next step; refused while the inbox is full.
    Queued Submit(Action command);

    // Copies the newest frame once it is newer than `seen`; false when none came within the
    // timeout or the state is closed.
    bool WaitForFrame(std::uint64_t seen, std::chrono::milliseconds timeout, LiveFrame& out);
    LiveFrame Latest() const;
    // The panel's elements as last drawn, and the panel version they belong to.
    PanelFrame LatestPanel(std::uint64_t& version) const;

    // Ends the flight at its next step and wakes every waiting page.
    void Close();
    bool Closed() const { return closed.load(); }

    // LiveLink, called by the flight's thread.
    void TakeCommands(std::vector<Action>& into) override;
    void Stepped(double t, bool paused, HostServices& host) override;
    void Diagnostic(std::string_view text) override;
    bool KeepFlying(bool scenarioOver) override;

private:
    static constexpr std::size_t kDiagnosticsKept = 20;

    std::vector<ValueName> hostValues;
    std::vector<double> hostReadings; // the flight thread's own buffer, read before the lock
    const std::atomic<bool>* stop;
    std::atomic<bool> closed{false};
    std::chrono::steady_clock::time_point lastPublished{};

    mutable std::mutex lock;
    std::condition_variable published;
    std::deque<Action> inbox;
    bool hostSound = true; // the host's sound switch, as the commands left it
    LiveFrame frame;
    PanelFrame panel;
    std::vector<std::string> pendingDiagnostics;
};

} // namespace bench::web
