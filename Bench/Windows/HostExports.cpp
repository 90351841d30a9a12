// What the Windows bench exports for the module (see the module's Win32/HostExports.h): its
// diagnostics and by-name sound operations reach the event log as on the native bench.
#include "Lib/Platform/HostRuntime/zelvan_audio_host.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <cstdint>

extern "C" __declspec(dllexport) void zelvan_host_diagnostic(const char* text) {
    zvrt_diagnostic(text);
}

extern "C" __declspec(dllexport) void zelvan_host_sound_op(const char* op, const char* name,
                                                           std::int32_t volume,
                                                           std::int32_t hasResult,
                                                           std::int32_t result) {
    const auto* host = static_cast<const zvau_host*>(zvrt_get_service(ZVAU_SERVICE_NAME));
    if (host != nullptr && host->size == sizeof(zvau_host) && host->sound_op != nullptr) {
        host->sound_op(host->sound_op_user, op, name, volume, hasResult, result);
    }
}
