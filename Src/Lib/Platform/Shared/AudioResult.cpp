// Descriptions of the audio result codes, worded as the simulator's platform words them.
#include "Lib/Platform/AudioResult.h"

#include <cstdio>

namespace platform::audio {

namespace {

struct Description {
    Result code;
    const wchar_t* text;
};

constexpr Description kDescriptions[] = {
    {kOk, L"The function completed successfully"},
    {kFalse, L"Call successful, but returned FALSE"},
    {kNoVirtualization, L"The call succeeded, but 3D virtualization is not available"},
    {kNotImplemented, L"The function called is not supported at this time"},
    {kNoInterface, L"The requested interface is not supported"},
    {kFail, L"An undetermined error occurred inside the DirectSound subsystem"},
    {kNotInitialized, L"The object has not been initialized"},
    {kOutOfMemory, L"Not enough free memory is available to complete the operation"},
    {kInvalidArgument, L"An invalid parameter was passed to the returning function"},
    {kAllocated, L"The call failed because resources (such as a priority level) were already "
                 L"being used by another caller"},
    {kControlUnavailable, L"The control (vol, pan, etc.) requested by the caller is not "
                          L"available"},
    {kInvalidCall, L"This call is not valid for the current state of this object"},
    {kBadFormat, L"The specified WAVE format is not supported"},
    {kNoDriver, L"No sound driver is available for use"},
    {kBufferLost, L"The buffer memory has been lost, and must be restored"},
};

} // namespace

std::wstring DescribeResult(Result result) {
    for (const Description& d : kDescriptions) {
        if (d.code == result) {
            return d.text;
        }
    }
    wchar_t text[48];
    std::swprintf(text, sizeof text / sizeof text[0], L"Unknown error 0x%08X",
                  static_cast<unsigned>(result));
    return text;
}

} // namespace platform::audio
