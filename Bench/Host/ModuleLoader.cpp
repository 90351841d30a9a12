// Loads the gauge the way the simulator does: the system's loader opens the library and finds
// its two records by name. Each load takes a uniquely named copy, so no state survives an earlier
// load in this process.
#include "Bench/Host/ModuleLoader.h"

#include "Bench/Host/HostSystem.h"

#include <filesystem>
#include <system_error>

namespace bench {

namespace fs = std::filesystem;

ModuleLoader::~ModuleLoader() {
    Unload();
}

bool ModuleLoader::Load(const std::string& libraryPath, const std::string& scratchFolder,
                        fsx::PanelServiceTable* services, std::string& error) {
    static unsigned serial = 0;
    std::error_code ec;
    if (!fs::is_regular_file(libraryPath, ec)) {
        error = libraryPath + ": no such gauge library";
        return false;
    }
    fs::create_directories(scratchFolder, ec);
    copyPath =
        (fs::path(scratchFolder) / ("zelvan-" + std::to_string(hostsystem::ProcessId()) + "-" +
                                    std::to_string(++serial) + hostsystem::LibrarySuffix()))
            .string();
    fs::copy_file(libraryPath, copyPath, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        error = libraryPath + ": cannot be copied for loading (" + ec.message() + ")";
        return false;
    }
    std::string reason;
    library = hostsystem::OpenLibrary(copyPath, reason);
    if (library == nullptr) {
        error = libraryPath + ": not a loadable library (" + reason + ")";
        fs::remove(copyPath, ec);
        return false;
    }
    linkage = static_cast<fsx::LinkageRecord*>(hostsystem::FindSymbol(library, "Linkage"));
    auto* imports =
        static_cast<fsx::ImportTableRecord*>(hostsystem::FindSymbol(library, "ImportTable"));
    if (linkage == nullptr || imports == nullptr) {
        error = libraryPath + ": not a gauge library (no " +
                (linkage == nullptr ? "Linkage" : "ImportTable") + " record)";
        Unload();
        return false;
    }
    if (linkage->moduleId != fsx::kModuleId) {
        error = libraryPath + ": not a gauge library (unexpected module identifier)";
        Unload();
        return false;
    }
    if (imports->importId == fsx::kImportPanelServices) {
        imports->services = services;
    }
    return true;
}

void ModuleLoader::Initialise() {
    if (linkage != nullptr && linkage->initialise != nullptr) {
        linkage->initialise();
    }
}

void ModuleLoader::Deinitialise() {
    if (linkage != nullptr && linkage->deinitialise != nullptr) {
        linkage->deinitialise();
    }
}

void ModuleLoader::Unload() {
    if (library != nullptr) {
        hostsystem::CloseLibrary(library);
        library = nullptr;
    }
    linkage = nullptr;
    if (!copyPath.empty()) {
        std::error_code ec;
        fs::remove(copyPath, ec);
        copyPath.clear();
    }
}

const fsx::GaugeHeader* ModuleLoader::Gauge() const {
    return linkage != nullptr ? linkage->gauges[0] : nullptr;
}

} // namespace bench
