// The random failures driven directly: levels, draws, prerequisites, the settings and the repair,
// and what a repair does to the instruments.
#include "Logic/Systems/FailuresSystem.h"
#include "Bench/Host/HostServices.h"
#include "Bench/Output/EventLog.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"
#include "Logic/CockpitState.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SimParameters.h"
#include "Logic/SystemRegistry.h"
#include "Logic/Systems/AltimeterSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

constexpr std::uint32_t kAll = kFailureCount;

class Failures : public ::testing::Test {
protected:
    void SetUp() override {
        // One folder per test process: tests run side by side.
        folder = std::filesystem::temp_directory_path() /
                 ("zelvan-failures-" + std::to_string(::getpid()));
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
        ImportTable.services = host.Table();
    }
    void TearDown() override {
        module::registry.reset();
        module::connection.reset();
        module::settingsLoaded = false;
        ServicePanelSelection.slider = 0;
        ImportTable.services = nullptr;
        zvrt_reset();
        unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(folder);
    }
    std::string SettingsText() const {
        std::ifstream in(Options::Instance().path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    double Named(const char* name) const { return host.NamedValue(name).value_or(-999.0); }

    std::filesystem::path folder;
    bench::EventLog log;
    bench::HostServices host{log};
};

} // namespace

TEST_F(Failures, TheSliderSetsTheLevelAndAtZeroNothingEverFails) {
    FailuresSystem failures;
    failures.start();
    const std::pair<std::int32_t, std::uint32_t> levels[] = {{0, 0},  {1, 1},  {40, 1}, {41, 2},
                                                             {80, 2}, {81, 3}, {125, 3}};
    for (const auto& [slider, level] : levels) {
        ServicePanelSelection.slider = slider;
        failures.update(0.055, false);
        EXPECT_EQ(failures.GetLevel(), level) << "slider " << slider;
    }
    EXPECT_DOUBLE_EQ(failures.GetFailure(FailuresSystem::kAltimeter2).rate, 1.0 / 20.0);

    // On the ground or while paused the level stays and no time counts.
    host.SetToken(60, 1.0);
    ServicePanelSelection.slider = 0;
    const double pending = FailuresSystem::PendingSeconds();
    failures.update(5.0, false);
    host.SetToken(60, 0.0);
    module::connection = std::make_unique<SimParameters>();
    module::connection->paused = true;
    failures.update(5.0, false);
    EXPECT_EQ(failures.GetLevel(), 3u);
    EXPECT_EQ(FailuresSystem::PendingSeconds(), pending);

    module::connection.reset();
    failures.update(200000.0, false); // 200 000 draws for every failure
    EXPECT_EQ(failures.GetLevel(), 0u);
    for (std::uint32_t i = 0; i < kAll; ++i) {
        EXPECT_EQ(failures.GetFailure(i).rate, 0.0);
        EXPECT_FALSE(failures.GetFailure(i).IsFailed()) << i;
    }
}

TEST_F(Failures, AStepOfThreePointFourSecondsDrawsThreeTimesPerIntactFailureAndKeepsTheRest) {
    // With the pitot already failed, failures 1 to 10 draw three times each, in order, from the
    // generator seeded with the calendar time. Find a time whose 30 draws make exactly one
    // failure occur, on the third draw of its three.
    constexpr double kChance = 1.0 / 20.0 / 50.0; // level 3
    std::uint32_t epoch = 1'700'000'000;
    std::uint32_t expected = 0;
    while (expected == 0) {
        std::mt19937 reference(++epoch);
        int hits = 0;
        int at = 0;
        for (int j = 0; j < 30; ++j) {
            if (static_cast<double>(reference()) / 4294967296.0 < kChance) {
                ++hits;
                at = j;
            }
        }
        if (hits == 1 && at % 3 == 2) {
            expected = 1 + static_cast<std::uint32_t>(at / 3);
        }
    }
    zvrt_pin_calendar_time(epoch);
    FailuresSystem failures;
    failures.start();
    failures.GetFailure(FailuresSystem::kPitot).failed = true;
    ServicePanelSelection.slider = 125;
    failures.update(3.4 - FailuresSystem::PendingSeconds(), false);

    EXPECT_NEAR(FailuresSystem::PendingSeconds(), 0.4, 1e-9);
    for (std::uint32_t i = 0; i < kAll; ++i) {
        EXPECT_EQ(failures.GetFailure(i).failed, i == 0 || i == expected) << i;
    }
}

TEST_F(Failures, APortTakesItsInstrumentsWithItAndASaveStoresOnlyThePort) {
    module::registry = std::make_unique<SystemRegistry>();
    FailuresSystem& failures = *module::registry->Failures();
    failures.start();
    failures.GetFailure(FailuresSystem::kStaticPort1).failed = true;
    for (std::uint32_t i = 0; i < kAll; ++i) {
        EXPECT_EQ(failures.GetFailure(i).IsFailed(), i == 1 || i == 3 || i == 4 || i == 9) << i;
    }
    EXPECT_EQ(failures.GetFailure(4).prerequisites.size(), 1u);

    failures.GetFailure(FailuresSystem::kStaticPort1).failed = false;
    failures.GetFailure(FailuresSystem::kStaticPort2).failed = true;
    failures.SetLevel(2);
    ServicePanelSelection.slider = 81;
    module::settingsLoaded = true;
    Options::Instance().Save();
    const std::string saved = SettingsText();
    for (const char* line :
         {"slider=81", "probability=2", "pitot=False", "static_port_1=False", "static_port_2=True",
          "climb_needle_1=False", "climb_needle_prec_1=False", "climb_needle_2=False",
          "climb_needle_prec_2=False", "airspeed_needle_1=False", "airspeed_needle_2=False",
          "altimeter_1=False", "altimeter_2=False"}) {
        EXPECT_NE(saved.find(std::string(line) + "\r\n"), std::string::npos) << line << "\n"
                                                                             << saved;
    }

    failures.GetFailure(FailuresSystem::kStaticPort2).failed = false;
    Options::Instance().Load();
    EXPECT_EQ(failures.GetLevel(), 3u) << "the level follows the slider, not \"probability\"";
    for (std::uint32_t i = 0; i < kAll; ++i) {
        EXPECT_EQ(failures.GetFailure(i).failed, i == 2) << i;
        EXPECT_EQ(failures.GetFailure(i).IsFailed(), i == 2 || i == 5 || i == 6 || i == 10) << i;
    }
    EXPECT_EQ(RepairFailures(), 0);
    for (std::uint32_t i = 0; i < kAll; ++i) {
        EXPECT_FALSE(failures.GetFailure(i).IsFailed()) << i;
    }
}

TEST_F(Failures, AfterARepairTheInstrumentsFollowAgainButTheAirspeedFaultsStay) {
    // The airspeed fault modes last the module's lifetime: they start empty in a fresh process.
    host.SetToken(60, 1.0); // on the ground: nothing is drawn
    module::registry = std::make_unique<SystemRegistry>();
    const auto fly = [this](double kph, double metres, double climb) {
        host.SetAircraftVar("AIRSPEED INDICATED", "kph", 0, kph);
        host.SetAircraftVar("INDICATED ALTITUDE", "m", 0, metres);
        host.SetAircraftVar("VERTICAL SPEED", "m/s", 0, climb);
        for (std::size_t p = SystemRegistry::kFailures; p <= SystemRegistry::kAltimeter; ++p) {
            module::registry->At(p)->update(0.055, false);
        }
    };
    for (std::size_t p = SystemRegistry::kFailures; p <= SystemRegistry::kAltimeter; ++p) {
        module::registry->At(p)->start();
    }
    fly(100.0, 2000.0, 2.0);
    // A blocked pitot drives both airspeed needles by the altitude (from 100 km/h at 2000 m);
    // the second cockpit's blocked port adds a second fault to its needle, which stops.
    FailuresSystem& failures = *module::registry->Failures();
    failures.GetFailure(FailuresSystem::kPitot).failed = true;
    failures.GetFailure(FailuresSystem::kStaticPort2).failed = true;
    fly(100.0, 2000.0, 2.0);
    fly(60.0, 2500.0, -1.0);
    EXPECT_EQ(Named("zelvan_climb_needle"), 58.0);
    EXPECT_EQ(Named("zelvan_climb_needle_2"), 64.0);
    EXPECT_EQ(Named("zelvan_alt_kilo_needle_2"), 0.2);

    RepairFailures();
    fly(60.0, 2500.0, -1.0);
    EXPECT_EQ(Named("zelvan_climb_needle_2"), 58.0);
    EXPECT_EQ(Named("zelvan_prec_climb_needle_2"), 40.0);
    EXPECT_EQ(Named("zelvan_alt_kilo_needle_2"), 0.25);
    EXPECT_EQ(Named("zelvan_speed_needle"), 150.0 / 4.0) << "still driven by the altitude";
    EXPECT_EQ(Named("zelvan_speed_needle_2"), 25.0) << "still stopped";

    // The knobs take their four events and no other.
    auto* altimeters = static_cast<AltimeterSystem*>(module::registry->At(6));
    EXPECT_TRUE(altimeters->onKeyEvent(fsx::key::kAltimeter2KnobDown, 0));
    EXPECT_FALSE(altimeters->onKeyEvent(0x1104E, 0));
    EXPECT_DOUBLE_EQ(Named("zelvan_alt_rotary_2"), 0.9);
}
