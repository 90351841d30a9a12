// The module's life on the bench: load, initialise, de-initialise, unload, as the simulator does.
#include "Support/Flight.h"

#include "Bench/Flight/BuiltinFlight.h"
#include "Bench/Flight/Scenario.h"
#include "Bench/Host/HostServices.h"
#include "Bench/Host/ModuleLoader.h"
#include "Bench/Host/SimRoot.h"
#include "Bench/Host/SimulatorConnection.h"
#include "Bench/Output/EventLog.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <gtest/gtest.h>

#include <elf.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

using testing_support::Fly;

namespace {

std::set<std::string> ExportedSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Elf64_Ehdr header;
    std::memcpy(&header, image.data(), sizeof header);
    std::set<std::string> names;
    for (int i = 0; i < header.e_shnum; ++i) {
        Elf64_Shdr section;
        std::memcpy(&section, image.data() + header.e_shoff + i * sizeof section, sizeof section);
        if (section.sh_type != SHT_DYNSYM) {
            continue;
        }
        Elf64_Shdr strings;
        std::memcpy(&strings, image.data() + header.e_shoff + section.sh_link * sizeof strings,
                    sizeof strings);
        for (std::size_t s = 0; s < section.sh_size / sizeof(Elf64_Sym); ++s) {
            Elf64_Sym sym;
            std::memcpy(&sym, image.data() + section.sh_offset + s * sizeof sym, sizeof sym);
            if (sym.st_shndx != SHN_UNDEF && ELF64_ST_BIND(sym.st_info) != STB_LOCAL) {
                names.insert(image.data() + strings.sh_offset + sym.st_name);
            }
        }
    }
    return names;
}

} // namespace

TEST(Lifecycle, TheLibraryShowsTheHostOnlyItsTwoRecords) {
    bench::RunOptions options;
    bench::FindCompanions(options);
    EXPECT_EQ(ExportedSymbols(options.modulePath),
              (std::set<std::string>{"ImportTable", "Linkage"}));
}

TEST(Lifecycle, LoadAndUnloadWithoutSimStartOnlyOpensAndClosesTheConnection) {
    const auto log = Fly(R"({"duration": 1.0, "actions": [
        {"at": 0.5, "expect": {"lvar:zelvan_covers_visible": 0}}]})");
    ASSERT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    EXPECT_EQ(log.Of("simconnect", "Open").size(), 1u);
    EXPECT_EQ(log.Of("simconnect", "SubscribeToSystemEvent").size(), 7u);
    EXPECT_EQ(log.Of("simconnect", "AddToDataDefinition").size(), 7u);
    EXPECT_EQ(log.Of("simconnect", "ClearDataDefinition").size(), 7u);
    EXPECT_EQ(log.Of("simconnect", "UnsubscribeFromSystemEvent").size(), 7u);
    EXPECT_EQ(log.Of("simconnect", "SetDataOnSimObject").size(), 0u);
    EXPECT_EQ(log.KeysSent(0x100B6), 0); // no application was started
    EXPECT_TRUE(log.settings.empty()) << "nothing is saved before the simulation starts";
    // Closing waits a second for the simulator, once, after SimConnect's close.
    ASSERT_EQ(log.Of("sleep").size(), 1u);
    EXPECT_EQ(log.Of("sleep")[0]["ms"], 1000);
    EXPECT_TRUE(log.Diagnostics().empty());
}

TEST(Lifecycle, EveryLoadIsAFreshModule) {
    // The first click starts the parking procedure, so in the same lifetime a second click no
    // longer marks the covers ready; in a fresh module it does again.
    const auto log = Fly(R"({"duration": 3.0, "host": {"token:60": 1}, "actions": [
        {"at": 0.0, "load": true},
        {"at": 0.1, "mouse": {"x": 30, "y": 180}},
        {"at": 0.2, "expect": {"lvar:zelvan_covers_ready": 1}},
        {"at": 0.3, "set": {"lvar:zelvan_covers_ready": 0}},
        {"at": 0.4, "mouse": {"x": 30, "y": 180}},
        {"at": 0.5, "expect": {"lvar:zelvan_covers_ready": 0}},
        {"at": 1.0, "unload": true},
        {"at": 1.5, "load": true},
        {"at": 1.6, "mouse": {"x": 30, "y": 180}},
        {"at": 1.7, "expect": {"lvar:zelvan_covers_ready": 1}}]})");
    EXPECT_EQ(log.result.status, bench::kRunOk) << log.result.error;
    EXPECT_EQ(log.Of("load").size(), 2u);
    EXPECT_EQ(log.Of("unload").size(), 2u);
}

TEST(Lifecycle, ASecondInitialisationOnlyHidesTheCoversAgain) {
    namespace fs = std::filesystem;
    bench::RunOptions options;
    bench::FindCompanions(options);
    const fs::path root = fs::temp_directory_path() / "zelvan-reinitialise";
    bench::LayOutSimRoot(root.string(), {options.standinLibrary, ""});
    const fs::path started = fs::current_path();
    fs::current_path(root);
    zvrt_set_host_version(10, 0, 61355, 0);
    zvrt_create_window("FS98MAIN");
    zvrt_set_sleep_hook([](void*, std::uint32_t) {}, nullptr); // simulated time does not wait
    {
        bench::EventLog log;
        bench::HostServices host(log);
        bench::SimulatorConnection simulator(log, host);
        bench::ModuleLoader loader;
        std::string error;
        ASSERT_TRUE(
            loader.Load(options.modulePath, (root / ".modules").string(), host.Table(), error))
            << error;
        loader.Initialise();
        ASSERT_TRUE(simulator.ClientOpen());
        EXPECT_EQ(zvrt_timer_count(), 1u); // the connection's pump
        host.SetNamedValue("zelvan_covers_visible", 7.0);
        loader.Initialise();
        EXPECT_EQ(host.NamedValue("zelvan_covers_visible"), 0.0);
        EXPECT_EQ(zvrt_timer_count(), 1u);
        loader.Deinitialise();
        EXPECT_FALSE(simulator.ClientOpen());
        EXPECT_EQ(zvrt_timer_count(), 0u);
        loader.Unload();
    }
    fs::current_path(started);
    fs::remove_all(root);
    zvrt_reset();
}

TEST(Lifecycle, TheBuiltInFlightRunsToItsEnd) {
    const auto log = Fly(R"({"duration": 0.5})");
    ASSERT_EQ(log.result.status, bench::kRunOk);
    bench::RunOptions options;
    bench::FindCompanions(options);
    options.settingsDir = (std::filesystem::temp_directory_path() / "zelvan-builtin").string();
    const auto result = bench::RunScenario(bench::BuiltinFlight(), options);
    EXPECT_EQ(result.status, bench::kRunOk) << result.error;
    EXPECT_GT(result.stats.ticks, 2000u);
    std::filesystem::remove_all(options.settingsDir);
}
