// The settings file's place on the native platform: the XDG data folder, and files replaced by
// rename.
#include "Lib/Platform/FileReplace.h"
#include "Lib/Platform/Profile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform {

bool ReplaceFileWith(const std::string& temporary, const std::string& path) {
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

std::string UserSettingsFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] != '\0') {
        return xdg;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.local/share";
    }
    return {};
}

bool CreateFolderTree(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(folder, ec);
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? std::string() : absolute.lexically_normal().string();
}

char FolderSeparator() {
    return '/';
}

} // namespace platform
