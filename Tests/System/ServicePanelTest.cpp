// The 2D service panel end to end: clicks and wheel turns in through the bench's mouse, what the
// panel draws, the payload stations and seat figures, the batteries and failures it shows, and
// the settings file.
#include "Support/Flight.h"

#include "Bench/Flight/BuiltinFlight.h"
#include "Bench/Flight/Scenario.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

using nlohmann::json;
using testing_support::Fly;

namespace {

constexpr std::uint32_t kClick = 0x20000000;
constexpr std::uint32_t kDrag = 0x800000;
constexpr std::uint32_t kWheelUp = 0x4000;
constexpr std::uint32_t kWheelDown = 0x2000;
constexpr double kPound = 0.453592;

// Points inside the panel's areas.
struct Point {
    int x;
    int y;
};
constexpr Point kFrontSeat{400, 140};
constexpr Point kBackPilot{560, 100};
constexpr Point kBackTank{620, 100};
constexpr Point kFrontActive{460, 275};
constexpr Point kBackActive{620, 275};
constexpr Point kFrontDown{412, 310};
constexpr Point kFrontUp{450, 310};
constexpr Point kFrontWheel{430, 310};
constexpr Point kBackDown{584, 310};
constexpr Point kBackUp{621, 310};
constexpr Point kBackWheel{600, 310};
constexpr Point kSliderDown{15, 85};
constexpr Point kSliderUp{160, 85};
constexpr int kSliderBarX = 22;
constexpr Point kRepair{160, 60};
constexpr Point kCoversStart{30, 180};
constexpr Point kBattery1{320, 100};
constexpr Point kBattery2{450, 100};
constexpr Point kRadioBattery{700, 75};

json Mouse(double at, Point p, std::uint32_t flags = kClick) {
    return {{"at", at}, {"mouse", {{"x", p.x}, {"y", p.y}, {"flags", flags}}}};
}

json Expect(double at, json values, double tol = 1e-9) {
    return {{"at", at}, {"expect", std::move(values)}, {"tol", tol}};
}

std::string Scenario(double duration, json actions, double groundContact = 1.0,
                     const std::string& settings = "") {
    json s = {{"duration", duration},
              {"host", {{"token:60", groundContact}}},
              {"actions", std::move(actions)}};
    if (!settings.empty()) {
        s["settings"] = settings;
    }
    return s.dump();
}

// Every element of the seating, hidden (1) or shown (0).
json Seating(int frontOnly, int frontTank, int two, int frontButton, int frontLit, int backButton,
             int backLit, int frontMass, int backMass) {
    return {{"element:2:hidden", frontOnly}, {"element:3:hidden", frontTank},
            {"element:4:hidden", two},       {"element:5:hidden", frontButton},
            {"element:6:hidden", frontLit},  {"element:7:hidden", backButton},
            {"element:8:hidden", backLit},   {"element:9:hidden", frontMass},
            {"element:10:hidden", backMass}, {"element:11:hidden", frontMass},
            {"element:12:hidden", backMass}};
}

// The mass a payload station last received before time t, in kg; -1 when none.
double Station(const testing_support::FlightLog& log, int define, double t) {
    double kg = -1.0;
    for (const auto& e : log.Of("simconnect", "SetDataOnSimObject")) {
        if (e["define"] == define && e["t"].get<double>() <= t + 1e-9) {
            kg = e["value"].get<double>() * kPound;
        }
    }
    return kg;
}

int StationWrites(const testing_support::FlightLog& log, int define, double from, double to) {
    int n = 0;
    for (const auto& e : log.Of("simconnect", "SetDataOnSimObject")) {
        const double t = e["t"].get<double>();
        n += e["define"] == define && t >= from - 1e-9 && t <= to + 1e-9 ? 1 : 0;
    }
    return n;
}

// The cell of a trace column in the row of time t, as written.
std::string TraceCell(const std::string& trace, double t, const std::string& column) {
    auto split = [](const std::string& line) {
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos;
             start = comma + 1) {
            cells.push_back(line.substr(start, comma - start));
        }
        cells.push_back(line.substr(start));
        return cells;
    };
    std::istringstream rows(trace);
    std::string line;
    std::getline(rows, line);
    const auto header = split(line);
    const auto at = std::find(header.begin(), header.end(), column) - header.begin();
    while (std::getline(rows, line)) {
        const auto cells = split(line);
        if (std::fabs(std::stod(cells[0]) - t) < 1e-9 &&
            static_cast<std::size_t>(at) < cells.size()) {
            return cells[static_cast<std::size_t>(at)];
        }
    }
    return "(no such cell)";
}

bool Has(const std::string& text, const std::string& line) {
    return text.find(line + "\n") != std::string::npos;
}

} // namespace

TEST(ServicePanel, SeatButtonsFollowTheirRulesInTheIconsAndMassTexts) {
    const json actions = {
        Expect(0.05, Seating(1, 1, 1, 1, 1, 1, 1, 1, 1)),
        // Nobody in front: the back seat stays empty.
        Mouse(0.1, kBackPilot),
        Mouse(0.1, kBackTank),
        Expect(0.15, Seating(1, 1, 1, 1, 1, 1, 1, 1, 1)),
        Mouse(0.2, kFrontSeat),
        Expect(0.25, Seating(0, 1, 1, 0, 0, 1, 1, 0, 1)),
        Expect(0.25, {{"element:11:text", 95}}),
        Mouse(0.3, kBackPilot),
        Expect(0.35, Seating(1, 1, 0, 0, 0, 0, 1, 0, 0)),
        Expect(0.35, {{"element:12:text", 95}}),
        // The active pilot follows the lit button.
        Mouse(0.4, kBackActive),
        Expect(0.45, Seating(1, 1, 0, 0, 1, 0, 0, 0, 0)),
        Mouse(0.5, kFrontActive),
        Expect(0.55, Seating(1, 1, 0, 0, 0, 0, 1, 0, 0)),
        // The tank takes the back seat and the front pilot flies.
        Mouse(0.6, kBackActive),
        Mouse(0.6, kBackTank),
        Expect(0.65, Seating(1, 0, 1, 0, 0, 1, 1, 0, 0)),
        Expect(0.65, {{"element:12:text", 94}}),
        Mouse(0.7, kBackTank),
        Expect(0.75, Seating(0, 1, 1, 0, 0, 1, 1, 0, 1)),
        // Removing the front pilot removes the back pilot too; the texts read 0.
        Mouse(0.8, kBackPilot),
        Mouse(0.8, kFrontSeat),
        Expect(0.85, Seating(1, 1, 1, 1, 1, 1, 1, 1, 1)),
        Expect(0.85, {{"element:11:text", 0}, {"element:12:text", 0}}),
        // Parking from the panel empties the seats, and the seat buttons only keep them empty.
        Mouse(0.9, kFrontSeat),
        Mouse(0.9, kBackPilot),
        Expect(0.95, Seating(1, 1, 0, 0, 0, 0, 1, 0, 0)),
        Mouse(1.0, kCoversStart),
        Expect(1.05, Seating(1, 1, 1, 1, 1, 1, 1, 1, 1)),
        Mouse(1.1, kFrontSeat),
        Mouse(1.1, kBackPilot),
        Mouse(1.1, kBackTank),
        Expect(1.15, Seating(1, 1, 1, 1, 1, 1, 1, 1, 1)),
    };
    const auto log = Fly(Scenario(1.2, actions));
    EXPECT_EQ(log.result.status, bench::kRunOk);
    // The cockpit view is left once, when the front pilot is removed.
    int viewKeys = 0;
    for (const auto& e : log.Of("key")) {
        viewKeys += e["id"] == 0x1001F && std::fabs(e["t"].get<double>() - 0.8) < 1e-9 ? 1 : 0;
    }
    EXPECT_EQ(viewKeys, 1);
}

TEST(ServicePanel, MassesAndTheSliderStayWithinTheirLimits) {
    json actions = {Mouse(0.1, kFrontSeat), Mouse(0.1, kBackTank)};
    auto repeat = [&actions](double at, Point p, int times, std::uint32_t flags = kClick) {
        for (int i = 0; i < times; ++i) {
            actions.push_back(Mouse(at, p, flags));
        }
    };
    repeat(0.2, kFrontUp, 3);
    repeat(0.2, kBackUp, 3);
    actions.push_back(Expect(0.25, {{"element:11:text", 95}, {"element:12:text", 94}}));
    repeat(0.3, kFrontDown, 40);
    repeat(0.3, kBackDown, 100);
    actions.push_back(Expect(0.35, {{"element:11:text", 65}, {"element:12:text", 0}}));
    // The wheel: on the text both ways; on an arrow up raises and down lowers.
    repeat(0.4, kFrontWheel, 2, kWheelUp);
    repeat(0.4, kFrontDown, 1, kWheelUp);
    repeat(0.4, kFrontUp, 2, kWheelDown);
    repeat(0.4, kBackWheel, 3, kWheelUp);
    repeat(0.4, kBackWheel, 1, kWheelDown);
    repeat(0.4, kBackUp, 1, kWheelUp);
    // A click reaches no wheel-only area.
    repeat(0.4, kBackWheel, 2, kClick);
    actions.push_back(Expect(0.45, {{"element:11:text", 66}, {"element:12:text", 3}}));
    // The back pilot's own mass.
    actions.push_back(Mouse(0.5, kBackPilot));
    repeat(0.5, kBackDown, 31);
    actions.push_back(Expect(0.55, {{"element:12:text", 65}}));

    // The slider: a click or drag on the bar sets it to the point, at most 125; arrows and wheel
    // step by 1, never below 0.
    actions.push_back(Mouse(0.6, {kSliderBarX + 133, 85}));
    repeat(0.6, kSliderUp, 2);
    actions.push_back(Expect(0.65, {{"element:13", 125}}));
    actions.push_back(Mouse(0.7, {kSliderBarX + 50, 85}, kDrag));
    actions.push_back(Expect(0.75, {{"element:13", 50}}));
    repeat(0.8, kSliderDown, 1);
    repeat(0.8, kSliderDown, 2, kWheelUp);
    repeat(0.8, kSliderUp, 1);
    repeat(0.8, kSliderUp, 3, kWheelDown);
    repeat(0.8, {kSliderBarX + 10, 85}, 2, kWheelUp);
    actions.push_back(Expect(0.85, {{"element:13", 51}}));
    repeat(0.9, kSliderDown, 60);
    actions.push_back(Expect(0.95, {{"element:13", 0}}));
    const auto log = Fly(Scenario(1.0, actions), true);
    EXPECT_EQ(log.result.status, bench::kRunOk);
    // The trace keeps the texts as drawn: two characters, right-aligned.
    EXPECT_EQ(TraceCell(log.trace, 0.45, "element:11:text"), "66");
    EXPECT_EQ(TraceCell(log.trace, 0.45, "element:12:text"), " 3");
    EXPECT_EQ(TraceCell(log.trace, 0.45, "element:12:hidden"), "0");
    EXPECT_EQ(TraceCell(log.trace, 0.45, "element:13"), "0");
    EXPECT_EQ(TraceCell(log.trace, 0.95, "element:13"), "0");
    EXPECT_EQ(TraceCell(log.trace, 0.75, "element:13"), "50");
}

TEST(ServicePanel, BatteriesShowTheirStateAndChargeAndAFlatOneGoesOnTheCharger) {
    const json actions = {
        // Before the simulation starts there is no power system: no record, bars at 0, and
        // a click changes nothing.
        Expect(0.05, {{"element:15", 0}, {"element:16", 0}, {"element:19", 0}}),
        Mouse(0.1, kBattery1),
        Mouse(0.1, kRadioBattery),
        {{"at", 0.2}, {"system_event", "SimStart"}},
        Expect(0.5, {{"element:15", 51},
                     {"element:16", 5.1},
                     {"element:17", 102},
                     {"element:18", 25.5},
                     {"element:19", 0},
                     {"element:20", 0}}),
        // Flat: onto the charger; charged: only a charge record; none: charged and recorded.
        Mouse(0.6, kBattery1),
        Mouse(0.6, kBattery2),
        Mouse(0.6, kRadioBattery),
        Expect(0.61, {{"element:15", 102}, {"element:17", 102}, {"element:19", 102}}),
        Expect(1.5, {{"element:16", 51}, {"element:18", 25.5}, {"element:20", 51}}),
    };
    const auto log = Fly(Scenario(2.0, actions, 1.0, "[power]\nbattery1=0.1\nbattery2=0.5\n"));
    EXPECT_EQ(log.result.status, bench::kRunOk);
    for (const char* line : {"battery1=1", "battery2=0.5", "batteryRadio=1"}) {
        EXPECT_TRUE(Has(log.settings, line)) << line << "\n" << log.settings;
    }
}

TEST(ServicePanel, TheLampShowsAFailureAndTheRepairClearsThemAll) {
    const json actions = {
        Expect(0.05, {{"element:14:hidden", 1}}),
        Mouse(0.1, kRepair), // before the start: nothing to repair, nothing breaks
        {{"at", 0.2}, {"system_event", "SimStart"}},
        Expect(0.5, {{"element:14:hidden", 0}}),
        Mouse(0.6, kRepair),
        Expect(0.65, {{"element:14:hidden", 1}}),
    };
    const auto log = Fly(
        Scenario(1.0, actions, 1.0, "[failures]\nstatic_port_2=True\nairspeed_needle_1=True\n"));
    EXPECT_EQ(log.result.status, bench::kRunOk);
    EXPECT_TRUE(log.Diagnostics().empty());
    for (const char* line : {"static_port_2=False", "climb_needle_2=False", "altimeter_2=False",
                             "airspeed_needle_1=False"}) {
        EXPECT_TRUE(Has(log.settings, line)) << line << "\n" << log.settings;
    }
}

TEST(ServicePanel, StationsAndSeatFiguresFollowThePanel) {
    const json actions = {
        {{"at", 0.0}, {"system_event", "SimStart"}},
        Mouse(0.5, kFrontSeat),
        Mouse(1.0, kBackPilot),
        Expect(1.05, {{"lvar:zelvan_back_seat_pilot", 1},
                      {"lvar:zelvan_back_seat", 1},
                      {"lvar:zelvan_back_seat_tank", 0},
                      {"lvar:zelvan_front_seat", 0}}),
        // Flying from the back seat in the cockpit view hides that seat's figure only.
        Mouse(1.5, kBackActive),
        Expect(1.55, {{"lvar:zelvan_back_seat_pilot", 0},
                      {"lvar:zelvan_back_seat", 1},
                      {"lvar:zelvan_front_seat", 1}}),
        {{"at", 1.6}, {"system_event", "View"}, {"data", 0}},
        Expect(1.65, {{"lvar:zelvan_back_seat_pilot", 1}}),
        Mouse(2.0, kBackTank),
        Expect(2.05, {{"lvar:zelvan_back_seat_pilot", 0},
                      {"lvar:zelvan_back_seat", 0},
                      {"lvar:zelvan_back_seat_tank", 1},
                      {"lvar:zelvan_front_seat", 1}}),
    };
    const auto log = Fly(Scenario(2.2, actions, 1.0,
                                  "[cabin]\nfrontSeat=False\npilot1Weight=70\npilot2Weight=75\n"
                                  "waterTankWeight=40\n"));
    EXPECT_EQ(log.result.status, bench::kRunOk);
    // Front seat empty: station 1 receives 0 whatever mass the panel keeps.
    EXPECT_NEAR(Station(log, 0x1000B, 0.45), 0.0, 1e-9);
    EXPECT_NEAR(Station(log, 0x1000B, 0.95), 70.0, 1e-9);
    EXPECT_NEAR(Station(log, 0x1000C, 0.95), 0.0, 1e-9);
    EXPECT_NEAR(Station(log, 0x1000C, 1.95), 75.0, 1e-9);
    EXPECT_NEAR(Station(log, 0x1000F, 1.95), 0.0, 1e-9);
    EXPECT_NEAR(Station(log, 0x1000C, 2.2), 0.0, 1e-9);
    EXPECT_NEAR(Station(log, 0x1000F, 2.2), 40.0, 1e-9);
}

TEST(ServicePanel, TheWaterDrainsThroughTheOpenValveToZeroAndSurvivesARestart) {
    const std::string settings = "[cabin]\nbackSeat=2\nwaterTankWeight=50\n";
    const json valveOpen = {{"at", 1.0}, {"set", {{"avar:WATER BALLAST VALVE:Bool:1", 1}}}};
    // 100 updates a second, each letting out 0.0388888 kg: 50 kg last about 12.9 s. The module
    // stops with the valve still open, long past empty, after four saves.
    const json drained = {
        {{"at", 0.0}, {"system_event", "SimStart"}},
        Expect(0.5, {{"element:12:text", 50}}),
        valveOpen,
        Expect(2.0, {{"element:12:text", 46}}),
        Expect(13.8, {{"element:12:text", 0}}),
        Expect(16.5, {{"element:12:text", 0}}),
    };
    const auto log = Fly(Scenario(17.0, drained, 1.0, settings));
    EXPECT_EQ(log.result.status, bench::kRunOk);
    EXPECT_NEAR(Station(log, 0x1000F, 0.99), 50.0, 1e-9);
    EXPECT_EQ(StationWrites(log, 0x1000F, 1.0, 17.0), 0) << "the station waits while it drains";
    EXPECT_TRUE(Has(log.settings, "waterTankWeight=0")) << log.settings;

    // Stopped half way, the station receives the mass left, and the next flight finds it.
    const json halfWay = {
        {{"at", 0.0}, {"load", true}},
        {{"at", 0.0}, {"system_event", "SimStart"}},
        valveOpen,
        {{"at", 5.0}, {"set", {{"avar:WATER BALLAST VALVE:Bool:1", 0}}}},
        {{"at", 5.2}, {"unload", true}},
        {{"at", 5.5}, {"load", true}},
        {{"at", 5.6}, {"system_event", "SimStart"}},
        Expect(6.0, {{"element:12:text", 34}, {"element:3:hidden", 0}}),
    };
    const auto restarted = Fly(Scenario(6.5, halfWay, 1.0, settings));
    EXPECT_EQ(restarted.result.status, bench::kRunOk);
    EXPECT_NEAR(Station(restarted, 0x1000F, 5.1), 34.0, 1e-9);
    EXPECT_TRUE(Has(restarted.settings, "waterTankWeight=34")) << restarted.settings;
    EXPECT_TRUE(Has(restarted.settings, "backSeat=2")) << restarted.settings;
}

TEST(ServicePanel, TheToggleGuardAnswersOnceAndTheCockpitRefillAsksTheHost) {
    const json actions = {
        {{"at", 0.0}, {"system_event", "SimStart"}},
        {{"at", 0.5}, {"key", 65906}},
        {{"at", 1.0}, {"key", 69719}},
    };
    const auto log = Fly(Scenario(1.5, actions, 0.0));
    EXPECT_EQ(log.result.status, bench::kRunOk);
    EXPECT_EQ(log.KeysSent(65906), 1);
    EXPECT_EQ(log.KeysSent(66698), 1);

    // A toggle raised while token 60 is high is answered once when it falls, and the answer
    // coming back is not answered again; then the guard works as before.
    const json raised = {
        {{"at", 0.0}, {"system_event", "SimStart"}},
        {{"at", 0.5}, {"key", 65906}},
        {{"at", 1.0}, {"set", {{"token:60", 0}}}},
        {{"at", 1.5}, {"key", 65906}},
    };
    const auto answered = Fly(Scenario(2.0, raised, 1.0));
    EXPECT_EQ(answered.result.status, bench::kRunOk);
    int early = 0;
    for (const auto& e : answered.Of("key")) {
        early += e["id"] == 65906 && e["t"].get<double>() < 1.4 ? 1 : 0;
    }
    EXPECT_EQ(early, 1);
    EXPECT_EQ(answered.KeysSent(65906), 2);
}

TEST(ServicePanel, APanelUsedBeforeTheStartAndAcrossAReloadNeverSpoilsTheNextFlight) {
    json actions = json::array({json{{"at", 0.0}, {"load", true}}});
    for (const Point p :
         {kBattery1, kBattery2, kRadioBattery, kFrontSeat, kBackPilot, kBackTank, kFrontActive,
          kBackActive, kFrontDown, kFrontUp, kBackDown, kBackUp, kSliderDown, kSliderUp, kRepair}) {
        actions.push_back(Mouse(0.1, p));
        actions.push_back(Mouse(0.1, p, kWheelUp));
        actions.push_back(Mouse(0.1, p, kWheelDown));
        actions.push_back(Mouse(0.1, p, kDrag));
    }
    actions.push_back(Mouse(0.1, {kSliderBarX + 20, 85}, kDrag));
    for (const json& a : json::array({
             json{{"at", 0.3}, {"unload", true}},
             Mouse(0.35, kFrontSeat), // no panel, nothing to reach
             json{{"at", 0.4}, {"load", true}},
             // A fresh module starts from the panel's initial values.
             Expect(0.45, {{"element:13", 0}, {"element:2:hidden", 1}, {"element:15", 0}}),
             Mouse(0.5, kBattery1),
             Mouse(0.5, kRepair),
             json{{"at", 0.6}, {"system_event", "SimStart"}},
             // The flight reads its file: a battery clicked before the start has no record.
             Expect(0.8, {{"element:15", 0}, {"element:4:hidden", 0}, {"element:13", 30}}),
         })) {
        actions.push_back(a);
    }
    const auto log =
        Fly(Scenario(1.0, actions, 1.0, "[cabin]\nbackSeat=1\n[failures]\nslider=30\n"));
    EXPECT_EQ(log.result.status, bench::kRunOk);
    EXPECT_TRUE(log.Diagnostics().empty());
    for (const char* line : {"battery1=-1", "battery2=-1", "batteryRadio=-1", "backSeat=1",
                             "frontSeat=True", "slider=30"}) {
        EXPECT_TRUE(Has(log.settings, line)) << line << "\n" << log.settings;
    }
}

TEST(ServicePanel, ThePictureShowsWhatTheElementsShow) {
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "zelvan-panel-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    bench::RunOptions options;
    options.settingsDir = folder + "/settings";
    options.rootDir = folder + "/root";
    options.panelPng = folder + "/pictures";
    bench::FindCompanions(options);
    const json actions = {
        {{"at", 0.0}, {"system_event", "SimStart"}},
        {{"at", 0.5}, {"snapshot", "front"}},
        Mouse(0.6, kBackTank),
        {{"at", 0.7}, {"snapshot", "tank"}},
    };
    const auto result =
        bench::RunScenario(bench::ParseScenario(Scenario(0.8, actions), "picture.json"), options);
    ASSERT_EQ(result.status, bench::kRunOk) << result.error;

    using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
    auto load = [&folder](const char* name) {
        return Surface(cairo_image_surface_create_from_png((folder + "/pictures/" + name).c_str()),
                       &cairo_surface_destroy);
    };
    const Surface front = load("front.png");
    const Surface tank = load("tank.png");
    ASSERT_EQ(cairo_surface_status(front.get()), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_surface_status(tank.get()), CAIRO_STATUS_SUCCESS);
    EXPECT_TRUE(fs::exists(folder + "/pictures/end.png"));
    ASSERT_EQ(cairo_image_surface_get_width(front.get()), 850);
    ASSERT_EQ(cairo_image_surface_get_height(front.get()), 432);

    // Pixels that differ between the pictures inside a box.
    auto changed = [&front, &tank](int x, int y, int w, int h) {
        const int stride = cairo_image_surface_get_stride(front.get());
        const unsigned char* a = cairo_image_surface_get_data(front.get());
        const unsigned char* b = cairo_image_surface_get_data(tank.get());
        int n = 0;
        for (int row = y; row < y + h; ++row) {
            for (int col = x; col < x + w; ++col) {
                const std::size_t at = static_cast<std::size_t>(row * stride + col * 4);
                n += std::memcmp(a + at, b + at, 3) != 0 ? 1 : 0;
            }
        }
        return n;
    };
    // The tank's view shows where the back seat was empty, and the back mass display with it.
    EXPECT_GT(changed(279, 193, 396, 164), 500);
    EXPECT_GT(changed(582, 303, 45, 29), 300);
    // What did not change is drawn the same: the failures, the parking buttons, the batteries.
    EXPECT_EQ(changed(0, 30, 200, 180), 0);
    EXPECT_EQ(changed(300, 60, 550, 60), 0);
    std::error_code ec;
    fs::remove_all(folder, ec);
}
