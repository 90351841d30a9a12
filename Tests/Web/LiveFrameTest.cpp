#include "Bench/Web/LiveFrame.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using bench::web::LiveFrame;
using nlohmann::json;

TEST(LiveFrame, ChangesCarryOnlyWhatMovedSinceThePageLastSaw) {
    LiveFrame first;
    first.sequence = 1;
    first.t = 0.5;
    first.namedVars = {{"zelvan_speed_needle", 25.0}, {"ovi_inclin_ball", 0.5}};
    first.hostValues = {{"token:79", 3.0}};
    first.panel = {{0.0, false, ""}, {1.0, true, "80"}};
    first.panelVersion = 1;
    first.diagnostics = {"one"};
    first.diagnosticCount = 1;

    // A new page gets everything.
    const json all = json::parse(FrameChanges(LiveFrame{}, first));
    EXPECT_EQ(all["seq"], 1);
    EXPECT_EQ(all["lvars"].size(), 2u);
    EXPECT_EQ(all["host"]["token:79"], 3.0);
    ASSERT_EQ(all["panel"].size(), 2u);
    EXPECT_EQ(all["panel"][1]["text"], "80");
    EXPECT_EQ(all["panel"][1]["hidden"], true);
    EXPECT_EQ(all["diag"], json::array({"one"}));

    // One needle moved, a variable appeared (NaN as null), two diagnostics came of which the
    // frame still holds the last one only; the panel and the host values stayed.
    LiveFrame second = first;
    second.sequence = 2;
    second.paused = true;
    second.namedVars[0].second = 30.0;
    second.namedVars.emplace_back("air_cord", std::nan(""));
    second.diagnostics = {"three"};
    second.diagnosticCount = 3;
    const json changes = json::parse(FrameChanges(first, second));
    EXPECT_EQ(changes["seq"], 2);
    EXPECT_EQ(changes["paused"], true);
    EXPECT_EQ(changes["lvars"], json({{"zelvan_speed_needle", 30.0}, {"air_cord", nullptr}}));
    EXPECT_FALSE(changes.contains("panel"));
    EXPECT_FALSE(changes.contains("host"));
    EXPECT_EQ(changes["diag"], json::array({"three"}));

    // The panel is sent again when its elements change.
    LiveFrame third = second;
    third.panel[0].hidden = true;
    third.panelVersion = 2;
    const json panel = json::parse(FrameChanges(second, third));
    ASSERT_TRUE(panel.contains("panel"));
    EXPECT_EQ(panel["panelVersion"], 2);
    EXPECT_EQ(panel["panel"][0]["hidden"], true);
    EXPECT_TRUE(panel["lvars"].empty());
    EXPECT_FALSE(panel.contains("diag"));
}

} // namespace
