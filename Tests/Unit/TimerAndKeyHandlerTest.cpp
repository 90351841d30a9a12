// Timers and key events as the host delivers them: through the platform runtime's message loop
// and the bench's panel-service table.
#include "Bench/Host/HostServices.h"
#include "Bench/Output/EventLog.h"
#include "Lib/Exception.h"
#include "Lib/FSX/FSXKeyHandler.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"
#include "Lib/TimerMixin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> diagnostics;
void Capture(void*, const char* text) {
    diagnostics.emplace_back(text);
}

class HostLoop : public ::testing::Test {
protected:
    void SetUp() override {
        zvrt_reset();
        diagnostics.clear();
        zvrt_set_diagnostic_sink(&Capture, nullptr);
        ImportTable.services = host.Table();
    }
    void TearDown() override {
        ImportTable.services = nullptr;
        zvrt_reset();
    }
    void Step() {
        now += 10;
        zvrt_run_due_timers(now);
    }
    bench::EventLog log;
    bench::HostServices host{log};
    std::uint64_t now = 0;
};

struct Ticker : except::TimerMixin {
    void onTimer(std::uint32_t id) override {
        ticks.push_back(id);
        if (fail) {
            throw except::Exception("tick failed", "here", "Ticker::onTimer", 1);
        }
    }
    std::vector<std::uint32_t> ticks;
    bool fail = false;
};

struct Listener : except::FSXKeyHandler {
    bool onKeyEvent(std::uint32_t id, std::uint32_t) override {
        events.push_back(id);
        if (id == 0xBAD) {
            throw std::runtime_error("bad key");
        }
        return true;
    }
    std::vector<std::uint32_t> events;
};

} // namespace

TEST_F(HostLoop, RestartingATimerNumberReplacesTheRunningTimer) {
    Ticker a;
    ASSERT_TRUE(a.startTimer(1, 10));
    ASSERT_TRUE(a.startTimer(1, 10));
    EXPECT_EQ(zvrt_timer_count(), 1u);
    EXPECT_EQ(except::TimerMixin::RegisteredTimers(), 1u);
    Step();
    EXPECT_EQ(a.ticks, (std::vector<std::uint32_t>{1}));
}

TEST_F(HostLoop, TicksReachTheirOwnersAndStaleTicksAreIgnored) {
    auto a = std::make_unique<Ticker>();
    Ticker b;
    a->startTimer(0, 10);
    b.startTimer(0, 20);
    Step();
    Step();
    EXPECT_EQ(a->ticks.size(), 2u);
    EXPECT_EQ(b.ticks.size(), 1u);
    // A tick for a platform timer that is no longer registered reaches nobody.
    except::TimerMixin::TimerProc(nullptr, 0, 9999, 0);
    // Destroying one owner stops every timer of the process.
    a.reset();
    EXPECT_EQ(zvrt_timer_count(), 0u);
    EXPECT_EQ(except::TimerMixin::RegisteredTimers(), 0u);
    Step();
    Step();
    EXPECT_EQ(b.ticks.size(), 1u);
}

TEST_F(HostLoop, AFailingTimerIsReportedAndTheLoopCarriesOn) {
    Ticker failing;
    Ticker healthy;
    failing.fail = true;
    failing.startTimer(3, 10);
    healthy.startTimer(4, 10);
    Step();
    Step();
    EXPECT_EQ(failing.ticks.size(), 2u);
    EXPECT_EQ(healthy.ticks.size(), 2u);
    ASSERT_EQ(diagnostics.size(), 2u);
    EXPECT_NE(diagnostics[0].find("timer procedure failed"), std::string::npos);
    EXPECT_NE(diagnostics[0].find("Message : tick failed"), std::string::npos);
}

TEST_F(HostLoop, TheKeyHandlerRegistersOnceAndOnlyARegisteredObjectHearsEvents) {
    Listener listener;
    listener.Register();
    listener.Register();
    EXPECT_EQ(host.KeyHandlerCount(), 1u);
    host.DeliverKeyEvent(0x11005, 1);
    EXPECT_EQ(listener.events, (std::vector<std::uint32_t>{0x11005}));

    listener.Unregister();
    EXPECT_EQ(host.KeyHandlerCount(), 0u);
    // A host that still calls the procedure for this object gets false and no event reaches it.
    EXPECT_EQ(except::FSXKeyHandler::HandlerProc(0x11006, 0, &listener), 0);
    EXPECT_EQ(listener.events.size(), 1u);
}

TEST_F(HostLoop, AFailingKeyHandlerIsReportedAndTheNextEventStillArrives) {
    {
        Listener listener;
        listener.Register();
        host.DeliverKeyEvent(0xBAD, 0);
        host.DeliverKeyEvent(0x11007, 0);
        EXPECT_EQ(listener.events, (std::vector<std::uint32_t>{0xBAD, 0x11007}));
    }
    EXPECT_EQ(host.KeyHandlerCount(), 0u) << "destruction unregisters";
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0].find("key event handler failed:\nbad key"), std::string::npos)
        << diagnostics[0];
}
