// The simulator's own platform: thread timers ticked by the host's message loop, the host's
// windows, the executable's version resource and the system's library loader.
#include "Lib/Platform/Platform.h"

#include "Lib/Platform/Win32/HostExports.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace platform {

namespace {

// Thread timers call back with the system's calling convention; this table hands each tick on to
// the procedure its timer was started with. UI thread only, as the timers themselves.
std::map<UINT_PTR, TimerProc>& TimerProcs() {
    static std::map<UINT_PTR, TimerProc> procs;
    return procs;
}

void CALLBACK TimerTrampoline(HWND window, UINT message, UINT_PTR id, DWORD timeMs) {
    const auto found = TimerProcs().find(id);
    if (found != TimerProcs().end()) {
        found->second(window, message, id, timeMs);
    }
}

// One string of the version record's string table, for its first language and code page.
std::string VersionString(const void* record, WORD language, WORD codePage, const char* name) {
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", language, codePage, name);
    void* text = nullptr;
    UINT length = 0;
    if (VerQueryValueA(record, query, &text, &length) == 0 || text == nullptr || length == 0) {
        return {};
    }
    return std::string(static_cast<const char*>(text));
}

} // namespace

TimerId SetTimer(std::uint32_t periodMs, TimerProc proc) {
    if (proc == nullptr) {
        return 0;
    }
    const UINT_PTR id = ::SetTimer(nullptr, 0, periodMs, &TimerTrampoline);
    if (id != 0) {
        TimerProcs()[id] = proc;
    }
    return id;
}

void KillTimer(TimerId id) {
    ::KillTimer(nullptr, id);
    TimerProcs().erase(id);
}

WindowHandle FindWindowByClass(const char* className) {
    return ::FindWindowA(className, nullptr);
}

bool ReadHostExecutableVersion(FileVersion& out) {
    std::vector<char> fileName(4096);
    if (GetModuleFileNameA(nullptr, fileName.data(), static_cast<DWORD>(fileName.size())) == 0) {
        return false;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName.data(), &ignored);
    if (size == 0) {
        return false;
    }
    std::vector<char> record(size);
    if (GetFileVersionInfoA(fileName.data(), 0, size, record.data()) == 0) {
        return false;
    }
    void* fixed = nullptr;
    UINT fixedLength = 0;
    if (VerQueryValueA(record.data(), "\\", &fixed, &fixedLength) == 0 || fixed == nullptr ||
        fixedLength < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    out.major = HIWORD(info->dwFileVersionMS);
    out.minor = LOWORD(info->dwFileVersionMS);
    out.build = HIWORD(info->dwFileVersionLS);
    out.revision = LOWORD(info->dwFileVersionLS);

    void* translation = nullptr;
    UINT translationLength = 0;
    if (VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", &translation,
                       &translationLength) != 0 &&
        translation != nullptr && translationLength >= 2 * sizeof(WORD)) {
        const auto* pair = static_cast<const WORD*>(translation);
        out.companyName = VersionString(record.data(), pair[0], pair[1], "CompanyName");
        out.fileDescription = VersionString(record.data(), pair[0], pair[1], "FileDescription");
        out.productName = VersionString(record.data(), pair[0], pair[1], "ProductName");
    }
    return true;
}

LibraryHandle LoadDynamicLibrary(const std::string& path) {
    // The loader wants backslashes in a path; the module's table of libraries uses slashes.
    std::string native = path;
    for (char& c : native) {
        if (c == '/') {
            c = '\\';
        }
    }
    // No message box for a library that is missing or damaged: the module reports it itself.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE library = LoadLibraryA(native.c_str());
    SetErrorMode(previous);
    return library;
}

void* FindSymbol(LibraryHandle library, const char* name) {
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void FreeDynamicLibrary(LibraryHandle library) {
    if (library != nullptr) {
        FreeLibrary(static_cast<HMODULE>(library));
    }
}

void WriteDiagnostic(std::string_view text) noexcept {
    try {
        const std::string line(text);
        if (const auto sink = win32::HostDiagnosticSink()) {
            sink(line.c_str());
            return;
        }
        // The simulator has no console: a debugger or a debug-output viewer shows the line.
        OutputDebugStringA((line + "\n").c_str());
    } catch (...) {
        OutputDebugStringA("(diagnostic text lost: out of memory)\n");
    }
}

void Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

double CalendarTime() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

} // namespace platform
