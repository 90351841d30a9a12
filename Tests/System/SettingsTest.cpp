// The settings file across flights: defaults, the limits a load enforces, what a save writes.
#include "Support/Flight.h"

#include "Bench/Flight/BuiltinFlight.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using testing_support::Fly;

namespace {

bool Has(const std::string& text, const std::string& line) {
    return text.find(line + "\n") != std::string::npos;
}

std::string WithSettings(const std::string& ini, double groundContact = 1.0,
                         const std::string& extraActions = "") {
    nlohmann::json scenario = {
        {"duration", 1.0}, {"host", {{"token:60", groundContact}}}, {"settings", ini}};
    scenario["actions"] = nlohmann::json::parse(
        R"([{"at": 0.0, "load": true}, {"at": 0.0, "system_event": "SimStart"})" + extraActions +
        "]");
    return scenario.dump();
}

} // namespace

TEST(Settings, AFirstFlightWithoutAFileSavesTheDefaults) {
    const auto log = Fly(R"({"duration": 1.0, "host": {"token:60": 1}, "actions": [
        {"at": 0.0, "system_event": "SimStart"}]})");
    ASSERT_EQ(log.result.status, bench::kRunOk);
    for (const char* line :
         {"[power]", "battery1=-1", "battery2=-1", "batteryRadio=-1", "[cabin]", "pilot1Weight=80",
          "pilot2Weight=80", "waterTankWeight=0", "backSeat=0", "frontSeat=True", "activePilot=1",
          "[failures]", "slider=0"}) {
        EXPECT_TRUE(Has(log.settings, line)) << line << "\n" << log.settings;
    }
}

TEST(Settings, ALoadKeepsEveryValueWithinItsLimits) {
    const auto log = Fly(WithSettings("[power]\nbattery1=7.5\nbattery2=-3\nbatteryRadio=0.25\n"
                                      "[cabin]\npilot1Weight=120\npilot2Weight=10\n"
                                      "waterTankWeight=-5\nbackSeat=7\nfrontSeat=off\n"
                                      "[failures]\nslider=200\n"));
    // Nobody in front and the tank in the back: the pilots' masses stay for the next flight.
    for (const char* line :
         {"battery1=1", "battery2=-1", "batteryRadio=0.25", "pilot1Weight=95", "pilot2Weight=65",
          "waterTankWeight=94", "backSeat=2", "frontSeat=False", "slider=125"}) {
        EXPECT_TRUE(Has(log.settings, line)) << line << "\n" << log.settings;
    }
    const auto crew = Fly(WithSettings("[cabin]\npilot1Weight=120\npilot2Weight=10\nbackSeat=1\n"));
    for (const char* line : {"pilot1Weight=95", "pilot2Weight=65", "backSeat=1"}) {
        EXPECT_TRUE(Has(crew.settings, line)) << line << "\n" << crew.settings;
    }
    // A negative crew mass wraps as the unsigned value it is stored in, so it lands on 95.
    // The back seat is taken, so its pilot's mass is what the panel shows and what is saved.
    const auto negative =
        Fly(WithSettings("[cabin]\npilot2Weight=-10\nbackSeat=1\n[failures]\nslider=-3\n"));
    EXPECT_TRUE(Has(negative.settings, "pilot2Weight=95")) << negative.settings;
    EXPECT_TRUE(Has(negative.settings, "slider=0")) << negative.settings;
    // Seats and pilots other than the panel's choices read as the nearest choice or the default.
    const auto outside = Fly(WithSettings("[cabin]\nbackSeat=-4\nactivePilot=7\n"));
    EXPECT_TRUE(Has(outside.settings, "backSeat=0")) << outside.settings;
    EXPECT_TRUE(Has(outside.settings, "activePilot=1")) << outside.settings;
}

TEST(Settings, TextsThatAreNoNumberOrBoolReadAsTheDefaults) {
    const auto log = Fly(WithSettings("[power]\nbattery1=full\n[cabin]\npilot1Weight=heavy\n"
                                      "frontSeat=ENABLE\nactivePilot=\nbackSeat=1x\n"));
    ASSERT_EQ(log.result.status, bench::kRunOk);
    EXPECT_TRUE(log.Diagnostics().empty());
    for (const char* line :
         {"battery1=-1", "pilot1Weight=80", "frontSeat=True", "activePilot=1", "backSeat=1"}) {
        EXPECT_TRUE(Has(log.settings, line)) << line << "\n" << log.settings;
    }
}

TEST(Settings, InTheAirTheFrontSeatAndTheFirstPilotAreForced) {
    const auto log =
        Fly(WithSettings("[cabin]\nfrontSeat=False\nbackSeat=1\nactivePilot=2\n", 0.0));
    EXPECT_TRUE(Has(log.settings, "frontSeat=True")) << log.settings;
    EXPECT_TRUE(Has(log.settings, "activePilot=1")) << log.settings;
}

TEST(Settings, WhatIsSavedLoadsBackTheSameInAFreshModule) {
    const std::string stored = "[power]\nbattery1=0.5\nbattery2=0.123457\nbatteryRadio=-1\n"
                               "[cabin]\npilot1Weight=70\npilot2Weight=66\nwaterTankWeight=50\n"
                               "backSeat=2\nfrontSeat=True\nactivePilot=1\n[failures]\nslider=30\n"
                               "probability=3\n";
    const auto log = Fly(WithSettings(stored, 1.0, R"(,
        {"at": 0.3, "unload": true}, {"at": 0.4, "load": true},
        {"at": 0.5, "system_event": "SimStart"})"));
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    EXPECT_EQ(log.Of("load").size(), 2u);
    // The back pilot's mass is kept while the tank sits in the back seat.
    for (const char* line : {"battery1=0.5", "battery2=0.123457", "pilot1Weight=70",
                             "pilot2Weight=66", "waterTankWeight=50", "backSeat=2",
                             "frontSeat=True", "activePilot=1", "slider=30", "probability=1"}) {
        EXPECT_TRUE(Has(log.settings, line)) << line << "\n" << log.settings;
    }
    // The level is written from the slider and never read back.
}

TEST(Settings, AFourSecondEventBeforeTheRestartIsHandledSavesNothing) {
    // The file changes under the running module; a restart reads it again. A save between the
    // restart and its first tick would overwrite the new file with the old values.
    const auto log = Fly(R"({"duration": 3.0, "host": {"token:60": 1}, "actions": [
        {"at": 0.0, "system_event": "SimStart"},
        {"at": 1.0, "settings": "[cabin]\npilot1Weight=70\n"},
        {"at": 2.0, "system_event": "SimStart"},
        {"at": 2.0, "system_event": "4sec"}]})");
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    EXPECT_TRUE(Has(log.settings, "pilot1Weight=70")) << log.settings;
}

TEST(Settings, TheFourSecondEventSavesOnceTheStartIsHandled) {
    const auto log = Fly(R"({"duration": 3.0, "host": {"token:60": 1}, "actions": [
        {"at": 0.0, "system_event": "SimStart"},
        {"at": 1.0, "settings": "[cabin]\npilot1Weight=70\n"},
        {"at": 2.0, "system_event": "4sec"}]})");
    EXPECT_TRUE(Has(log.settings, "pilot1Weight=80")) << log.settings;
}

TEST(Settings, ASettingsFileThatCannotBeWrittenIsReportedAndTheFlightGoesOn) {
    namespace fs = std::filesystem;
    const fs::path settings = fs::temp_directory_path() / "zelvan-unwritable-settings";
    fs::create_directories(settings / "PelmoraGrp" / "zelvan" / "config.ini");
    const fs::path events = settings / "events.jsonl";
    bench::RunOptions options;
    bench::FindCompanions(options);
    options.settingsDir = settings.string();
    options.eventsPath = events.string();
    const auto result = bench::RunScenario(
        bench::ParseScenario(R"({"duration": 5.0, "host": {"token:60": 1}, "actions": [
            {"at": 0.0, "system_event": "SimStart"}]})",
                             "unwritable.json"),
        options);
    EXPECT_EQ(result.status, bench::kRunOk) << result.error;
    std::ifstream in(events);
    std::string line;
    int reports = 0;
    while (std::getline(in, line)) {
        reports += line.find("config.ini could not be written") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(reports, 2) << "the save at four seconds and the one at shutdown";
    EXPECT_TRUE(fs::is_directory(settings / "PelmoraGrp" / "zelvan" / "config.ini"));
    fs::remove_all(settings);
}

TEST(Settings, AKeyWrittenTwiceReadsAsItsFirstOccurrenceWhichASaveEditsLeavingTheRest) {
    // The tank rides in the back seat, so the water mass is the panel's and is saved as such. A
    // section named again is never read, and a save leaves it as the user wrote it.
    const auto log = Fly(WithSettings("[cabin]\nbackSeat=2\npilot1Weight=70\nwaterTankWeight=20\n"
                                      "pilot1Weight=90\n[notes]\nseen=1\nseen=2\n"
                                      "[CABIN]\nwaterTankWeight=30\nactivePilot=2\n"));
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    EXPECT_TRUE(Has(log.settings, "[cabin]\nbackSeat=2\npilot1Weight=70\nwaterTankWeight=20\n"
                                  "pilot1Weight=90"))
        << log.settings;
    EXPECT_TRUE(Has(log.settings, "[notes]\nseen=1\nseen=2\n[CABIN]\nwaterTankWeight=30\n"
                                  "activePilot=2"))
        << log.settings;
    // The first [cabin] had no activePilot: the default was read and is saved there.
    EXPECT_TRUE(Has(log.settings, "activePilot=1")) << log.settings;
}

TEST(Settings, AFailureIsSavedAloneNotWithTheInstrumentsThatFailThroughIt) {
    // A failed static port takes its cockpit's variometers and altimeter with it, but only the
    // port itself is stored: the next flight's repair of the port must mend all four.
    const auto log = Fly(WithSettings("[failures]\nstatic_port_1=True\n"));
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    for (const char* line : {"static_port_1=True", "climb_needle_1=False",
                             "climb_needle_prec_1=False", "altimeter_1=False"}) {
        EXPECT_TRUE(Has(log.settings, line)) << line << "\n" << log.settings;
    }
}
