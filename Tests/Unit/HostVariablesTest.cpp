// Named variables, units and gauge variables read through the host's panel-service table.
#include "Bench/Host/HostServices.h"
#include "Bench/Output/EventLog.h"
#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/NamedVariable.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/FSX/SimVars.h"

#include <gtest/gtest.h>

namespace {

class HostVariables : public ::testing::Test {
protected:
    void SetUp() override { ImportTable.services = host.Table(); }
    void TearDown() override { ImportTable.services = nullptr; }
    bench::EventLog log;
    bench::HostServices host{log};
};

} // namespace

TEST_F(HostVariables, HandlesRegisterMissingVariablesAndOnlyOwnersUnregisterThem) {
    const auto check = fsx::Get<fsx::slot::CheckNamedVariable>(host.Table());
    EXPECT_EQ(check("zelvan_unknown"), fsx::kInvalidId);
    {
        except::NamedVariable borrowed("zelvan_borrowed");
        EXPECT_NE(borrowed.Id(), fsx::kInvalidId);
        borrowed.Set(2.5);
        borrowed.SetBool(true);
        EXPECT_EQ(borrowed.Get(), 1.0);
        borrowed.SetInt(-3);
        EXPECT_EQ(host.NamedValue("zelvan_borrowed"), -3.0);

        except::NamedVariable owned("zelvan_owned", true);
        const except::NamedVariable again("zelvan_owned");
        EXPECT_EQ(again.Id(), owned.Id()) << "an existing variable is looked up, not made again";
    }
    EXPECT_EQ(host.NamedValue("zelvan_borrowed"), -3.0);
    EXPECT_FALSE(host.NamedValue("zelvan_owned").has_value());
    EXPECT_EQ(check("zelvan_owned"), fsx::kInvalidId);
}

TEST_F(HostVariables, GaugeVariablesFollowTheRuleOfTheirUnit) {
    const except::SimVars vars;
    except::GaugeVar* reader = vars.Reader(5);
    ASSERT_NE(reader, nullptr);
    host.SetToken(5, 0.7);
    EXPECT_EQ(reader->getValue(except::Unit::Bool), 0.0);
    EXPECT_EQ(reader->getValue(except::Unit::Number), 0.7);
    host.SetToken(5, -1.2);
    EXPECT_EQ(reader->getValue(except::Unit::Bool), 1.0);
    EXPECT_EQ(reader->getValue(except::Unit::Degrees), -1.2);
    host.SetToken(5, 100.0);
    EXPECT_DOUBLE_EQ(reader->getValue(except::Unit::Fahrenheit), 212.0);
    EXPECT_EQ(reader->getValue(except::Unit::Mbars), 0.0);
    EXPECT_EQ(reader->getValue(0xABCDEFu), 0.0) << "an id outside the table reads nothing";

    EXPECT_EQ(vars.Reader(0), nullptr);
    EXPECT_EQ(vars.Reader(1031), nullptr);
    ASSERT_NE(vars.Reader(1030), nullptr);
    host.SetToken(1030, 4.0);
    EXPECT_EQ(vars.ReadToken(1030), 4.0);
    EXPECT_EQ(vars.ReadToken(0), 0.0);
}

TEST_F(HostVariables, TheUnitsTableIsFilledOnceForEveryReaderAndHandle) {
    const except::SimVars vars;
    const except::NamedVariable handle("zelvan_units");
    const except::SimVars more;
    EXPECT_TRUE(except::Units::Loaded());
    EXPECT_EQ(except::Units::Lookups(), 17u);
}

TEST_F(HostVariables, WithinATickAGaugeVariableIsAskedForOnceAndBetweenTicksEveryTime) {
    except::SimVars vars;
    host.SetToken(60, 1.0);
    host.SetToken(79, 3.0);
    vars.BeginTick();
    EXPECT_EQ(vars.ReadToken(60), 1.0);
    host.SetToken(60, 0.0);
    EXPECT_EQ(vars.ReadToken(60), 1.0) << "a number read again in the tick is the first read";
    EXPECT_EQ(vars.ReadToken(60, except::Unit::Bool), 0.0) << "other units ask the host";
    EXPECT_EQ(vars.ReadToken(79), 3.0);
    vars.EndTick();
    EXPECT_EQ(vars.ReadToken(60), 0.0) << "between ticks the host is asked";
    host.SetToken(79, -4.0);
    vars.BeginTick();
    EXPECT_EQ(vars.ReadToken(79), -4.0) << "a new tick forgets the last one's reads";
    EXPECT_EQ(vars.ReadToken(60), 0.0);
    // 124 shares 60's slot: each still reads its own number, the one put out asked for again.
    host.SetToken(124, 7.0);
    host.SetToken(60, 0.5);
    EXPECT_EQ(vars.ReadToken(124), 7.0);
    EXPECT_EQ(vars.ReadToken(60), 0.5) << "a slot taken by another token asks the host again";
    EXPECT_EQ(vars.ReadToken(124), 7.0);
    vars.EndTick();
}

// The systems read the on-ground token with five different thresholds on purpose; a value
// between 0 and 1 tells them apart.
TEST(OnGroundReadings, DifferOnlyForValuesBetweenZeroAndOne) {
    struct Row {
        double value;
        bool airborneExactly, touching, off, on, pastHalf;
    };
    const Row rows[] = {{0.0, true, false, true, false, false},
                        {0.25, false, true, true, false, false},
                        {0.5, false, true, false, true, false},
                        {0.75, false, true, false, true, true},
                        {1.0, false, true, false, true, true}};
    for (const Row& r : rows) {
        EXPECT_EQ(fsx::AirborneExactly(r.value), r.airborneExactly) << r.value;
        EXPECT_EQ(fsx::TouchingGround(r.value), r.touching) << r.value;
        EXPECT_EQ(fsx::OffGround(r.value), r.off) << r.value;
        EXPECT_EQ(fsx::OnGround(r.value), r.on) << r.value;
        EXPECT_EQ(fsx::OnGroundPastHalf(r.value), r.pastHalf) << r.value;
    }
}
