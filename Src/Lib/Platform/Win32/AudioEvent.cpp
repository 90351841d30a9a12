// Events on the simulator's platform are the system's manual-reset event objects, so that
// DirectSound can signal them itself when a play cursor passes a mark.
#include "Lib/Platform/AudioEvent.h"

#include <windows.h>

namespace platform::audio {

Event::Event() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

Event::~Event() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
    }
}

void Event::Set() {
    if (handle_ != nullptr) {
        SetEvent(handle_);
    }
}

void Event::Reset() {
    if (handle_ != nullptr) {
        ResetEvent(handle_);
    }
}

bool Event::IsSet() const {
    return handle_ != nullptr && WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0;
}

std::uint32_t WaitForAny(Event* const* events, std::uint32_t count, std::uint32_t timeoutMs) {
    if (events == nullptr || count == 0 || count > kMaxWaitEvents) {
        return kWaitFailed;
    }
    HANDLE handles[kMaxWaitEvents];
    for (std::uint32_t i = 0; i < count; ++i) {
        if (events[i] == nullptr || events[i]->handle_ == nullptr) {
            return kWaitFailed;
        }
        handles[i] = events[i]->handle_;
    }
    const DWORD r = WaitForMultipleObjects(count, handles, FALSE, timeoutMs);
    if (r < WAIT_OBJECT_0 + count) {
        return r - WAIT_OBJECT_0;
    }
    if (r >= WAIT_ABANDONED_0 && r < WAIT_ABANDONED_0 + count) {
        return kWaitAbandoned + (r - WAIT_ABANDONED_0);
    }
    return r == WAIT_TIMEOUT ? kWaitTimeout : kWaitFailed;
}

} // namespace platform::audio
