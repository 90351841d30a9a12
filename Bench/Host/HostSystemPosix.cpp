// The native host: the host platform runtime stands in for the system, in simulated time.
#include "Bench/Host/HostSystem.h"

#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace bench::hostsystem {

std::string MakeTemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelvan-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    return pattern;
}

void* OpenLibrary(const std::string& path, std::string& reason) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* text = dlerror();
        reason = text != nullptr ? text : "unknown";
    }
    return library;
}

void* FindSymbol(void* library, const char* name) {
    return dlsym(library, name);
}

void CloseLibrary(void* library) {
    dlclose(library);
}

const char* LibrarySuffix() {
    return ".so";
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

SettingsFolder::SettingsFolder(const std::string& folder) {
    if (const char* xdg = std::getenv("XDG_DATA_HOME")) {
        previous = xdg;
        hadPrevious = true;
    }
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
}

SettingsFolder::~SettingsFolder() {
    if (hadPrevious) {
        setenv("XDG_DATA_HOME", previous.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

void DeclareHostBuild(std::uint16_t build) {
    zvrt_set_host_version(10, 0, build, 0);
}

void* CreateMainWindow() {
    return zvrt_create_window("FS98MAIN");
}

void DestroyMainWindow(void* window) {
    zvrt_destroy_window(window);
}

void RunTimersUntil(std::uint64_t nowMs, Clock::time_point, std::uint32_t) {
    zvrt_run_due_timers(nowMs);
}

std::size_t StopLeftoverTimers() {
    return zvrt_kill_all_timers();
}

long PeakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

} // namespace bench::hostsystem
