/* The audio contract between the module and a host that runs it in simulated time.
 *
 * The host publishes one record with zvrt_set_service(ZVAU_SERVICE_NAME, &record) before the
 * module opens its audio device, and keeps it alive until the module is unloaded. Without it,
 * the module plays on the default playback device.
 *
 * With use_loopback set, the module's audio device renders into memory instead of a sound card:
 * while it is open it fills in render, lose_buffers and context, and it clears them when it
 * closes. The host then calls render once per 10 ms step (sample_rate / 100 frames), on its own
 * UI thread; the device raises the buffers' position notifications during that call, at the
 * frame where each play cursor passes its mark, and lets the module's sound worker act on them
 * before it renders on, so the output depends on nothing but the calls the module made.
 *
 * Every call happens on the host's UI thread. */
#ifndef ZELVAN_AUDIO_HOST_H
#define ZELVAN_AUDIO_HOST_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZVAU_SERVICE_NAME "audio"

/* Renders frame_count interleaved stereo frames of signed 16-bit samples into frames. */
typedef void (*zvau_render_fn)(void* context, int16_t* frames, uint32_t frame_count);

/* Makes every buffer of the device report itself lost, as when another program takes the sound
 * card; the next failing_restores restore attempts then still report the buffer lost. */
typedef void (*zvau_lose_buffers_fn)(void* context, uint32_t failing_restores);

/* One by-name operation of the sound engine. op is "play", "stop", "volume", "mute" or
 * "unmute"; name is NULL for "mute" and "unmute"; volume is meaningful for "volume" only
 * (hundredths of a decibel); result only when has_result is nonzero ("play"). */
typedef void (*zvau_sound_op_fn)(void* user, const char* op, const char* name, int32_t volume,
                                 int32_t has_result, int32_t result);

typedef struct zvau_host {
    /* Set by the host. */
    uint32_t size;             /* sizeof(zvau_host); a record of another size is ignored */
    int32_t use_loopback;      /* nonzero: render in memory through render() */
    uint32_t sample_rate;      /* loopback frames per second, e.g. 44100 */
    zvau_sound_op_fn sound_op; /* optional */
    void* sound_op_user;

    /* Set by the module's audio device while it is open on loopback; NULL otherwise. */
    zvau_render_fn render;
    zvau_lose_buffers_fn lose_buffers;
    void* context;
    /* Counted by render: the position marks that nobody answered within the renderer's wait
     * (two seconds of wall time). The module's worker answers every mark at once, so anything
     * but 0 means lost time and a sound that went on unanswered. */
    uint32_t unanswered_marks;
    /* Counted by render: the frames that went through the mixer. While nothing plays, render
     * writes silence without mixing, so this stands still. */
    uint64_t mixed_frames;
} zvau_host;

#ifdef __cplusplus
}
#endif

#endif
