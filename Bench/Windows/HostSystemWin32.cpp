// The Windows host: the module's timers are the system's thread timers, ticked by this thread's
// message loop in real time; its window, version resource and known folders are the system's.
#include "Bench/Host/HostSystem.h"
#include "Bench/Windows/LoadedGauge.h"

#include <windows.h>

#include <psapi.h>

#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

namespace bench::hostsystem {

namespace {

constexpr const char* kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// FOLDERID_SavedGames, as the shell names the folder there.
constexpr const char* kSavedGamesValue = "{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}";

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcA(window, message, w, l);
}

// The host opens one gauge at a time; the panel's pictures come from its resources.
HMODULE openGauge = nullptr;

// Runs every message waiting for this thread (the timers' included).
void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

void* OpenLibrary(const std::string& path, std::string& reason) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) {
        reason = "error " + std::to_string(GetLastError());
    } else {
        openGauge = library;
    }
    return library;
}

void* LoadedGauge() {
    return openGauge;
}

void* FindSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) {
    if (library == openGauge) {
        openGauge = nullptr;
    }
    FreeLibrary(static_cast<HMODULE>(library));
}

const char* LibrarySuffix() {
    return ".dll";
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

std::string MakeTemporaryFolder() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const auto candidate = base / ("zelvan-bench-" + std::to_string(GetCurrentProcessId()) +
                                       "-" + std::to_string(GetTickCount() + attempt));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            return candidate.string();
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

// The user's Saved Games folder is redirected for the run, as a user who moved the folder has it:
// the known folder's entry among the user's shell folders names the new place.
SettingsFolder::SettingsFolder(const std::string& folder) {
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof value;
    hadPrevious = RegGetValueA(HKEY_CURRENT_USER, kUserShellFolders, kSavedGamesValue,
                               RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                               &size) == ERROR_SUCCESS;
    if (hadPrevious) {
        previous = value;
    }
    RegSetKeyValueA(HKEY_CURRENT_USER, kUserShellFolders, kSavedGamesValue, REG_SZ, folder.c_str(),
                    static_cast<DWORD>(folder.size() + 1));
}

SettingsFolder::~SettingsFolder() {
    if (hadPrevious) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kUserShellFolders, kSavedGamesValue, REG_EXPAND_SZ,
                        previous.c_str(), static_cast<DWORD>(previous.size() + 1));
    } else {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kUserShellFolders, kSavedGamesValue);
    }
}

// The executable's version resource carries the host's build; a scenario cannot change it.
void DeclareHostBuild(std::uint16_t) {}

void* CreateMainWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &MainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FS98MAIN";
    RegisterClassA(&windowClass); // a second flight finds the class registered
    return CreateWindowExA(0, "FS98MAIN", "zelvan-bench", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void DestroyMainWindow(void* window) {
    DestroyWindow(static_cast<HWND>(window));
    PumpMessages();
}

void RunTimersUntil(std::uint64_t nowMs, Clock::time_point wallStart, std::uint32_t frameMs) {
    const auto until = wallStart + std::chrono::milliseconds(nowMs);
    if (frameMs > 10) {
        // The simulator's loop looks once a frame: a thread timer's tick waits for it and comes
        // once, however many periods went by.
        std::this_thread::sleep_until(until);
        PumpMessages();
        return;
    }
    for (;;) {
        PumpMessages();
        const auto now = Clock::now();
        if (now >= until) {
            return;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()) + 1,
                                  QS_ALLINPUT);
    }
}

// A thread timer still running shows itself by its next tick: the loop watches for ticks a
// while longer than the module's longest period and stops each one it sees.
std::size_t StopLeftoverTimers() {
    std::set<UINT_PTR> left;
    const auto until = Clock::now() + std::chrono::milliseconds(200);
    while (Clock::now() < until) {
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            if (message.hwnd == nullptr && message.lParam != 0) {
                KillTimer(nullptr, message.wParam);
                left.insert(message.wParam);
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_TIMER);
    }
    return left.size();
}

long PeakMemoryKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) == 0) {
        return 0;
    }
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
}

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

} // namespace bench::hostsystem
