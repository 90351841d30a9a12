// Sound files on the native platform: the simulator's backslashes become slashes, and the
// executable's resources are a table that hosts and tests fill in.
#include "Lib/Platform/AudioFiles.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <string_view>
#include <utility>

namespace platform::audio {

namespace {

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

struct ResourceTable {
    std::mutex lock;
    // Key: lower-cased type, a zero byte, lower-cased name.
    std::map<std::string, std::vector<std::uint8_t>> entries;
};

ResourceTable& table() {
    static ResourceTable instance;
    return instance;
}

std::string ResourceKey(std::string_view name, std::string_view type) {
    std::string key = LowerAscii(type);
    key.push_back('\0');
    key += LowerAscii(name);
    return key;
}

// Any non-null value does: the table is not kept per module.
const char kHostModuleToken = 0;

} // namespace

std::string NativePath(const std::string& path) {
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

bool PathExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(NativePath(path), error);
}

ModuleHandle HostModule() {
    return &kHostModuleToken;
}

bool CopyResource(ModuleHandle module, const char* name, const char* type,
                  std::vector<std::uint8_t>& out) {
    if (module == nullptr || name == nullptr || type == nullptr) {
        return false;
    }
    const std::string key = ResourceKey(name, type);
    ResourceTable& t = table();
    const std::lock_guard guard(t.lock);
    const auto found = t.entries.find(key);
    if (found == t.entries.end() || found->second.empty()) {
        return false;
    }
    out = found->second;
    return true;
}

void RegisterResource(const std::string& name, const std::string& type,
                      std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    ResourceTable& t = table();
    const std::lock_guard guard(t.lock);
    t.entries[ResourceKey(name, type)] = std::move(copy);
}

void ClearResources() {
    ResourceTable& t = table();
    const std::lock_guard guard(t.lock);
    t.entries.clear();
}

} // namespace platform::audio
