// Where sound files come from: paths in the simulator's spelling, and the resources of the host
// executable that stand in for a file that cannot be opened.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform::audio {

// Paths reach the module with backslashes, as the simulator writes them; this is the same path
// as the local file system spells it.
std::string NativePath(const std::string& path);

// The standard existence test: something (file or folder) is there.
bool PathExists(const std::string& path);

// A module whose resources can be searched; null means none.
using ModuleHandle = const void*;
ModuleHandle HostModule();

// Resource types are names; a number is written "#N" (RT_RCDATA is "#10").
inline constexpr const char* kResourceTypeRcData = "#10";

// Copies the resource `name` of `type` from `module` into `out`. Names compare without regard to
// ASCII case. False when there is no such resource or it is empty (out is then left as it was).
// May throw std::bad_alloc.
bool CopyResource(ModuleHandle module, const char* name, const char* type,
                  std::vector<std::uint8_t>& out);

// The native backend has no executable resources: its table is empty unless something registers
// one here (a host, a test). Registering a name and type again replaces the bytes.
void RegisterResource(const std::string& name, const std::string& type,
                      std::span<const std::uint8_t> bytes);
void ClearResources();

} // namespace platform::audio
