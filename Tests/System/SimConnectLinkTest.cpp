// The link to the simulator: the client library chosen by the host's build, every way opening it
// can fail, and what the connection does with the host's system events.
#include "Support/Flight.h"

#include <gtest/gtest.h>

using testing_support::Fly;

namespace {

bool Said(const testing_support::FlightLog& log, const std::string& text) {
    for (const std::string& d : log.Diagnostics()) {
        if (d.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(SimConnectLink, EveryFailureToOpenIsReportedAndLeavesTheModuleInert) {
    struct Case {
        const char* scenario;
        const char* message;
    };
    const Case cases[] = {
        {R"({"simconnect_open_fails": true})", "Message : Could not connect to Flight Simulator!"},
        {R"({"simconnect": false})",
         "Message : Could not load SimObjects/Airplanes/PelmoraG_Q-71_Zelvan/bin/sc_sp1.dll\n"},
        {R"({"simconnect": false, "host_build": 60905})", "bin/sc_rtm.dll\n"},
        {R"({"simconnect": false, "host_build": 61357})", "bin/sc_sp1.dll\n"},
        {R"({"simconnect": false, "host_build": 61472})", "bin/sc_acc.dll\n"},
        {R"({"simconnect": false, "host_build": 61637})", "bin/sc_acc.dll\n"},
        {R"({"simconnect": false, "host_build": 12345})", "bin/sc_sp1.dll\n"},
        {R"({"simconnect_missing_entry": "SimConnect_Text"})",
         "Message : Could not load SimConnectText\t"},
        {R"({"simconnect_missing_entry": "SimConnect_MapClientEventToSimEvent"})",
         "Message : Could not load SimConnectMapClientEventToSimEvent\t"},
    };
    for (const Case& c : cases) {
        std::string scenario = c.scenario;
        scenario.insert(1, R"("duration": 1.0, "actions": [{"at": 0.5, "system_event": "SimStart"},
            {"at": 0.9, "expect": {"lvar:zelvan_covers_visible": 0}}], )");
        const auto log = Fly(scenario);
        EXPECT_EQ(log.result.status, bench::kRunOk) << scenario << log.result.error;
        EXPECT_TRUE(Said(log, c.message)) << scenario;
        EXPECT_TRUE(Said(log, "Function: except::SimConnectWrapper::Init")) << scenario;
        EXPECT_TRUE(log.Of("simconnect", "Subscribe").empty());
        EXPECT_TRUE(log.Of("sleep").empty()) << "a client that never opened is not waited for";
        EXPECT_EQ(log.KeysSent(0x100B6), 0) << "no application without a connection";
    }
}

TEST(SimConnectLink, AHostWithoutAMainWindowFliesEverythingButTheSounds) {
    const auto log = Fly(R"({"duration": 1.0, "host_window": false,
        "host": {"token:60": 0, "avar:AIRSPEED INDICATED:kph": 100},
        "actions": [{"at": 0.0, "system_event": "SimStart"},
                    {"at": 0.5, "expect": {"lvar:zelvan_speed_needle": 25,
                                           "lvar:zelvan_speed_needle_2": 25}}]})");
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    ASSERT_EQ(log.Of("simconnect", "Open").size(), 1u);
    EXPECT_EQ(log.Of("simconnect", "Open")[0]["window"], false);
    EXPECT_EQ(log.Of("simconnect", "Open")[0]["result"], 0);
    EXPECT_EQ(log.Of("simconnect", "SubscribeToSystemEvent").size(), 7u);
    EXPECT_FALSE(Said(log, "Could not connect"));
    EXPECT_TRUE(Said(log, "Message : Active window handle is null"));
    EXPECT_EQ(log.Diagnostics().size(), 1u) << "only the sound system fails to start";
    EXPECT_TRUE(log.Of("sound").empty()) << "no engine, so no sound operation";
}

TEST(SimConnectLink, TheConnectionDeclaresItsEventsAndDataInOrder) {
    const auto log = Fly(R"({"duration": 0.1})");
    const auto subscribed = log.Of("simconnect", "SubscribeToSystemEvent");
    const std::vector<std::pair<int, std::string>> events = {
        {0x10000, "SimStart"}, {0x10001, "Pause"}, {0x10002, "Sound"},          {0x10003, "View"},
        {0x10004, "Sim"},      {0x10006, "4sec"},  {0x10007, "PositionChanged"}};
    ASSERT_EQ(subscribed.size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(subscribed[i]["event"], events[i].first);
        EXPECT_EQ(subscribed[i]["name"], events[i].second);
    }
    const auto defined = log.Of("simconnect", "AddToDataDefinition");
    ASSERT_EQ(defined.size(), 7u);
    EXPECT_EQ(defined[0]["define"], 0x1000B);
    EXPECT_EQ(defined[0]["datum"], "PAYLOAD STATION WEIGHT:1");
    EXPECT_EQ(defined[0]["units"], "pounds");
    EXPECT_EQ(defined[6]["datum"], "TRAILING EDGE FLAPS RIGHT PERCENT");
    EXPECT_EQ(defined[6]["units"], "Percent");
    for (const auto& d : defined) {
        EXPECT_EQ(d["datum_type"], 4);
        EXPECT_EQ(d["datum_id"], 0xFFFFFFFFu);
    }
    EXPECT_EQ(log.Of("simconnect", "Open")[0]["name"], "Zelvan Q-71 Simconnect Module");
    // At shutdown the definitions go in ascending order, then the events, then the client.
    const auto cleared = log.Of("simconnect", "ClearDataDefinition");
    ASSERT_EQ(cleared.size(), 7u);
    EXPECT_EQ(cleared.front()["define"], 0x1000B);
    EXPECT_EQ(cleared.back()["define"], 0x10011);
    EXPECT_EQ(log.Of("simconnect", "UnsubscribeFromSystemEvent").back()["event"], 0x10007);
}

TEST(SimConnectLink, SystemEventsSetTheViewAndEveryMessageChecksGroundAndCovers) {
    // In the air (token 60 = 0) every dispatched message asks the host to close the service
    // panel; "View" with a cockpit view and nobody seated brings the panel view back.
    const auto log = Fly(R"({"duration": 1.0, "actions": [
        {"at": 0.1, "system_event": "View", "data": 4},
        {"at": 0.2, "system_event": "View", "data": 1},
        {"at": 0.3, "system_event": "Sim", "data": 1},
        {"at": 0.4, "simconnect_exception": 7}]})");
    ASSERT_EQ(log.result.status, bench::kRunOk);
    EXPECT_EQ(log.KeysSent(0x1001F, "key2"), 1) << "only the cockpit view sends the panel key";
    EXPECT_EQ(log.Of("panel_window").size(), 4u);
    EXPECT_EQ(log.Of("panel_window")[0]["ident"], 253);
    EXPECT_TRUE(Said(log, "***** EXCEPTION=7  SendID=0  Index=0  cbData=24"));

    // On the ground with the covers procedure running, every message re-sends the lock keys.
    const auto covered = Fly(R"({"duration": 1.0, "host": {"token:60": 1}, "actions": [
        {"at": 0.1, "mouse": {"x": 30, "y": 180}},
        {"at": 0.2, "system_event": "Sim", "data": 1},
        {"at": 0.3, "system_event": "Sim", "data": 0}]})");
    EXPECT_EQ(covered.Of("panel_window").size(), 0u);
    EXPECT_EQ(covered.KeysSent(0x1009E, "key2"), 2);
    EXPECT_EQ(covered.KeysSent(0x100A0, "key2"), 2);
    EXPECT_EQ(covered.KeysSent(0x1009F, "key2"), 2);
}
