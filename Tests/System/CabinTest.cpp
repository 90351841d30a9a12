// The sliding windows, the wheel brake, the simple switch and the pilot's head flown through the
// bench.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using testing_support::Fly;

namespace {

std::string Flight(double duration, const std::string& actions) {
    nlohmann::json s = {{"duration", duration}, {"host", {{"token:60", 1.0}}}};
    s["actions"] =
        nlohmann::json::parse(R"([{"at": 0.0, "system_event": "SimStart"})" + actions + "]");
    return s.dump();
}

// The trace's columns of these names, one value per step.
std::map<std::string, std::vector<double>> Columns(const std::string& path,
                                                   const std::vector<std::string>& wanted) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    std::vector<int> index;
    std::vector<std::string> names;
    {
        std::istringstream header(line);
        int i = 0;
        for (std::string name; std::getline(header, name, ','); ++i) {
            for (const std::string& w : wanted) {
                if (name == w) {
                    index.push_back(i);
                    names.push_back(name);
                }
            }
        }
    }
    std::map<std::string, std::vector<double>> columns;
    while (std::getline(in, line)) {
        std::istringstream row(line + ",");
        std::string cell;
        std::size_t next = 0;
        for (int i = 0; next < index.size() && std::getline(row, cell, ','); ++i) {
            if (i == index[next]) {
                columns[names[next]].push_back(cell.empty() ? -1.0
                                                            : std::stod(cell)); // -1: not yet there
                ++next;
            }
        }
    }
    return columns;
}

} // namespace

TEST(Cabin, TheFrontWindowStepsByTenthsWithinItsRangeAndTogglesByItsWholePart) {
    const auto log = Fly(Flight(2.0, R"(
        ,{"at": 0.1, "key": "0x11055"}, {"at": 0.11, "key": "0x11055"}
        ,{"at": 0.12, "key": "0x11055"}, {"at": 0.13, "key": "0x11055"}
        ,{"at": 0.14, "key": "0x11055"}
        ,{"at": 0.15, "expect": {"lvar:zelvan_slidwin_front": 0.5}, "tol": 1e-12}
        ,{"at": 0.2, "key": "0x11054"}
        ,{"at": 0.2, "expect": {"lvar:zelvan_slidwin_front": 1}}
        ,{"at": 0.3, "key": "0x11054"}
        ,{"at": 0.3, "expect": {"lvar:zelvan_slidwin_front": 0}}
        ,{"at": 0.4, "set": {"lvar:zelvan_slidwin_front": 0.95}}
        ,{"at": 0.5, "key": "0x11055"}
        ,{"at": 0.5, "expect": {"lvar:zelvan_slidwin_front": 1.0}}
        ,{"at": 0.6, "set": {"lvar:zelvan_slidwin_front": 0.05}}
        ,{"at": 0.7, "key": "0x11056"}
        ,{"at": 0.7, "expect": {"lvar:zelvan_slidwin_front": 0.0}}
        ,{"at": 0.75, "set": {"lvar:zelvan_slidwin_two": 5e9}}
        ,{"at": 0.76, "key": "0x11050"}
        ,{"at": 0.77, "expect": {"lvar:zelvan_slidwin_two": 0}}
        ,{"at": 0.8, "key": "0x11051"}, {"at": 0.8, "key": "0x11053"}
        ,{"at": 0.9, "expect": {"lvar:zelvan_slidwin_front": 0.0, "lvar:zelvan_slidwin_one": 0,
                                "lvar:zelvan_slidwin_two": 0}})"));
    EXPECT_EQ(log.result.status, bench::kRunOk);
    int slides = 0;
    for (const auto& e : log.Of("sound")) {
        slides += e["op"] == "play" && e.value("name", "").rfind("slidew", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(slides, 1) << "the front window makes no sound; side window two closes once";
}

TEST(Cabin, SideWindowsToggleWithTheirSoundsAndAPlayingSoundIsNotRestarted) {
    const auto log = Fly(Flight(1.0, R"(
        ,{"at": 0.1, "key": "0x11052"}
        ,{"at": 0.1, "expect": {"lvar:zelvan_slidwin_one": 1, "lvar:zelvan_slidwin_two": 0}}
        ,{"at": 0.12, "key": "0x11052"}
        ,{"at": 0.12, "expect": {"lvar:zelvan_slidwin_one": 0}}
        ,{"at": 0.14, "key": "0x11052"}
        ,{"at": 0.5, "key": "0x11050"}
        ,{"at": 0.5, "expect": {"lvar:zelvan_slidwin_two": 1, "lvar:zelvan_slidwin_one": 1}})"));
    ASSERT_EQ(log.result.status, bench::kRunOk);
    std::vector<std::pair<std::string, int>> plays;
    for (const auto& e : log.Of("sound")) {
        if (e["op"] == "play" && e.value("name", "").rfind("slidew", 0) == 0) {
            plays.emplace_back(e["name"].get<std::string>(), e.value("result", -1));
        }
    }
    ASSERT_EQ(plays.size(), 4u);
    EXPECT_EQ(plays[0].first, "slidew_open.wav");
    EXPECT_EQ(plays[1].first, "slidew_close.wav");
    EXPECT_NE(plays[1].second, 1) << "a different sound plays at once";
    EXPECT_EQ(plays[2].first, "slidew_open.wav");
    EXPECT_EQ(plays[2].second, 1) << "still playing: not restarted";
    EXPECT_EQ(plays[3].first, "slidew_open.wav");
}

TEST(Cabin, TheBrakeLeverFollowsTheHostAndItsClickAndTheSwitchSendOneKeyEach) {
    const auto log = Fly(Flight(2.0, R"(
        ,{"at": 0.1, "set": {"token:321": 32767}}
        ,{"at": 0.2, "expect": {"lvar:zelvan_brake": 1.0}}
        ,{"at": 0.3, "system_event": "Pause", "data": 1}
        ,{"at": 0.4, "set": {"token:321": 0}}
        ,{"at": 0.6, "expect": {"lvar:zelvan_brake": 1.0}}
        ,{"at": 0.7, "system_event": "Pause", "data": 0}
        ,{"at": 0.8, "expect": {"lvar:zelvan_brake": 0.0}}
        ,{"at": 0.9, "set": {"token:321": 16383.5}}
        ,{"at": 1.0, "expect": {"lvar:zelvan_brake": 0.5}}
        ,{"at": 1.1, "key": "0x11067"}
        ,{"at": 1.2, "key": "0x11156"})"));
    ASSERT_EQ(log.result.status, bench::kRunOk);
    std::vector<nlohmann::json> brakes;
    std::vector<nlohmann::json> switches;
    for (const auto& e : log.Of("key")) {
        if (e["id"] == 0x10034) {
            brakes.push_back(e);
        } else if (e["id"] == 0x10380) {
            switches.push_back(e);
        }
    }
    ASSERT_EQ(brakes.size(), 1u);
    EXPECT_EQ(brakes[0]["value"], 0);
    ASSERT_EQ(switches.size(), 1u);
    EXPECT_EQ(switches[0]["value"], 1);
}

TEST(Cabin, ThePilotHeadRestsAtFirstMovesWithinItsLimitsAndRepeatsForTheSameSeed) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("zelvan-head-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    {
        std::ofstream scenario(folder / "head.json");
        scenario << Flight(120.0, "");
    }
    const std::string head = "lvar:zelvan_pilot_1_head";
    const std::string vert = "lvar:zelvan_pilot_1_head_vert";
    const auto run = [&](int seed, const char* trace) {
        std::string err;
        const int status = testing_support::RunBenchProgram(
            "run " + (folder / "head.json").string() + " --seed " + std::to_string(seed) +
                " --epoch 1700000000 --trace " + (folder / trace).string(),
            err);
        EXPECT_EQ(status, 0) << err;
        return Columns((folder / trace).string(), {head, vert});
    };
    const auto first = run(5, "a.csv");
    const auto again = run(5, "b.csv");
    const auto other = run(6, "c.csv");
    fs::remove_all(folder);

    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first, again) << "the same seed, the same head";
    EXPECT_NE(first, other);
    for (const auto& [name, values] : first) {
        std::size_t begin = 0;
        while (begin < values.size() && values[begin] < 0.0) {
            ++begin;
        }
        // The first decision falls on the update whose time steps add up to 1 s, the 19th.
        ASSERT_LT(begin + 19, values.size());
        for (std::size_t i = begin; i <= begin + 18; ++i) {
            EXPECT_EQ(values[i], 0.5) << name << " rests for the first second";
        }
        bool moved = false;
        for (std::size_t i = begin + 1; i < values.size(); ++i) {
            EXPECT_GE(values[i], 0.0) << name;
            EXPECT_LE(values[i], 1.0) << name;
            EXPECT_LE(std::fabs(values[i] - values[i - 1]), 0.0275 + 1e-12) << name;
            moved = moved || values[i] != 0.5;
        }
        EXPECT_TRUE(moved) << name;
    }
}
