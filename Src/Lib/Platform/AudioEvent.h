// Events for the sound worker: manual-reset events that one thread waits on together.
#pragma once

#include <cstdint>

namespace platform::audio {

// A manual-reset event: once set, it stays set (and wakes every waiter) until reset.
class Event {
public:
    Event();
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;

    // The system's event object, for a backend whose devices signal it themselves; null where
    // the backend keeps the state itself.
    void* NativeHandle() const { return handle_; }

private:
    friend std::uint32_t WaitForAny(Event* const* events, std::uint32_t count,
                                    std::uint32_t timeoutMs);
    bool signalled_ = false; // guarded by the waiting hub's lock (native backend)
    void* handle_ = nullptr; // the event object (simulator's platform)
};

// The simulator's platform waits on at most this many handles at once.
constexpr std::uint32_t kMaxWaitEvents = 64;

constexpr std::uint32_t kWaitInfinite = 0xFFFFFFFFu;
constexpr std::uint32_t kWaitAbandoned = 0x80u; // only ever returned by the simulator's platform
constexpr std::uint32_t kWaitTimeout = 0x102u;
constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;

// Waits until one of the first `count` events is set and returns the lowest index among the set
// ones; the event stays set. kWaitTimeout when the time ran out, kWaitFailed for an empty or
// oversized list or a null entry.
std::uint32_t WaitForAny(Event* const* events, std::uint32_t count,
                         std::uint32_t timeoutMs = kWaitInfinite);

} // namespace platform::audio
