// Sound files on the simulator's platform: paths are the system's own, and the fallback images
// are resources of the host executable.
#include "Lib/Platform/AudioFiles.h"

#include <windows.h>

#include <cstring>

namespace platform::audio {

namespace {

// "#N" names resource number N, as the system's own resource functions read it.
LPCSTR ResourceName(const char* text) {
    return text;
}

} // namespace

std::string NativePath(const std::string& path) {
    return path;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ModuleHandle HostModule() {
    return GetModuleHandleA(nullptr);
}

bool CopyResource(ModuleHandle module, const char* name, const char* type,
                  std::vector<std::uint8_t>& out) {
    if (module == nullptr || name == nullptr || type == nullptr) {
        return false;
    }
    // The handle is the module's own; the resource functions take it without const.
    auto* instance = static_cast<HMODULE>(const_cast<void*>(module));
    HRSRC found = FindResourceA(instance, ResourceName(name), ResourceName(type));
    if (found == nullptr) {
        return false;
    }
    const DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) {
        return false;
    }
    std::vector<std::uint8_t> copy(size);
    std::memcpy(copy.data(), bytes, size);
    out = std::move(copy);
    return true;
}

// The executable's resources are fixed when it is built: nothing can be added to them here.
void RegisterResource(const std::string&, const std::string&, std::span<const std::uint8_t>) {}

void ClearResources() {}

} // namespace platform::audio
