#include "Lib/FSX/SimConnectWrapper.h"
#include "Bench/Output/EventLog.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <gtest/gtest.h>

#include <string>

namespace {
int sleeps = 0;
void CountSleep(void*, std::uint32_t) {
    ++sleeps;
}
} // namespace

TEST(SimConnectWrapper, TheHostBuildChoosesTheClientLibrary) {
    using W = except::SimConnectWrapper;
    const std::string bin = "SimObjects/Airplanes/PelmoraG_Q-71_Zelvan/bin/";
    EXPECT_EQ(W::LibraryForBuild(60905), bin + "sc_rtm.dll");
    EXPECT_EQ(W::LibraryForBuild(61355), bin + "sc_sp1.dll");
    EXPECT_EQ(W::LibraryForBuild(61357), bin + "sc_sp1.dll");
    EXPECT_EQ(W::LibraryForBuild(61472), bin + "sc_acc.dll");
    EXPECT_EQ(W::LibraryForBuild(61637), bin + "sc_acc.dll");
    EXPECT_EQ(W::LibraryForBuild(0), bin + "sc_sp1.dll");
    EXPECT_STREQ(W::EntryPointName(0), "SimConnect_MapClientEventToSimEvent");
    EXPECT_STREQ(W::EntryPointName(71), "SimConnect_RequestFacilitiesList");
    EXPECT_EQ(W::EntryPointName(72), nullptr);
}

TEST(SimConnectWrapper, BeforeOpeningEveryCallFailsAndClosingDoesNotWait) {
    zvrt_reset();
    sleeps = 0;
    zvrt_set_sleep_hook(&CountSleep, nullptr);
    auto& w = except::SimConnectWrapper::Instance();
    ASSERT_FALSE(w.Opened());
    constexpr simconnect::HRESULT kFail = static_cast<simconnect::HRESULT>(0x80004005u);
    double value = 1.0;
    EXPECT_EQ(w.SetDataOnSimObject(1, 0, 0, 0, 8, &value), kFail);
    EXPECT_EQ(w.SubscribeToSystemEvent(1, "SimStart"), kFail);
    EXPECT_EQ(w.CallDispatch(nullptr, nullptr), kFail);
    EXPECT_EQ(w.CameraSetRelative6DOF(0, 0, 0, 0, 0, 0), kFail);
    EXPECT_EQ(w.ClearNotificationGroup(1), kFail);
    EXPECT_EQ(w.RemoveClientEvent(1, 2), kFail);
    EXPECT_TRUE(w.LibraryPath().empty()) << "nothing was chosen or loaded";
    w.Close();
    EXPECT_EQ(sleeps, 0);
    zvrt_reset();
}
