// The folders and files a run makes around itself: its scratch folders, the process's working
// directory and settings folder while it flies, and the settings file a scenario writes.
#pragma once

#include "Bench/Host/HostSystem.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace bench {

// Whether a file can be made in the folder: a probe file is written and removed again.
bool FolderTakesFiles(const std::filesystem::path& folder);

// Writes the text as the settings file in the per-user folder; throws std::runtime_error when
// it cannot be written.
void WriteSettings(const std::string& settingsDir, const std::string& text);

// A folder the run makes for itself and removes at its end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& given) {
        if (!given.empty()) {
            path = given;
            std::error_code ec;
            std::filesystem::create_directories(path, ec);
            return;
        }
        path = hostsystem::MakeTemporaryFolder();
        owned = true;
    }
    ~ScratchFolder() {
        if (owned) {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string path;
    bool owned = false;
};

// Puts the process's working directory and settings folder back when the run ends.
class ProcessContext {
public:
    ProcessContext(const std::string& root, const std::string& settingsDir)
        : settings(settingsDir) {
        std::error_code ec;
        oldDir = std::filesystem::current_path(ec);
        std::filesystem::current_path(root);
    }
    ~ProcessContext() {
        std::error_code ec;
        std::filesystem::current_path(oldDir, ec);
        zvrt_reset();
    }
    ProcessContext(const ProcessContext&) = delete;
    ProcessContext& operator=(const ProcessContext&) = delete;

private:
    std::filesystem::path oldDir;
    hostsystem::SettingsFolder settings;
};

} // namespace bench
