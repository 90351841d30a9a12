#include "Bench/Flight/RunFolders.h"

#include <fstream>
#include <stdexcept>
#include <system_error>

namespace bench {

namespace fs = std::filesystem;

bool FolderTakesFiles(const fs::path& folder) {
    const fs::path probe = folder / ".zelvan-bench-probe";
    const bool made = static_cast<bool>(std::ofstream(probe));
    std::error_code ec;
    fs::remove(probe, ec);
    return made;
}

void WriteSettings(const std::string& settingsDir, const std::string& text) {
    const fs::path folder = fs::path(settingsDir) / "PelmoraGrp" / "zelvan";
    fs::create_directories(folder);
    std::ofstream out(folder / "config.ini", std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
        throw std::runtime_error((folder / "config.ini").string() + ": cannot be written");
    }
}

} // namespace bench
