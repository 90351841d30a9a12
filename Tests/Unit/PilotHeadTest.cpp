// The pilot's head over an hour of updates: it stays within its travel, moves at its speed and
// visits both sides of both axes.
#include "Bench/Host/HostServices.h"
#include "Bench/Output/EventLog.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/FreshTwister.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"
#include "Logic/Systems/PilotHeadSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

TEST(PilotHead, AnHourOfUpdatesStaysWithinTheTravelAndVisitsBothSides) {
    bench::EventLog log;
    bench::HostServices host{log};
    ImportTable.services = host.Table();
    zvrt_pin_calendar_time(1.7e9);
    std::srand(3);
    {
        PilotHeadSystem head;
        head.start();
        EXPECT_EQ(host.NamedValue("zelvan_pilot_1_head_vis"), 1.0);
        const char* names[2] = {"zelvan_pilot_1_head", "zelvan_pilot_1_head_vert"};
        double previous[2] = {0.5, 0.5};
        double lowest[2] = {0.5, 0.5};
        double highest[2] = {0.5, 0.5};
        const int updates = static_cast<int>(3600.0 / 0.055);
        for (int n = 0; n < updates; ++n) {
            head.update(0.055, false);
            for (int a = 0; a < 2; ++a) {
                const double p = host.NamedValue(names[a]).value_or(-1.0);
                ASSERT_GE(p, 0.0) << names[a] << " update " << n;
                ASSERT_LE(p, 1.0) << names[a] << " update " << n;
                ASSERT_LE(std::fabs(p - previous[a]), 0.0275 + 1e-12) << names[a];
                previous[a] = p;
                lowest[a] = std::min(lowest[a], p);
                highest[a] = std::max(highest[a], p);
            }
        }
        for (int a = 0; a < 2; ++a) {
            EXPECT_LE(lowest[a], 0.25) << names[a];
            EXPECT_GE(highest[a], 0.75) << names[a];
        }
    }
    ImportTable.services = nullptr;
    zvrt_reset();
}

TEST(PilotHead, TheOneDrawTwisterGivesWhatAFreshMersenneTwisterGives) {
    for (std::uint32_t seed : {0u, 1u, 5489u, 1700000000u, 0xFFFFFFFFu}) {
        except::FreshTwister fresh(seed);
        std::mt19937 reference(seed);
        for (int i = 0; i < 10; ++i) {
            ASSERT_EQ(fresh(), reference()) << "seed " << seed << " output " << i;
        }
    }
    int starts = 0;
    for (std::uint32_t seed = 1700000000u; seed < 1700020000u; ++seed) {
        except::FreshTwister fresh(seed);
        std::mt19937 reference(seed);
        const bool a = std::bernoulli_distribution(0.2)(fresh);
        ASSERT_EQ(a, std::bernoulli_distribution(0.2)(reference)) << seed;
        starts += a ? 1 : 0;
    }
    EXPECT_NEAR(starts / 20000.0, 0.2, 0.02);
}
