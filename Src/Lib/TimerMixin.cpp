#include "Lib/TimerMixin.h"

#include "Lib/HostEntry.h"

#include <utility>

namespace except {

namespace {

struct TimerOwner {
    std::uint32_t number;
    TimerMixin* owner;
};

// Process-wide timer registry: platform timer id -> owner and the owner's timer number.
std::map<platform::TimerId, TimerOwner> timerRegistry;

} // namespace

TimerMixin::~TimerMixin() {
    for (const auto& entry : timerRegistry) {
        platform::KillTimer(entry.first);
    }
    timerRegistry.clear();
    timers.clear();
}

bool TimerMixin::startTimer(std::uint32_t id, std::uint32_t periodMs) {
    if (timers.contains(id)) {
        stopTimer(id);
    }
    const platform::TimerId timerId = platform::SetTimer(periodMs, &TimerMixin::TimerProc);
    if (timerId == 0) {
        return false;
    }
    timerRegistry[timerId] = TimerOwner{id, this};
    timers[id] = timerId;
    return true;
}

void TimerMixin::stopTimer(std::uint32_t id) {
    const auto it = timers.find(id);
    if (it == timers.end()) {
        return;
    }
    platform::KillTimer(it->second);
    timerRegistry.erase(it->second);
    timers.erase(it);
}

void TimerMixin::TimerProc(void*, std::uint32_t, platform::TimerId timerId, std::uint32_t) {
    GuardHostEntry("timer procedure", [timerId] {
        const auto it = timerRegistry.find(timerId);
        if (it != timerRegistry.end()) {
            it->second.owner->onTimer(it->second.number);
        }
    });
}

std::size_t TimerMixin::RegisteredTimers() {
    return timerRegistry.size();
}

Timer& Timer::Instance() {
    static Timer instance;
    return instance;
}

void Timer::Add(std::size_t list, Callback callback) {
    if (list < kLists && counts[list] < kCapacity && callback != nullptr) {
        callbacks[list][counts[list]++] = callback;
    }
}

void Timer::Clear(std::size_t list) {
    if (list < kLists) {
        counts[list] = 0;
    }
}

std::size_t Timer::Count(std::size_t list) const {
    return list < kLists ? counts[list] : 0;
}

template <std::size_t List>
void Timer::RunList(void*, std::uint32_t, platform::TimerId, std::uint32_t) {
    GuardHostEntry("timer callback list", [] {
        const Timer& t = Instance();
        for (std::size_t i = 0; i < t.counts[List]; ++i) {
            t.callbacks[List][i]();
        }
    });
}

platform::TimerProc Timer::Procedure(std::size_t list) {
    switch (list) {
    case 0:
        return &RunList<0>;
    case 1:
        return &RunList<1>;
    case 2:
        return &RunList<2>;
    case 3:
        return &RunList<3>;
    default:
        return nullptr;
    }
}

} // namespace except
