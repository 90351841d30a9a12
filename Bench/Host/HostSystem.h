// What the bench does as the operating system's host process: the part of a flight that differs
// between the native bench (the host platform runtime, simulated time) and the Windows bench
// (the system's own timers, window and folders, real time).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace bench::hostsystem {

using Clock = std::chrono::steady_clock;

// A new empty folder for the run; throws std::runtime_error when none can be made.
std::string MakeTemporaryFolder();

// Points the module's per-user settings folder at `folder` for as long as the object lives.
class SettingsFolder {
public:
    explicit SettingsFolder(const std::string& folder);
    ~SettingsFolder();
    SettingsFolder(const SettingsFolder&) = delete;
    SettingsFolder& operator=(const SettingsFolder&) = delete;

private:
    std::string previous;
    bool hadPrevious = false;
};

// The host's identity for the module: its build number and its main window ("FS98MAIN").
void DeclareHostBuild(std::uint16_t build);
void* CreateMainWindow();
void DestroyMainWindow(void* window);

// Runs the module's timers that fall due up to `nowMs` of the flight, which started at
// `wallStart`, at the end of a frame of `frameMs`: each due timer fires once, however long the
// frame, as a thread timer does under a loop that looks once a frame. The native host runs them
// at once in simulated time; the Windows host runs its message loop until the wall clock reaches
// that moment (at a frame longer than the timers' 10 ms period it waits, then looks once).
void RunTimersUntil(std::uint64_t nowMs, Clock::time_point wallStart, std::uint32_t frameMs);

// Stops every timer the module left running before it is unloaded; returns how many there were.
std::size_t StopLeftoverTimers();

// The system's library loader, as the simulator uses it for a gauge: a library opened by path
// (null with the system's reason when it cannot be), its exported records by name, and closed.
// `LibrarySuffix` is the ending of a library's file name; `ProcessId` tells this process apart.
void* OpenLibrary(const std::string& path, std::string& reason);
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);
const char* LibrarySuffix();
unsigned long ProcessId();

// The peak resident memory of the process so far, in KiB (0 where unknown).
long PeakMemoryKb();

// Whether standard error is a terminal someone watches (progress is shown only there).
bool StandardErrorIsTerminal();

} // namespace bench::hostsystem
