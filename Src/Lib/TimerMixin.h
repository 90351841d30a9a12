#pragma once

#include "Lib/Platform/Platform.h"

#include <cstdint>
#include <map>

namespace except {

// Gives an object numbered periodic timers ticked on the host's UI thread. One process-wide
// registry maps each platform timer back to its owner and the owner's own number.
class TimerMixin {
public:
    TimerMixin() = default;
    TimerMixin(const TimerMixin&) = delete;
    TimerMixin& operator=(const TimerMixin&) = delete;
    // Stops every timer of the process, not only this object's: the module destroys a
    // TimerMixin only at unload, and then no timer may outlive it.
    virtual ~TimerMixin();

    virtual void onTimer(std::uint32_t id) = 0;

    // Restarting a running number replaces its timer. False when the platform made no timer.
    bool startTimer(std::uint32_t id, std::uint32_t periodMs);
    void stopTimer(std::uint32_t id);

    // The platform's timer procedure; public so that a test can deliver a stale tick.
    static void TimerProc(void* window, std::uint32_t message, platform::TimerId timerId,
                          std::uint32_t timeMs);

    // Number of timers in the process-wide registry.
    static std::size_t RegisteredTimers();

private:
    std::map<std::uint32_t, platform::TimerId> timers;
};

// A static set of four callback lists, each with a timer procedure of its own that calls the
// list's callbacks in order. Nothing in the module starts them; they stay for gauges that do.
class Timer {
public:
    using Callback = void (*)();
    static constexpr std::size_t kLists = 4;

    static Timer& Instance();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void Add(std::size_t list, Callback callback);
    void Clear(std::size_t list);
    std::size_t Count(std::size_t list) const;
    static platform::TimerProc Procedure(std::size_t list);

private:
    Timer() = default;
    template <std::size_t List>
    static void RunList(void* window, std::uint32_t message, platform::TimerId id,
                        std::uint32_t timeMs);

    static constexpr std::size_t kCapacity = 16;
    Callback callbacks[kLists][kCapacity] = {};
    std::size_t counts[kLists] = {};
};

} // namespace except
