// The baseline's recording of the module's host calls and the stand-in that makes them again.
#include "Bench/Flight/Baseline.h"
#include "Bench/Host/HostServices.h"
#include "Bench/Host/SimulatorConnection.h"
#include "Bench/Output/EventLog.h"

#include <gtest/gtest.h>

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

    r.baseline.BeginStep(false);
    fsx::Get<fsx::slot::SetNamedVariableTypedValue>(r.table)(id, 2.0, 13);
    r.baseline.EndStep();
    EXPECT_EQ(r.host.NamedValue("zelvan_x"), 2.0) << "passed on while not recording";
    EXPECT_EQ(r.baseline.RecordedSteps(), 0u);
    EXPECT_TRUE(r.baseline.Calls().empty());

    r.baseline.BeginStep(true);
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
    r.baseline.BeginStep(true);
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
    r.baseline.BeginStep(false);
    r.baseline.EndStep();
    EXPECT_EQ(r.baseline.Replay(2), 0.0);
}
