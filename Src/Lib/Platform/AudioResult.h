// Result codes of the audio platform layer. They keep the values the simulator's platform gives
// them (HRESULTs of COM, DirectSound and the multimedia functions), so that a result passes
// through the layer unchanged on either backend and reads the same in a report.
#pragma once

#include <cstdint>
#include <string>

namespace platform::audio {

using Result = std::int32_t;

constexpr Result MakeResult(std::uint32_t bits) {
    return static_cast<Result>(bits);
}

constexpr Result kOk = 0;                                       // S_OK, DS_OK
constexpr Result kFalse = 1;                                    // S_FALSE
constexpr Result kNoVirtualization = MakeResult(0x0878000Au);   // DS_NO_VIRTUALIZATION
constexpr Result kNotImplemented = MakeResult(0x80004001u);     // E_NOTIMPL
constexpr Result kNoInterface = MakeResult(0x80004002u);        // E_NOINTERFACE
constexpr Result kFail = MakeResult(0x80004005u);               // E_FAIL
constexpr Result kNotInitialized = MakeResult(0x800401F0u);     // CO_E_NOTINITIALIZED
constexpr Result kOutOfMemory = MakeResult(0x8007000Eu);        // E_OUTOFMEMORY
constexpr Result kInvalidArgument = MakeResult(0x80070057u);    // E_INVALIDARG
constexpr Result kAllocated = MakeResult(0x8878000Au);          // DSERR_ALLOCATED
constexpr Result kControlUnavailable = MakeResult(0x8878001Eu); // DSERR_CONTROLUNAVAIL
constexpr Result kInvalidCall = MakeResult(0x88780032u);        // DSERR_INVALIDCALL
constexpr Result kBadFormat = MakeResult(0x88780064u);          // DSERR_BADFORMAT
constexpr Result kNoDriver = MakeResult(0x88780078u);           // DSERR_NODRIVER
constexpr Result kBufferLost = MakeResult(0x88780096u);         // DSERR_BUFFERLOST

constexpr bool Succeeded(Result r) {
    return r >= 0;
}
constexpr bool Failed(Result r) {
    return r < 0;
}

// The platform's own description of a result, in wide text as the platform gives it.
std::wstring DescribeResult(Result result);

} // namespace platform::audio
