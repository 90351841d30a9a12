// The module's view of the operating system. Nothing above this folder includes an OS header;
// the implementations live in Posix/ (and Win32/ for the simulator's own platform).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// ---- thread timers, ticked by the host's message loop on its UI thread ----------------------
using TimerId = std::uintptr_t;
using TimerProc = void (*)(void* window, std::uint32_t message, TimerId id, std::uint32_t timeMs);

// Returns 0 when no timer could be made.
TimerId SetTimer(std::uint32_t periodMs, TimerProc proc);
void KillTimer(TimerId id);

// ---- the host's top-level windows ------------------------------------------------------------
using WindowHandle = void*;
WindowHandle FindWindowByClass(const char* className);

// ---- the host executable's version resource --------------------------------------------------
struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
    std::string companyName;
    std::string fileDescription;
    std::string productName;
};
// False when the executable carries no version record (every field then stays empty).
bool ReadHostExecutableVersion(FileVersion& out);

// ---- run-time loaded libraries ---------------------------------------------------------------
using LibraryHandle = void*;
// A relative path resolves against the host's working directory. Null on failure.
LibraryHandle LoadDynamicLibrary(const std::string& path);
void* FindSymbol(LibraryHandle library, const char* name);
void FreeDynamicLibrary(LibraryHandle library);

// ---- diagnostics, waiting, calendar time -----------------------------------------------------
void WriteDiagnostic(std::string_view text) noexcept;
void Sleep(std::uint32_t milliseconds);
// Seconds since 1970 as the host sees them.
double CalendarTime();

} // namespace platform
