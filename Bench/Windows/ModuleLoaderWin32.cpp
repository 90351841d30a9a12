// Loads the gauge the way the simulator does on Windows: LoadLibraryA of the DLL, its two records
// by name. Each load takes a uniquely named copy, so no state survives an earlier load.
#include "Bench/Core/ModuleLoader.h"

#include <windows.h>

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
    copyPath = (fs::path(scratchFolder) / ("zelvan-" + std::to_string(GetCurrentProcessId()) + "-" +
                                           std::to_string(++serial) + ".dll"))
                   .string();
    fs::copy_file(libraryPath, copyPath, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        error = libraryPath + ": cannot be copied for loading (" + ec.message() + ")";
        return false;
    }
    HMODULE module = LoadLibraryA(copyPath.c_str());
    if (module == nullptr) {
        error =
            libraryPath + ": not a loadable library (error " + std::to_string(GetLastError()) + ")";
        fs::remove(copyPath, ec);
        return false;
    }
    library = module;
    linkage = reinterpret_cast<fsx::LinkageRecord*>(GetProcAddress(module, "Linkage"));
    auto* imports =
        reinterpret_cast<fsx::ImportTableRecord*>(GetProcAddress(module, "ImportTable"));
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
        FreeLibrary(static_cast<HMODULE>(library));
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
