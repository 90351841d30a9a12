// The power system driven directly: the ground charger and the queries the consumers and the
// service panel ask, which no cockpit event reaches.
#include "Logic/Systems/PowerSystem.h"
#include "Bench/Host/HostServices.h"
#include "Bench/Output/EventLog.h"
#include "Lib/FSX/KeyEvents.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SimParameters.h"
#include "Logic/SystemRegistry.h"
#include "Logic/Systems/AGDSystem.h"

#include <gtest/gtest.h>

namespace {

class Power : public ::testing::Test {
protected:
    void SetUp() override { ImportTable.services = host.Table(); }
    void TearDown() override {
        module::registry.reset();
        module::connection.reset();
        Options::Instance().battery1 = -1.0;
        Options::Instance().batteryRadio = -1.0;
        ImportTable.services = nullptr;
        zvrt_reset();
    }

    bench::EventLog log;
    bench::HostServices host{log};
};

} // namespace

TEST_F(Power, TheGroundChargerFillsAFlatBatteryWithinASecondAndStops) {
    Options::Instance().battery1 = 0.18;
    Options::Instance().batteryRadio = 0.19;
    PowerSystem power;
    power.start();
    EXPECT_TRUE(power.hasChargeRecord[PowerSystem::kBattery1]);
    EXPECT_FALSE(power.hasChargeRecord[PowerSystem::kBattery2]) << "a stored -1 is no record";

    // At exactly 0.18 the charger takes the battery; at 0.19 it only gives a charge record.
    power.ChargeOnGround(PowerSystem::kBattery1);
    power.ChargeOnGround(PowerSystem::kBattery2);
    power.ChargeOnGround(PowerSystem::kBatteryRadio);
    EXPECT_TRUE(PowerSystem::IsCharging(power.battery1));
    EXPECT_TRUE(PowerSystem::IsCharging(power.battery2));
    EXPECT_FALSE(PowerSystem::IsCharging(power.batteryRadio));
    EXPECT_TRUE(power.hasChargeRecord[PowerSystem::kBatteryRadio]);

    // While paused nothing charges.
    module::connection = std::make_unique<SimParameters>();
    module::connection->paused = true;
    power.update(0.5, false);
    EXPECT_DOUBLE_EQ(PowerSystem::GetChargeFraction(power.battery2), 0.0);
    module::connection->paused = false;

    power.update(0.5, false);
    EXPECT_DOUBLE_EQ(PowerSystem::GetChargeFraction(power.battery2), 0.5);
    power.update(0.6, false);
    EXPECT_DOUBLE_EQ(PowerSystem::GetChargeFraction(power.battery1), 1.0);
    EXPECT_DOUBLE_EQ(PowerSystem::GetChargeFraction(power.battery2), 1.0);
    EXPECT_FALSE(PowerSystem::IsCharging(power.battery2)) << "charging ends at full";
    EXPECT_DOUBLE_EQ(PowerSystem::GetChargeFraction(power.batteryRadio), 0.19);
}

TEST_F(Power, ABatteryPowersOnlyWhileSwitchedOnAndNotEmpty) {
    Options::Instance().battery1 = 1.0;
    PowerSystem power;
    power.start();
    EXPECT_FALSE(PowerSystem::IsPowered(power.battery1)) << "full but switched off";
    power.battery1.switchedOn = true;
    EXPECT_TRUE(PowerSystem::IsPowered(power.battery1));

    // Loads other consumers place count in full; a removal never takes the load below 0.
    power.AddLoad(power.battery1, -21600.0);
    power.update(1.0, false);
    EXPECT_DOUBLE_EQ(PowerSystem::GetChargeFraction(power.battery1), 0.5);
    power.RemoveLoad(power.battery1, 50000.0);
    EXPECT_EQ(power.battery1.load, 0.0);
    power.AddLoad(power.battery1, 50000.0);
    power.update(1.0, false);
    EXPECT_EQ(power.battery1.charge, 0.0) << "a drain stops at empty";
    EXPECT_FALSE(PowerSystem::IsPowered(power.battery1));

    // The attitude indicators need the radio battery, the master switch and their own switch.
    power.batteryRadio.charge = 100.0;
    power.batteryRadio.switchedOn = true;
    power.masterSwitch = true;
    power.agd2On = true;
    EXPECT_FALSE(power.IsAgd1Powered());
    EXPECT_TRUE(power.IsAgd2Powered());
}

TEST_F(Power, ChargingAFlatBatteryBringsItsConsumersBack) {
    // A fresh installation: empty batteries without a record, every switch on, gyros released.
    module::registry = std::make_unique<SystemRegistry>();
    for (std::size_t p = SystemRegistry::kPower; p < SystemRegistry::kSystems; ++p) {
        if (SystemBase* system = module::registry->At(p)) {
            system->start(); // the consumers and their power; the sound needs a host window
        }
    }
    PowerSystem& power = *module::registry->Power();
    for (const char* name : {"zelvan_battery1_switch", "zelvan_master_battery_switch",
                             "zelvan_agd1_switch_on", "ovi_arrester_switch"}) {
        host.SetNamedValue(name, 1.0);
    }
    power.battery1.switchedOn = true;
    power.batteryRadio.switchedOn = true;
    host.SetToken(937, 5.0);
    const auto tick = [](bool first) {
        for (std::size_t p = 0; p < SystemRegistry::kSystems; ++p) {
            if (SystemBase* system = module::registry->At(p)) {
                system->update(0.055, first);
            }
        }
    };
    tick(true);
    EXPECT_EQ(host.NamedValue("ovi_turnkey_needle"), 0.5);
    EXPECT_EQ(host.NamedValue("att_turn_needle_1"), 0.5);
    EXPECT_EQ(module::registry->AGD()->gauge1.current, &module::registry->AGD()->gauge1.off);

    power.ChargeOnGround(PowerSystem::kBattery1);
    power.ChargeOnGround(PowerSystem::kBatteryRadio);
    for (int i = 0; i < 20; ++i) {
        tick(false);
    }
    EXPECT_EQ(host.NamedValue("ovi_turnkey_needle"), 0.75);
    EXPECT_EQ(host.NamedValue("att_turn_needle_1"), 0.75);
    EXPECT_EQ(host.NamedValue("zelvan_turnkey_needle_2"), 0.5) << "battery 2 stays off";
    // A toppled gyro needs its arrester or switch again to run.
    module::registry->AGD()->onKeyEvent(fsx::key::kArrester1, 0);
    module::registry->AGD()->onKeyEvent(fsx::key::kArrester1, 0);
    EXPECT_EQ(module::registry->AGD()->gauge1.current, &module::registry->AGD()->gauge1.working);
}
