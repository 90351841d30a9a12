#include "Bench/Core/ModuleLoader.h"

#include <dlfcn.h>
#include <unistd.h>

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
    copyPath = (fs::path(scratchFolder) /
                ("zelvan-" + std::to_string(getpid()) + "-" + std::to_string(++serial) + ".so"))
                   .string();
    fs::copy_file(libraryPath, copyPath, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        error = libraryPath + ": cannot be copied for loading (" + ec.message() + ")";
        return false;
    }
    library = dlopen(copyPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        error = libraryPath + ": not a loadable library (" + (reason ? reason : "unknown") + ")";
        fs::remove(copyPath, ec);
        return false;
    }
    linkage = static_cast<fsx::LinkageRecord*>(dlsym(library, "Linkage"));
    auto* imports = static_cast<fsx::ImportTableRecord*>(dlsym(library, "ImportTable"));
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
        dlclose(library);
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
