// A failure inside the module's timer procedure or key handler is reported to the host's
// diagnostic log; the host flies on and the module keeps ticking.
#include "Support/Flight.h"

#include "Bench/Flight/BuiltinFlight.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

TEST(FailureContainment, TimerAndKeyHandlerFailuresAreLoggedAndTheFlightGoesOn) {
    namespace fs = std::filesystem;
    const fs::path events = fs::temp_directory_path() / "zelvan-faulty-events.jsonl";
    bench::RunOptions options;
    bench::FindCompanions(options);
    options.modulePath = std::string(ZELVAN_BUILD_BIN) + "/faulty_gauge.so";
    options.eventsPath = events.string();
    const auto scenario = bench::ParseScenario(R"({"duration": 0.5, "actions": [
        {"at": 0.1, "key": "0xBAD"},
        {"at": 0.2, "key": "0xBAD"},
        {"at": 0.4, "expect": {"lvar:faulty_ticks": 40}}]})",
                                               "faulty.json");
    const auto result = bench::RunScenario(scenario, options);
    EXPECT_EQ(result.status, bench::kRunOk) << result.error;

    std::vector<std::string> diagnostics;
    std::ifstream in(events);
    std::string line;
    while (std::getline(in, line)) {
        const auto e = nlohmann::json::parse(line);
        if (e["type"] == "diagnostic") {
            diagnostics.push_back(e["text"]);
        }
    }
    ASSERT_EQ(diagnostics.size(), 3u);
    EXPECT_NE(diagnostics[0].find("timer procedure failed:\nMessage : the third tick fails"),
              std::string::npos)
        << diagnostics[0];
    EXPECT_NE(diagnostics[1].find("key event handler failed:\na bad key"), std::string::npos);
    EXPECT_EQ(diagnostics[1], diagnostics[2]);
    fs::remove(events);
}
