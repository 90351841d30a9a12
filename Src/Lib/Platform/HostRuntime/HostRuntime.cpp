// The runtime keeps plain state for one host process. Nothing here allocates on a steady tick:
// the timer table only grows when a timer is started.
#include "zelvan_hostrt.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

struct TimerEntry {
    uintptr_t id;
    uint32_t period;
    uint64_t nextDue;
    zvrt_timer_proc proc;
    bool live;
};

struct WindowEntry {
    std::string className;
    bool live;
};

struct ServiceEntry {
    std::string name;
    void* service;
};

struct Runtime {
    std::vector<TimerEntry> timers;
    uintptr_t nextTimerId = 1;
    uint64_t now = 0;
    bool running = false;

    // Destroyed windows stay listed (not live) so that a handle never dangles.
    std::vector<std::unique_ptr<WindowEntry>> windows;

    uint16_t version[4] = {0, 0, 0, 0};
    bool hasVersion = false;

    zvrt_timer_observer observer = nullptr;
    void* observerUser = nullptr;

    zvrt_text_sink sink = nullptr;
    void* sinkUser = nullptr;
    zvrt_sleep_hook sleepHook = nullptr;
    void* sleepUser = nullptr;

    bool calendarPinned = false;
    double calendarAtPin = 0.0;
    uint64_t clockAtPin = 0;

    std::vector<ServiceEntry> services;
};

Runtime& rt() {
    static Runtime runtime;
    return runtime;
}

} // namespace

extern "C" {

uintptr_t zvrt_set_timer(uint32_t period_ms, zvrt_timer_proc proc) {
    if (proc == nullptr) {
        return 0;
    }
    Runtime& r = rt();
    const uintptr_t id = r.nextTimerId++;
    const uint32_t period = period_ms == 0 ? 1 : period_ms;
    r.timers.push_back(TimerEntry{id, period, r.now + period, proc, true});
    if (r.observer != nullptr) {
        r.observer(r.observerUser, id, period, 1);
    }
    return id;
}

int zvrt_kill_timer(uintptr_t timer_id) {
    Runtime& r = rt();
    for (auto it = r.timers.begin(); it != r.timers.end(); ++it) {
        if (it->id == timer_id && it->live) {
            if (r.observer != nullptr) {
                r.observer(r.observerUser, timer_id, it->period, 0);
            }
            if (r.running) {
                it->live = false; // swept after the run, the loop is still walking the table
            } else {
                r.timers.erase(it);
            }
            return 1;
        }
    }
    return 0;
}

void zvrt_run_due_timers(uint64_t now_ms) {
    Runtime& r = rt();
    r.now = now_ms;
    r.running = true;
    const size_t count = r.timers.size();
    for (size_t i = 0; i < count; ++i) {
        // Index access: a timer procedure may start timers and so grow the table.
        if (!r.timers[i].live || r.timers[i].nextDue > now_ms) {
            continue;
        }
        r.timers[i].nextDue += r.timers[i].period;
        if (r.timers[i].nextDue <= now_ms) {
            r.timers[i].nextDue = now_ms + r.timers[i].period;
        }
        const uintptr_t id = r.timers[i].id;
        r.timers[i].proc(nullptr, 0x113 /* the timer message */, id, static_cast<uint32_t>(now_ms));
    }
    r.running = false;
    std::erase_if(r.timers, [](const TimerEntry& t) { return !t.live; });
}

uint64_t zvrt_now_ms(void) {
    return rt().now;
}

size_t zvrt_timer_count(void) {
    size_t n = 0;
    for (const TimerEntry& t : rt().timers) {
        n += t.live ? 1 : 0;
    }
    return n;
}

size_t zvrt_kill_all_timers(void) {
    const size_t running = zvrt_timer_count();
    Runtime& r = rt();
    for (TimerEntry& t : r.timers) {
        if (t.live && r.observer != nullptr) {
            r.observer(r.observerUser, t.id, t.period, 0);
        }
        t.live = false;
    }
    if (!r.running) {
        r.timers.clear();
    }
    return running;
}

void zvrt_set_timer_observer(zvrt_timer_observer observer, void* user) {
    rt().observer = observer;
    rt().observerUser = user;
}

void* zvrt_create_window(const char* class_name) {
    auto w =
        std::make_unique<WindowEntry>(WindowEntry{class_name != nullptr ? class_name : "", true});
    rt().windows.push_back(std::move(w));
    return rt().windows.back().get();
}

void zvrt_destroy_window(void* window) {
    for (auto& w : rt().windows) {
        if (w.get() == window) {
            w->live = false;
        }
    }
}

void* zvrt_find_window(const char* class_name) {
    if (class_name == nullptr) {
        return nullptr;
    }
    for (auto& w : rt().windows) {
        if (w->live && w->className == class_name) {
            return w.get();
        }
    }
    return nullptr;
}

void zvrt_set_host_version(uint16_t major, uint16_t minor, uint16_t build, uint16_t revision) {
    Runtime& r = rt();
    r.version[0] = major;
    r.version[1] = minor;
    r.version[2] = build;
    r.version[3] = revision;
    r.hasVersion = true;
}

int zvrt_get_host_version(uint16_t parts[4]) {
    Runtime& r = rt();
    if (!r.hasVersion || parts == nullptr) {
        return 0;
    }
    std::memcpy(parts, r.version, sizeof r.version);
    return 1;
}

void zvrt_set_diagnostic_sink(zvrt_text_sink sink, void* user) {
    rt().sink = sink;
    rt().sinkUser = user;
}

void zvrt_diagnostic(const char* text) {
    const char* t = text != nullptr ? text : "";
    Runtime& r = rt();
    if (r.sink != nullptr) {
        r.sink(r.sinkUser, t);
    } else {
        std::fprintf(stderr, "%s\n", t);
    }
}

void zvrt_set_sleep_hook(zvrt_sleep_hook hook, void* user) {
    rt().sleepHook = hook;
    rt().sleepUser = user;
}

void zvrt_sleep(uint32_t ms) {
    Runtime& r = rt();
    if (r.sleepHook != nullptr) {
        r.sleepHook(r.sleepUser, ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

void zvrt_pin_calendar_time(double seconds_since_epoch) {
    Runtime& r = rt();
    r.calendarPinned = seconds_since_epoch >= 0.0;
    r.calendarAtPin = seconds_since_epoch;
    r.clockAtPin = r.now;
}

double zvrt_calendar_time(void) {
    Runtime& r = rt();
    if (r.calendarPinned) {
        return r.calendarAtPin + static_cast<double>(r.now - r.clockAtPin) / 1000.0;
    }
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

void zvrt_set_service(const char* name, void* service) {
    if (name == nullptr) {
        return;
    }
    for (ServiceEntry& s : rt().services) {
        if (s.name == name) {
            s.service = service;
            return;
        }
    }
    rt().services.push_back(ServiceEntry{name, service});
}

void* zvrt_get_service(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (const ServiceEntry& s : rt().services) {
        if (s.name == name) {
            return s.service;
        }
    }
    return nullptr;
}

void zvrt_reset(void) {
    Runtime& r = rt();
    r.timers.clear();
    r.nextTimerId = 1;
    r.now = 0;
    r.running = false;
    r.windows.clear();
    r.hasVersion = false;
    r.sink = nullptr;
    r.observer = nullptr;
    r.sleepHook = nullptr;
    r.calendarPinned = false;
    r.services.clear();
}

} // extern "C"
