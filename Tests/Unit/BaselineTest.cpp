// The baseline's recording of the module's host calls and the stand-in that makes them again.
#include "Bench/Flight/Baseline.h"
#include "Bench/Host/HostServices.h"
#include "Bench/Host/SimulatorConnection.h"
#include "Bench/Output/EventLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using bench::HostCall;
using Kind = HostCall::Kind;

struct Recorded {
    bench::EventLog log;
    bench::HostServices host{log};
    bench::SimulatorConnection simulator{log, host};
    bench::Baseline baseline{host, simulator};
    const fsx::PanelServiceTable* table = baseline.Table();
};

} // namespace

TEST(Baseline, RecordsTheCallsOfARecordedStepOnlyAndEveryCallReachesTheHost) {
    Recorded r;
    const std::uint32_t id = fsx::Get<fsx::slot::RegisterNamedVariable>(r.table)("zelvan_x");
    r.host.SetToken(60, 1.0);
    fsx::ModuleVar var{60, nullptr, 0, 0.0, 0.0};

    r.baseline.BeginStep(0, false);
    fsx::Get<fsx::slot::SetNamedVariableTypedValue>(r.table)(id, 2.0, 13);
    r.baseline.EndStep();
    EXPECT_EQ(r.host.NamedValue("zelvan_x"), 2.0) << "passed on while not recording";
    EXPECT_EQ(r.baseline.RecordedSteps(), 0u);
    EXPECT_TRUE(r.baseline.Calls().empty());

    r.baseline.BeginStep(0, true);
    fsx::Get<fsx::slot::LookupVar>(r.table)(&var);
    fsx::Get<fsx::slot::SetNamedVariableTypedValue>(r.table)(id, 5.5, 13);
    fsx::Get<fsx::slot::AircraftVarget>(r.table)(4, 7, 1);
    fsx::Get<fsx::slot::TriggerKeyEvent>(r.table)(0x1101D, 3);
    r.baseline.EndStep();
    EXPECT_EQ(var.value, 1.0);
    EXPECT_EQ(r.host.NamedValue("zelvan_x"), 5.5);
    ASSERT_EQ(r.baseline.RecordedSteps(), 1u);

    const auto& calls = r.baseline.Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].kind, Kind::LookupVar);
    EXPECT_EQ(calls[0].a, 60u);
    EXPECT_EQ(calls[1].kind, Kind::SetNamed);
    EXPECT_EQ(calls[1].a, id);
    EXPECT_EQ(calls[1].b, 13u);
    EXPECT_EQ(calls[1].value, 5.5);
    EXPECT_EQ(calls[2].kind, Kind::AircraftVar);
    EXPECT_EQ(calls[2].a, 4u);
    EXPECT_EQ(calls[2].b, 7u);
    EXPECT_EQ(calls[2].c, 1u);
    EXPECT_EQ(calls[3].kind, Kind::TriggerKey);
    EXPECT_EQ(calls[3].a, 0x1101Du);
    EXPECT_EQ(calls[3].b, 3u);
    EXPECT_EQ(calls[4].kind, Kind::StepEnd);
}

TEST(Baseline, TheStandInMakesTheRecordedCallsAgainAndTheHostsValuesCanBePutBack) {
    Recorded r;
    const std::uint32_t id = fsx::Get<fsx::slot::RegisterNamedVariable>(r.table)("zelvan_y");
    r.baseline.BeginStep(0, true);
    fsx::Get<fsx::slot::SetNamedVariableTypedValue>(r.table)(id, 7.25, 13);
    fsx::Get<fsx::slot::TriggerKeyEvent>(r.table)(0x1101D, 0);
    r.baseline.EndStep();

    r.host.SetNamedValue("zelvan_y", -1.0);
    r.host.SetAircraftVar("PAYLOAD STATION WEIGHT", "pounds", 3, 88.0);
    const bench::HostServices::Values kept = r.host.SaveValues();
    int handled = 0;
    r.host.keyAnswer = [&handled](std::uint32_t, std::uint32_t) { ++handled; };

    EXPECT_GT(r.baseline.Replay(3), 0.0) << "each replayed step is timed";
    EXPECT_EQ(r.host.NamedValue("zelvan_y"), 7.25) << "the recorded write was made again";
    r.host.DeliverTriggeredKeyEvents();
    EXPECT_EQ(handled, 0) << "the stand-in's key events are nobody's to handle";

    r.host.SetAircraftVar("PAYLOAD STATION WEIGHT", "pounds", 3, 1.0);
    r.host.RestoreValues(kept);
    EXPECT_EQ(r.host.NamedValue("zelvan_y"), -1.0);
    EXPECT_EQ(r.host.AircraftVar("PAYLOAD STATION WEIGHT", "pounds", 3), 88.0);
}

TEST(Baseline, WithoutARecordedStepThereIsNoBaseline) {
    Recorded r;
    r.baseline.BeginStep(0, false);
    r.baseline.EndStep();
    EXPECT_EQ(r.baseline.Replay(2), 0.0);
}

TEST(Baseline, ItsSampleStaysInTheSameMemoryAndSpreadOverTheWholeFlight) {
    Recorded r;
    const std::uint32_t id = fsx::Get<fsx::slot::RegisterNamedVariable>(r.table)("zelvan_z");
    // Long enough for the sample to fill and be thinned three times.
    constexpr std::int64_t kSteps =
        bench::Baseline::kRecordEvery * static_cast<std::int64_t>(bench::Baseline::kKeptSteps) * 8;
    const char* name = "zelvan_a_name_long_enough_to_fill_the_arena";
    std::size_t mostSteps = 0;
    std::size_t capacityHalfway = 0;
    for (std::int64_t step = 0; step < kSteps; ++step) {
        // Every 400th step saves and is never recorded, as in a flight.
        r.baseline.BeginStep(step, step % 400 != 0);
        fsx::Get<fsx::slot::SetNamedVariableTypedValue>(r.table)(id, static_cast<double>(step), 13);
        fsx::Get<fsx::slot::CheckNamedVariable>(r.table)(name);
        // The last three quarters of the flight make two more calls a step.
        for (int extra = 0; step >= kSteps / 4 && extra < 2; ++extra) {
            fsx::Get<fsx::slot::AircraftVarget>(r.table)(4, 7, 0);
        }
        r.baseline.EndStep();
        mostSteps = std::max(mostSteps, r.baseline.RecordedSteps());
        if (step == kSteps / 2) {
            capacityHalfway = r.baseline.Calls().capacity();
        }
    }
    EXPECT_LT(mostSteps, bench::Baseline::kKeptSteps);
    EXPECT_GE(r.baseline.RecordedSteps(), bench::Baseline::kKeptSteps / 2);
    EXPECT_EQ(r.baseline.Calls().capacity(), capacityHalfway) << "no more memory as it goes on";

    // Each kept step's calls stayed together (its write is its own number), at the stride, from
    // the start of the flight to its end; its name was still kept.
    const std::int64_t stride = r.baseline.Stride();
    EXPECT_EQ(stride, bench::Baseline::kRecordEvery * 8);
    std::vector<std::int64_t> kept;
    std::vector<int> callsPerStep;
    double written = -1.0;
    int calls = 0;
    bool named = false;
    for (const HostCall& call : r.baseline.Calls()) {
        ++calls;
        if (call.kind == Kind::SetNamed) {
            written = call.value;
        }
        named = named || call.kind == Kind::CheckNamed;
        if (call.kind == Kind::StepEnd) {
            const std::int64_t number = bench::Baseline::StepNumber(call);
            EXPECT_EQ(written, static_cast<double>(number));
            EXPECT_EQ(number % stride, 0);
            EXPECT_TRUE(named) << "step " << number << " lost its name";
            kept.push_back(number);
            callsPerStep.push_back(calls);
            calls = 0;
            named = false;
        }
    }
    ASSERT_EQ(kept.size(), r.baseline.RecordedSteps());
    EXPECT_LE(kept.front(), 2 * stride);
    EXPECT_GE(kept.back(), kSteps - 2 * stride);
    // The sample's median step is the flight's: one of its last three quarters.
    std::nth_element(callsPerStep.begin(), callsPerStep.begin() + callsPerStep.size() / 2,
                     callsPerStep.end());
    EXPECT_EQ(callsPerStep[callsPerStep.size() / 2], 5);
    const auto late =
        std::count_if(kept.begin(), kept.end(), [](std::int64_t n) { return n >= kSteps / 4; });
    EXPECT_NEAR(static_cast<double>(late) / static_cast<double>(kept.size()), 0.75, 0.02);

    EXPECT_GT(r.baseline.Replay(1), 0.0);
    EXPECT_EQ(r.host.NamedValue("zelvan_z"), static_cast<double>(kept.back()))
        << "the replay makes the kept steps' calls";
}
