#include "Bench/Web/Commands.h"

#include <gtest/gtest.h>

namespace {

using bench::Action;
using bench::web::Params;

TEST(Commands, KeyEventsOnlyFromTheCockpitsCustomRange) {
    // Both ends of the range, in hex and decimal, with a negative value as axis events carry.
    auto first = bench::web::KeyCommand(Params{{"id", "0x11000"}});
    EXPECT_EQ(first.status, 200);
    EXPECT_EQ(first.action.kind, Action::Kind::Key);
    EXPECT_EQ(first.action.id, 0x11000u);
    EXPECT_EQ(first.action.value, 0u);
    auto last = bench::web::KeyCommand(Params{{"id", "131071"}, {"value", "-1"}});
    EXPECT_EQ(last.status, 200);
    EXPECT_EQ(last.action.id, 0x1FFFFu);
    EXPECT_EQ(last.action.value, 0xFFFFFFFFu);

    // Host events (the spoilers' toggle) and anything beyond the range are refused.
    EXPECT_EQ(bench::web::KeyCommand(Params{{"id", "0x10035"}}).status, 403);
    EXPECT_EQ(bench::web::KeyCommand(Params{{"id", "0x10FFF"}}).status, 403);
    EXPECT_EQ(bench::web::KeyCommand(Params{{"id", "0x20000"}}).status, 403);
    EXPECT_EQ(bench::web::KeyCommand(Params{{"id", "-69637"}}).status, 403);
    // Malformed: no id, two ids, no number, trailing text, a value beyond 32 bits.
    EXPECT_EQ(bench::web::KeyCommand(Params{}).status, 400);
    EXPECT_EQ(bench::web::KeyCommand(Params{{"id", "69637"}, {"id", "69637"}}).status, 400);
    EXPECT_EQ(bench::web::KeyCommand(Params{{"id", "battery"}}).status, 400);
    EXPECT_EQ(bench::web::KeyCommand(Params{{"id", "69637 "}}).status, 400);
    EXPECT_EQ(bench::web::KeyCommand(Params{{"id", "0x"}}).status, 400);
    EXPECT_EQ(bench::web::KeyCommand(Params{{"id", "69637"}, {"value", "4294967296"}}).status, 400);
    EXPECT_EQ(bench::web::KeyCommand(Params{{"id", "99999999999999999999999"}}).status, 400);
}

TEST(Commands, MouseEventsOnThePanelWithTheHostsFlags) {
    auto click = bench::web::MouseCommand(Params{{"x", "387"}, {"y", "123"}});
    EXPECT_EQ(click.status, 200);
    EXPECT_EQ(click.action.kind, Action::Kind::Mouse);
    EXPECT_EQ(click.action.x, 387);
    EXPECT_EQ(click.action.y, 123);
    EXPECT_EQ(click.action.flags, 0x20000000u);
    EXPECT_EQ(bench::web::MouseCommand(Params{{"x", "849"}, {"y", "431"}, {"button", "wheel-up"}})
                  .action.flags,
              0x4000u);
    EXPECT_EQ(bench::web::MouseCommand(Params{{"x", "0"}, {"y", "0"}, {"button", "wheel-down"}})
                  .action.flags,
              0x2000u);

    EXPECT_EQ(bench::web::MouseCommand(Params{{"x", "850"}, {"y", "10"}}).status, 400);
    EXPECT_EQ(bench::web::MouseCommand(Params{{"x", "10"}, {"y", "432"}}).status, 400);
    EXPECT_EQ(bench::web::MouseCommand(Params{{"x", "-1"}, {"y", "10"}}).status, 400);
    EXPECT_EQ(bench::web::MouseCommand(Params{{"x", "10"}}).status, 400);
    EXPECT_EQ(bench::web::MouseCommand(Params{{"x", "1.5"}, {"y", "10"}}).status, 400);
    EXPECT_EQ(
        bench::web::MouseCommand(Params{{"x", "10"}, {"y", "10"}, {"button", "right"}}).status,
        400);
}

TEST(Commands, HostEventsArePauseSoundAndSimStartOnly) {
    auto pause = bench::web::HostCommand(Params{{"event", "Pause"}, {"data", "1"}});
    EXPECT_EQ(pause.status, 200);
    EXPECT_EQ(pause.action.kind, Action::Kind::SystemEvent);
    EXPECT_EQ(pause.action.eventName, "Pause");
    EXPECT_EQ(pause.action.id, 1u);
    auto soundOff = bench::web::HostCommand(Params{{"event", "Sound"}, {"data", "0"}});
    EXPECT_EQ(soundOff.status, 200);
    EXPECT_EQ(soundOff.action.id, 0u);
    EXPECT_EQ(bench::web::HostCommand(Params{{"event", "SimStart"}}).status, 200);

    EXPECT_EQ(bench::web::HostCommand(Params{{"event", "4sec"}}).status, 403);
    EXPECT_EQ(bench::web::HostCommand(Params{{"event", "View"}, {"data", "1"}}).status, 403);
    EXPECT_EQ(bench::web::HostCommand(Params{{"event", "Pause"}}).status, 400);
    EXPECT_EQ(bench::web::HostCommand(Params{{"event", "Pause"}, {"data", "2"}}).status, 400);
    EXPECT_EQ(bench::web::HostCommand(Params{{"event", "SimStart"}, {"data", "1"}}).status, 400);
    EXPECT_EQ(bench::web::HostCommand(Params{}).status, 400);
}

} // namespace
