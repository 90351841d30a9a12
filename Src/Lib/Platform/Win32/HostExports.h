// What a host executable may export for the module on the simulator's platform. The simulator
// exports none of these; a test host that does gets the module's diagnostics and its by-name
// sound operations, which otherwise go to the debug output or nowhere. Looked up in the host's
// own executable, so the module imports nothing it would not import anyway.
#pragma once

#include <cstdint>

namespace platform::win32 {

// "zelvan_host_diagnostic": one diagnostic line, without its line end.
using DiagnosticSink = void (*)(const char* text);
// "zelvan_host_sound_op": as zvau_sound_op_fn of the native audio host, without its user value.
using SoundOperationSink = void (*)(const char* op, const char* name, std::int32_t volume,
                                    std::int32_t hasResult, std::int32_t result);

DiagnosticSink HostDiagnosticSink();
SoundOperationSink HostSoundOperationSink();

} // namespace platform::win32
