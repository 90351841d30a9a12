#pragma once

#include "Bench/Output/EventLog.h"
#include "Bench/Output/LoopbackDevice.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// The simulator's sound card, in simulated time: the module's audio device renders into the
// loopback record once per step, and what it renders can be kept as a WAV file to listen to.
class AudioOutput {
public:
    static constexpr std::uint32_t kSampleRate = LoopbackDevice::kSampleRate;

    explicit AudioOutput(EventLog& log);
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // False when the file cannot be made.
    bool Record(const std::string& wavPath);
    // Renders the sound of frame `frame`, `frameMs` long, if the module has its device open:
    // 441 stereo frames a 10 ms; a frame whose length is no whole number of them carries the
    // rest into the next, so that no sample is lost.
    void Step(std::uint64_t frame, std::int64_t frameMs);
    // Writes the WAV file's sizes; false when the file could not be completed.
    bool Finish();

private:
    static void SoundOperation(void* user, const char* op, const char* name, std::int32_t volume,
                               std::int32_t hasResult, std::int32_t result);

    EventLog& log;
    LoopbackDevice device{&AudioOutput::SoundOperation, this};
    std::FILE* wav = nullptr;
    std::uint64_t framesWritten = 0;
    std::vector<std::int16_t> frames;
};

} // namespace bench
