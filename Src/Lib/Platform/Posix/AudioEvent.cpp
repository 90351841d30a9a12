// Events on the native platform: every event shares one lock and one condition, so a thread can
// wait on any set of them at once. The sound engine has a handful of events and one waiter;
// waking it for an event it does not watch costs nothing worth a finer scheme.
#include "Lib/Platform/AudioEvent.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform::audio {

namespace {

struct Hub {
    std::mutex lock;
    std::condition_variable changed;
};

Hub& hub() {
    static Hub instance;
    return instance;
}

} // namespace

Event::Event() = default;
Event::~Event() = default;

void Event::Set() {
    Hub& h = hub();
    {
        const std::lock_guard guard(h.lock);
        signalled_ = true;
    }
    h.changed.notify_all();
}

void Event::Reset() {
    const std::lock_guard guard(hub().lock);
    signalled_ = false;
}

bool Event::IsSet() const {
    const std::lock_guard guard(hub().lock);
    return signalled_;
}

std::uint32_t WaitForAny(Event* const* events, std::uint32_t count, std::uint32_t timeoutMs) {
    if (events == nullptr || count == 0 || count > kMaxWaitEvents) {
        return kWaitFailed;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        if (events[i] == nullptr) {
            return kWaitFailed;
        }
    }
    Hub& h = hub();
    std::unique_lock guard(h.lock);
    std::uint32_t found = kWaitTimeout;
    const auto anySet = [&] {
        for (std::uint32_t i = 0; i < count; ++i) {
            if (events[i]->signalled_) {
                found = i;
                return true;
            }
        }
        return false;
    };
    if (timeoutMs == kWaitInfinite) {
        h.changed.wait(guard, anySet);
    } else {
        h.changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), anySet);
    }
    return found;
}

} // namespace platform::audio
