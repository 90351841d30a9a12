#pragma once

#include "Lib/FSX/GaugeAbi.h"

#include <string>

namespace bench {

// Loads a gauge library the way the simulator does. Every load is a fresh module: the library is
// copied under a new name first, so no state survives from an earlier load in this process.
class ModuleLoader {
public:
    ModuleLoader() = default;
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Loads the library and fills its import table; false with a reason when it is not a gauge
    // library. Does not call the initialisation routine.
    bool Load(const std::string& libraryPath, const std::string& scratchFolder,
              fsx::PanelServiceTable* services, std::string& error);
    void Initialise();
    void Deinitialise();
    void Unload();

    bool Loaded() const { return library != nullptr; }
    const fsx::GaugeHeader* Gauge() const;

private:
    void* library = nullptr;
    fsx::LinkageRecord* linkage = nullptr;
    std::string copyPath;
};

} // namespace bench
