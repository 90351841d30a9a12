#pragma once

// The host's half of the audio contract (zelvan_audio_host.h), shared by the bench's sound card
// and the audio tests: publishes the loopback record, so that the module's audio device renders
// into memory, and renders that device in 10 ms steps.

#include "Lib/Platform/HostRuntime/zelvan_audio_host.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <cstdint>

namespace bench {

class LoopbackDevice {
public:
    static constexpr std::uint32_t kSampleRate = 44100;
    static constexpr std::uint32_t kFramesPerStep = kSampleRate / 100;

    // `soundOp`, if given, hears every by-name operation of the module's sound engine.
    LoopbackDevice(zvau_sound_op_fn soundOp, void* user) {
        record.size = sizeof record;
        record.use_loopback = 1;
        record.sample_rate = kSampleRate;
        record.sound_op = soundOp;
        record.sound_op_user = user;
        zvrt_set_service(ZVAU_SERVICE_NAME, &record);
    }
    // Withdraws the record unless someone has published another since.
    ~LoopbackDevice() {
        if (zvrt_get_service(ZVAU_SERVICE_NAME) == &record) {
            zvrt_set_service(ZVAU_SERVICE_NAME, nullptr);
        }
    }
    LoopbackDevice(const LoopbackDevice&) = delete;
    LoopbackDevice& operator=(const LoopbackDevice&) = delete;

    // Renders one step of interleaved stereo into `frames` (2 * kFramesPerStep samples). False,
    // with `frames` untouched, while the module has no device open.
    bool RenderStep(std::int16_t* frames) { return Render(frames, kFramesPerStep); }
    // The same for `count` stereo frames (2 * count samples).
    bool Render(std::int16_t* frames, std::uint32_t count) {
        if (record.render == nullptr) {
            return false;
        }
        record.render(record.context, frames, count);
        return true;
    }

    // The published record: the module fills in its device's functions and counters.
    zvau_host record{};
};

} // namespace bench
