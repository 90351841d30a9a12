// The native backend: the host platform runtime stands in for the system libraries the
// simulator's platform has, and the dynamic loader for its library loader.
#include "Lib/Platform/Platform.h"

#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <dlfcn.h>

#include <string>

namespace platform {

TimerId SetTimer(std::uint32_t periodMs, TimerProc proc) {
    return zvrt_set_timer(periodMs, proc);
}

void KillTimer(TimerId id) {
    zvrt_kill_timer(id);
}

WindowHandle FindWindowByClass(const char* className) {
    return zvrt_find_window(className);
}

bool ReadHostExecutableVersion(FileVersion& out) {
    std::uint16_t parts[4] = {0, 0, 0, 0};
    if (zvrt_get_host_version(parts) == 0) {
        return false;
    }
    out.major = parts[0];
    out.minor = parts[1];
    out.build = parts[2];
    out.revision = parts[3];
    return true;
}

LibraryHandle LoadDynamicLibrary(const std::string& path) {
    // The simulator's loader takes either separator; the dynamic loader only the forward one.
    std::string native = path;
    for (char& c : native) {
        if (c == '\\') {
            c = '/';
        }
    }
    // A path without a separator would search the system folders; the host's loader looks in
    // its working directory first, so name it.
    if (native.find('/') == std::string::npos) {
        native = "./" + native;
    }
    return dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(LibraryHandle library, const char* name) {
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    return dlsym(library, name);
}

void FreeDynamicLibrary(LibraryHandle library) {
    if (library != nullptr) {
        dlclose(library);
    }
}

void WriteDiagnostic(std::string_view text) noexcept {
    try {
        const std::string line(text);
        zvrt_diagnostic(line.c_str());
    } catch (...) {
        zvrt_diagnostic("(diagnostic text lost: out of memory)");
    }
}

void Sleep(std::uint32_t milliseconds) {
    zvrt_sleep(milliseconds);
}

double CalendarTime() {
    return zvrt_calendar_time();
}

} // namespace platform
