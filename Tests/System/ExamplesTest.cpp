// The scenarios in examples/ are where a pilot or maintainer starts: each says what it is for
// and flies to its end with every expectation met. The bench's page in docs/ names every option
// the program takes.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

} // namespace

TEST(Examples, EveryExampleHasADescriptionAndFliesToItsEnd) {
    int flown = 0;
    for (const auto& entry : fs::directory_iterator(ZELVAN_EXAMPLES)) {
        if (entry.path().extension() != ".json") {
            continue;
        }
        const auto scenario = nlohmann::json::parse(ReadAll(entry.path()));
        EXPECT_FALSE(scenario.value("description", "").empty()) << entry.path();
        std::string err;
        EXPECT_EQ(testing_support::RunBenchProgram("run " + entry.path().string(), err), 0)
            << entry.path() << "\n"
            << err;
        ++flown;
    }
    EXPECT_GE(flown, 4);
}

TEST(Examples, TheBenchPageNamesEveryOptionOfTheProgram) {
    const std::string page = ReadAll(ZELVAN_DOCS "/bench.md");
    ASSERT_FALSE(page.empty());
    const std::regex option("--[a-z][a-z-]+");
    for (const char* command : {"run --help", "replay --help"}) {
        std::string help;
        std::string err;
        ASSERT_EQ(testing_support::RunBenchProgram(command, err, "", &help), 0) << err;
        int named = 0;
        for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
             it != std::sregex_iterator(); ++it) {
            EXPECT_NE(page.find(it->str()), std::string::npos) << command << ": " << it->str();
            ++named;
        }
        EXPECT_GE(named, 10) << command;
    }
}
