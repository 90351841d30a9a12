#include "Lib/Platform/Win32/HostExports.h"

#include <windows.h>

namespace platform::win32 {

namespace {

template <typename Fn> Fn HostExport(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), name)));
}

} // namespace

DiagnosticSink HostDiagnosticSink() {
    return HostExport<DiagnosticSink>("zelvan_host_diagnostic");
}

SoundOperationSink HostSoundOperationSink() {
    return HostExport<SoundOperationSink>("zelvan_host_sound_op");
}

} // namespace platform::win32
