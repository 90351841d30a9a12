// A scenario the bench cannot fly is refused with one message that names the file, the action
// and the fault; a library that is no gauge module is refused before anything runs.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using testing_support::Fly;

TEST(ScenarioInput, BadScenariosAreRefusedWithAMessageNamingTheFault) {
    struct Case {
        const char* json;
        const char* message;
    };
    const Case cases[] = {
        {R"({"actions": [ {"at": 1.0, "key": 5} )", "test.json: not valid JSON"},
        {R"({"actions": [{"at": 1.0, "key": 5}, {"at": 2.0, "jump": true}]})",
         "test.json: action 1: unknown action (\"jump\")"},
        {R"({"actions": [{"at": 1.0, "set": {"speed": 3}}]})",
         "test.json: action 0: unknown value name \"speed\""},
        {R"({"actions": [{"at": 1.0, "expect": {"token:1031": 3}}]})",
         "test.json: action 0: \"token:1031\": a token must be a whole number from 1 to 1030"},
        {R"({"actions": [{"at": 1.0, "set": {"token:0": 3}}]})", "token:0"},
        {R"({"actions": [{"at": -0.5, "key": 5}]})",
         "test.json: action 0: \"at\" must not be negative"},
        {R"({"actions": [{"at": 1.0, "key": "0xZZ"}]})", "test.json: action 0: \"key\" must be"},
        {R"({"actions": [{"at": 1.0, "system_event": "Lunch"}]})",
         "unknown system event \"Lunch\""},
        {R"({"actions": [{"at": 1.0, "unload": true}, {"at": 2.0, "unload": true}]})",
         "test.json: action 1: \"unload\" while no module is loaded"},
        {R"({"duration": "long"})", "test.json: field \"duration\": \"duration\" must be a number"},
        {R"({"hots": {}})", "test.json: field \"hots\": unknown field"},
        {R"({"simconnect_missing_entry": "SimConnect_Teleport"})",
         "\"SimConnect_Teleport\" is not a SimConnect entry point"},
        // Found by fuzzing: a number beyond a double, a pixel beyond 32 bits, a line break in a
        // name (the message stays on one line).
        {R"({"duration": 1e400})", "test.json: not valid JSON"},
        {R"({"actions": [{"at": 1, "mouse": {"x": 1e10, "y": 0}}]})",
         "test.json: action 0: \"x\" is beyond the panel's coordinates"},
        {R"({"ho\nst": 1})", "test.json: field \"ho\\x0Ast\": unknown field"},
        {R"({"actions": [{"at": 1.0, "snapshot": "../outside"}]})",
         "test.json: action 0: \"snapshot\" must be a picture name"},
        {R"({"actions": [{"at": 1.0, "set": {"element:3:hidden": 0}}]})",
         "\"element:3:hidden\": what the panel drew can only be expected"},
        {R"({"actions": [{"at": 1.0, "expect": {"element:3:shown": 0}}]})",
         "\"element:3:shown\": an element value is element:N"},
        {R"({"actions": [{"at": 1.0, "expect": {"element:0": 0}}]})",
         "an element number must be a whole number from 1 to 4096"},
    };
    for (const Case& c : cases) {
        const auto log = Fly(c.json);
        EXPECT_EQ(log.result.status, bench::kBadInput) << c.json;
        EXPECT_NE(log.result.error.find(c.message), std::string::npos)
            << c.json << "\n  said: " << log.result.error;
        EXPECT_EQ(log.result.error.find('\n'), std::string::npos) << log.result.error;
        EXPECT_TRUE(log.Of("load").empty()) << "nothing runs from a refused scenario";
    }
}

TEST(ScenarioInput, TheProgramExitsTwoForABadScenarioAndThreeForALibraryThatIsNoGauge) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "zelvan-input-test";
    fs::create_directories(folder);
    std::ofstream(folder / "bad.json")
        << R"({"actions": [{"at": 1, "expect": {"token:2000": 1}}]})";
    std::ofstream(folder / "not-a-library.so") << "this is text";
    std::string err;
    EXPECT_EQ(testing_support::RunBenchProgram("run " + (folder / "bad.json").string(), err), 2);
    EXPECT_NE(err.find("bad.json: action 0:"), std::string::npos) << err;

    EXPECT_EQ(testing_support::RunBenchProgram(
                  "run --module " + (folder / "not-a-library.so").string(), err),
              3);
    EXPECT_NE(err.find("not a loadable library"), std::string::npos) << err;
    EXPECT_EQ(testing_support::RunBenchProgram("run --module /nonexistent/zelvan.so", err), 3);
    EXPECT_NE(err.find("no such gauge library"), std::string::npos) << err;

    EXPECT_EQ(testing_support::RunBenchProgram("run --seed many", err), 2);
    fs::remove_all(folder);
}

TEST(ScenarioInput, AFailedExpectationExitsOneAndTheRunGoesOnToItsEnd) {
    const auto log = Fly(R"({"duration": 2.0, "actions": [
        {"at": 0.5, "expect": {"lvar:zelvan_covers_visible": 1}},
        {"at": 0.6, "expect": {"lvar:no_such_variable": 0}},
        {"at": 1.5, "set": {"lvar:late": 2}},
        {"at": 1.6, "expect": {"lvar:late": 2.05}, "tol": 0.1}]})");
    EXPECT_EQ(log.result.status, bench::kExpectFailed);
    EXPECT_EQ(log.result.expectFailures, 2u);
    EXPECT_EQ(log.Of("unload").size(), 1u);
}

TEST(ScenarioInput, TheTraceHasOneSortedColumnPerNamedVariableAndExactNumbers) {
    const auto log = Fly(R"({"duration": 0.03, "actions": [
        {"at": 0.0, "set": {"lvar:b_second": 0.1}},
        {"at": 0.02, "set": {"lvar:a_first": 3.0000000000000004}}]})",
                         true);
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    // The panel's element columns follow the named variables.
    std::istringstream rows(log.trace);
    std::string variables;
    for (std::string row; std::getline(rows, row);) {
        std::size_t end = 0;
        for (int column = 0; column < 4; ++column) {
            end = row.find(',', end + 1);
        }
        variables += row.substr(0, end) + "\n";
    }
    EXPECT_EQ(log.trace.find(",element:1,"), variables.find('\n'));
    EXPECT_EQ(variables, "t,lvar:a_first,lvar:b_second,lvar:zelvan_covers_visible\n"
                         "0,,0.1,0\n"
                         "0.01,,0.1,0\n"
                         "0.02,3.0000000000000004,0.1,0\n"
                         "0.03,3.0000000000000004,0.1,0\n");
}
