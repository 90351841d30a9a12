// The application's walk over the systems: start, the first tick after a (re)start, the time
// step, key events and stop.
#include "Bench/Host/HostServices.h"
#include "Bench/Output/EventLog.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"
#include "Logic/Application.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SystemBase.h"
#include "Logic/Systems/SoundSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

struct Probe : SystemBase {
    explicit Probe(const char* n) : SystemBase(99), name(n) {}
    void start() override { calls.push_back(name + " start"); }
    void stop() override { calls.push_back(name + " stop"); }
    void update(double stepDt, bool first) override {
        calls.push_back(name + (first ? " first " : " update ") + std::to_string(stepDt) +
                        (module::settingsLoaded && !Options::Instance().path.empty()
                             ? " loaded"
                             : " unloaded"));
    }
    bool onKeyEvent(std::uint32_t eventId, std::uint32_t) override {
        calls.push_back(name + " key " + std::to_string(eventId));
        return false;
    }
    std::string name;
};

class ApplicationTick : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        // One folder per test: ctest runs tests side by side.
        folder = std::filesystem::temp_directory_path() /
                 (std::string("zelvan-application-tick-") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
        ImportTable.services = host.Table();
        host.SetToken(60, 1.0);
    }
    void TearDown() override {
        module::simStartPending = false;
        module::settingsLoaded = false;
        ImportTable.services = nullptr;
        unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder;
    bench::EventLog log;
    bench::HostServices host{log};
};

} // namespace

TEST_F(ApplicationTick, TheFirstTickLoadsTheSettingsThenUpdatesEverySystemTwice) {
    Probe a("a");
    Probe b("b");
    Application app;
    app.start();
    EXPECT_EQ(host.KeyHandlerCount(), 1u);
    module::simStartPending = true;
    app.onTimer(1);
    app.onTimer(1);
    const std::vector<std::string> expected = {"a start",
                                               "b start",
                                               "a first 0.055000 loaded",
                                               "b first 0.055000 loaded",
                                               "a update 0.055000 loaded",
                                               "b update 0.055000 loaded",
                                               "a update 0.055000 loaded",
                                               "b update 0.055000 loaded"};
    EXPECT_EQ(calls, expected);
    EXPECT_FALSE(module::simStartPending);
    EXPECT_FALSE(app.firstTick);
}

TEST_F(ApplicationTick, AFastSimulationRateScalesTheTimeStep) {
    Probe a("a");
    Application app;
    host.SetToken(336, 256.0);
    app.onTimer(1);
    host.SetToken(336, 512.0);
    app.onTimer(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"a update 0.055000 unloaded",
                                               "a update 56.320000 unloaded"}));
}

TEST_F(ApplicationTick, KeyEventsReachEverySystemInOrderAndStopUnregistersBeforeStoppingThem) {
    Probe a("a");
    Probe b("b");
    Application app;
    app.start();
    host.DeliverKeyEvent(0x11005, 1);
    app.stop();
    EXPECT_EQ(host.KeyHandlerCount(), 0u);
    EXPECT_EQ(calls, (std::vector<std::string>{"a start", "b start", "a key 69637", "b key 69637",
                                               "a stop", "b stop"}));
}

TEST_F(ApplicationTick, ASystemThatCannotStartIsReportedAndTheOthersStart) {
    static std::vector<std::string> diagnostics;
    diagnostics.clear();
    zvrt_reset(); // no host window: the sound device has nothing to attach to
    zvrt_set_diagnostic_sink([](void*, const char* text) { diagnostics.emplace_back(text); },
                             nullptr);
    SoundSystem sound;
    Probe after("after");
    Application app;
    app.start();
    EXPECT_EQ(sound.Engine() != nullptr && sound.Engine()->HasDevice(), false);
    EXPECT_EQ(calls, (std::vector<std::string>{"after start"}));
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0].find("Message : Active window handle is null"), std::string::npos)
        << diagnostics[0];
    app.stop();
    zvrt_reset();
}
