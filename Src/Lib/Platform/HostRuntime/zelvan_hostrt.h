/* The host platform runtime: what the operating system gives a gauge module and its host on
 * the simulator's own platform (thread timers run by the host's message loop, top-level window
 * lookup, the host executable's version, a diagnostic sink), as one small shared library that
 * both sides link. It knows nothing of gliders. Every function is called on the host's UI thread
 * unless its comment says otherwise. */
#ifndef ZELVAN_HOSTRT_H
#define ZELVAN_HOSTRT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && defined(ZVRT_BUILD)
#define ZVRT_API __declspec(dllexport)
#elif defined(_WIN32)
#define ZVRT_API __declspec(dllimport)
#else
#define ZVRT_API __attribute__((visibility("default")))
#endif

/* ---- thread timers --------------------------------------------------------------------- */
typedef void (*zvrt_timer_proc)(void* window, uint32_t message, uintptr_t timer_id,
                                uint32_t time_ms);

/* Starts a periodic timer; its first tick is one period after the host's current time. Returns
 * the new timer's id (never 0), or 0 when no timer could be made. */
ZVRT_API uintptr_t zvrt_set_timer(uint32_t period_ms, zvrt_timer_proc proc);
/* Stops a timer; returns 0 when no such timer runs. */
ZVRT_API int zvrt_kill_timer(uintptr_t timer_id);
/* Host side: sets the host clock, then calls every due timer once, in the order the timers were
 * started. A timer started during the run waits for the next run; one stopped during it is not
 * called. Ticks never pile up: a late timer fires once and is due a full period later. */
ZVRT_API void zvrt_run_due_timers(uint64_t now_ms);
ZVRT_API uint64_t zvrt_now_ms(void);
ZVRT_API size_t zvrt_timer_count(void);
/* Host side: stops every timer (a module about to be unloaded must not be called again);
 * returns how many were running. */
ZVRT_API size_t zvrt_kill_all_timers(void);
/* Host side: told of every timer started (started = 1) and stopped (started = 0). */
typedef void (*zvrt_timer_observer)(void* user, uintptr_t timer_id, uint32_t period_ms,
                                    int started);
ZVRT_API void zvrt_set_timer_observer(zvrt_timer_observer observer, void* user);

/* ---- top-level windows ----------------------------------------------------------------- */
ZVRT_API void* zvrt_create_window(const char* class_name);
ZVRT_API void zvrt_destroy_window(void* window);
/* The first live window of that class (exact match), or NULL. */
ZVRT_API void* zvrt_find_window(const char* class_name);

/* ---- the host executable's version ------------------------------------------------------ */
ZVRT_API void zvrt_set_host_version(uint16_t major, uint16_t minor, uint16_t build,
                                    uint16_t revision);
/* Fills parts[4] (major, minor, build, revision); returns 0 when the host declared none. */
ZVRT_API int zvrt_get_host_version(uint16_t parts[4]);

/* ---- diagnostics ------------------------------------------------------------------------ */
typedef void (*zvrt_text_sink)(void* user, const char* text);
/* Host side: where diagnostic lines go; NULL restores the default (standard error). */
ZVRT_API void zvrt_set_diagnostic_sink(zvrt_text_sink sink, void* user);
ZVRT_API void zvrt_diagnostic(const char* text);

/* ---- waiting ---------------------------------------------------------------------------- */
typedef void (*zvrt_sleep_hook)(void* user, uint32_t ms);
/* Host side: a host that runs in simulated time takes the wait over; NULL sleeps for real. */
ZVRT_API void zvrt_set_sleep_hook(zvrt_sleep_hook hook, void* user);
ZVRT_API void zvrt_sleep(uint32_t ms);

/* ---- calendar time ---------------------------------------------------------------------- */
/* Host side: pins the calendar time (seconds since 1970) at the current host clock; from then on
 * it advances with the host clock. A negative value returns to the real time. */
ZVRT_API void zvrt_pin_calendar_time(double seconds_since_epoch);
ZVRT_API double zvrt_calendar_time(void);

/* ---- named host services ---------------------------------------------------------------- */
/* A host hands an interface of its own to the libraries it lays out for the module (the
 * simulator's client library, an audio device) by name. */
ZVRT_API void zvrt_set_service(const char* name, void* service);
ZVRT_API void* zvrt_get_service(const char* name);

/* Host side: forgets every timer, window, service, hook and pinned value. */
ZVRT_API void zvrt_reset(void);

#ifdef __cplusplus
}
#endif

#endif
