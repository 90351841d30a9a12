// Feeds arbitrary bytes to the settings reader as config.ini, held in memory in place of the file
// (the codec is the file's own; only the disk is left out): any encoding, quotes, NULs, names
// given twice, damaged headers. Whatever the file holds, a load leaves every setting within the
// range the cockpit allows, what a save then writes loads back to the same settings, and saving
// them again leaves the file as it is; nothing crashes and nothing allocates beyond the file's
// size.
#include "Lib/FSX/GaugeAbi.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/Platform/Profile.h"
#include "Logic/CockpitState.h"
#include "Logic/ModuleState.h"
#include "Logic/Options.h"
#include "Logic/SystemRegistry.h"
#include "Logic/Systems/FailuresSystem.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

// The host's answer for gauge variable 60 (on the ground); every other variable reads 0.
double groundContact = 1.0;

void ZV_STDCALL InitialiseVar(fsx::ModuleVar*) {}
void ZV_STDCALL LookupVar(fsx::ModuleVar* var) {
    var->value = var->id == 60 ? groundContact : 0.0;
}

struct Host {
    Host() {
        std::string pattern = (fs::temp_directory_path() / "zelvan-fuzz-settings-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        folder = pattern;
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
        fsx::Install<fsx::slot::InitializeVar>(table, &InitialiseVar);
        fsx::Install<fsx::slot::LookupVar>(table, &LookupVar);
        ImportTable.services = &table;
        module::registry = std::make_unique<SystemRegistry>();
        module::settingsLoaded = true;
        if (RegisteredFailures() == nullptr) {
            std::abort();
        }
        Options::Instance().SetupPath();
    }
    ~Host() {
        module::registry.reset();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    fs::path folder;
    fsx::PanelServiceTable table{};
};

// Everything a load sets.
struct State {
    std::array<double, 3> batteries{};
    std::array<std::int64_t, 13> numbers{};
    std::array<bool, kFailureCount + 1> flags{};
};

State Snapshot() {
    const Options& o = Options::Instance();
    const ServicePanelSelectionRecord& p = ServicePanelSelection;
    State s;
    s.batteries = {o.battery1, o.battery2, o.batteryRadio};
    s.numbers = {o.pilot1Weight,
                 o.pilot2Weight,
                 o.waterTankWeight,
                 o.activePilot,
                 o.backSeat,
                 p.slider,
                 p.frontSeatSelection,
                 p.backSeatSelection,
                 p.pilotSelection,
                 p.pilot1Weight,
                 p.pilot2Weight,
                 p.waterTankWeight,
                 RegisteredFailures()->GetLevel()};
    s.flags[0] = o.frontSeat;
    for (std::uint32_t i = 0; i < kFailureCount; ++i) {
        s.flags[i + 1] = RegisteredFailures()->GetFailure(i).failed;
    }
    return s;
}

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "settings out of range: %s\n", what);
        std::abort();
    }
}

bool Within(std::int64_t v, std::int64_t low, std::int64_t high) {
    return v >= low && v <= high;
}

void CheckRanges(const State& s) {
    for (const double b : s.batteries) {
        Require(b >= -1.0 && b <= 1.0, "a battery charge outside -1..1 (or not a number)");
    }
    const auto& n = s.numbers;
    Require(Within(n[0], 65, 95) && Within(n[1], 65, 95), "a crew mass outside 65..95");
    Require(Within(n[2], 0, 94), "the water outside 0..94");
    Require(n[3] == 1 || n[3] == 2, "the active pilot neither 1 nor 2");
    Require(Within(n[4], 0, 2), "the back seat outside 0..2");
    Require(Within(n[5], 0, 125), "the slider outside 0..125");
    Require(Within(n[6], 0, 1) && Within(n[7], 0, 2) && Within(n[8], 0, 2),
            "a seat selection outside its choices");
    Require(Within(n[9], 65, 95) && Within(n[10], 65, 95) && Within(n[11], 0, 94),
            "the panel's masses outside their limits");
    Require(n[12] == FailuresSystem::LevelForSlider(static_cast<std::int32_t>(n[5])),
            "the failures level does not follow the slider");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static Host host;
    Options& options = Options::Instance();
    const platform::ProfileInMemory file(options.path,
                                         std::string(reinterpret_cast<const char*>(bytes), size));
    // Flown on the ground or in the air by the length of the file, so both are covered.
    groundContact = size % 2 == 0 ? 1.0 : 0.0;
    // Each load starts from the panel as a fresh module has it, so that the rounds compare.
    const auto load = [&options] {
        ServicePanelSelection = ServicePanelSelectionRecord{};
        options.Load();
    };

    load();
    const State first = Snapshot();
    CheckRanges(first);

    // A save writes each value once; loading it back gives the same settings. The numbers are
    // written to six digits and a failure present through another is stored as failed itself,
    // so the second round must match the first exactly.
    options.Save();
    load();
    const State second = Snapshot();
    CheckRanges(second);
    for (std::size_t i = 0; i < first.batteries.size(); ++i) {
        Require(std::fabs(first.batteries[i] - second.batteries[i]) <= 1e-6,
                "a saved battery charge read back differently");
    }
    Require(first.numbers == second.numbers, "a saved number read back differently");
    options.Save();
    load();
    const State third = Snapshot();
    Require(third.batteries == second.batteries && third.numbers == second.numbers &&
                third.flags == second.flags,
            "a second save and load changed the settings");
    // The same settings saved again change no byte: a file never grows from save to save, a
    // damaged header included.
    const std::string again = file.Text();
    options.Save();
    Require(file.Text() == again, "a save of the settings the file holds changed the file");
    return 0;
}
