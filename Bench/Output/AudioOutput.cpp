#include "Bench/Output/AudioOutput.h"

#include <algorithm>
#include <cstring>

namespace bench {

namespace {

void PutLittleEndian(unsigned char* out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// A 44-byte header of 16-bit stereo PCM holding `frames` frames.
void WaveHeader(unsigned char* h, std::uint32_t rate, std::uint64_t frames) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames * 4);
    std::memcpy(h, "RIFF", 4);
    PutLittleEndian(h + 4, 36 + dataBytes, 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    PutLittleEndian(h + 16, 16, 4);
    PutLittleEndian(h + 20, 1, 2); // PCM
    PutLittleEndian(h + 22, 2, 2);
    PutLittleEndian(h + 24, rate, 4);
    PutLittleEndian(h + 28, rate * 4, 4);
    PutLittleEndian(h + 32, 4, 2);
    PutLittleEndian(h + 34, 16, 2);
    std::memcpy(h + 36, "data", 4);
    PutLittleEndian(h + 40, dataBytes, 4);
}

} // namespace

AudioOutput::AudioOutput(EventLog& eventLog) : log(eventLog) {}

AudioOutput::~AudioOutput() {
    if (wav != nullptr) {
        std::fclose(wav);
    }
}

bool AudioOutput::Record(const std::string& wavPath) {
    wav = std::fopen(wavPath.c_str(), "wb");
    if (wav == nullptr) {
        return false;
    }
    unsigned char header[44];
    WaveHeader(header, kSampleRate, 0);
    return std::fwrite(header, 1, sizeof header, wav) == sizeof header;
}

void AudioOutput::Step(std::uint64_t frame, std::int64_t frameMs) {
    // The sound's frames due by the frame's end, less those due by its start.
    const auto ms = static_cast<std::uint64_t>(frameMs);
    const auto dueBy = [ms](std::uint64_t end) { return end * ms * kSampleRate / 1000; };
    const auto count = static_cast<std::uint32_t>(dueBy(frame + 1) - dueBy(frame));
    frames.resize(static_cast<std::size_t>(count) * 2);
    if (!device.Render(frames.data(), count)) {
        if (wav == nullptr) {
            return;
        }
        std::fill(frames.begin(), frames.end(), std::int16_t{0}); // no device: silence
    }
    if (wav != nullptr) {
        std::fwrite(frames.data(), sizeof(std::int16_t), frames.size(), wav);
        framesWritten += count;
    }
}

bool AudioOutput::Finish() {
    if (wav == nullptr) {
        return true;
    }
    unsigned char header[44];
    WaveHeader(header, kSampleRate, framesWritten);
    const bool ok = std::fseek(wav, 0, SEEK_SET) == 0 &&
                    std::fwrite(header, 1, sizeof header, wav) == sizeof header;
    const bool closed = std::fclose(wav) == 0;
    wav = nullptr;
    return ok && closed;
}

void AudioOutput::SoundOperation(void* user, const char* op, const char* name, std::int32_t volume,
                                 std::int32_t hasResult, std::int32_t result) {
    auto* self = static_cast<AudioOutput*>(user);
    const std::string_view operation = op != nullptr ? op : "";
    if (operation == "volume") {
        self->log.Write("sound",
                        {Field::Text("op", operation), Field::Text("name", name ? name : ""),
                         Field::Int("volume", volume)});
    } else if (name == nullptr) {
        self->log.Write("sound", {Field::Text("op", operation)});
    } else if (hasResult != 0) {
        self->log.Write("sound", {Field::Text("op", operation), Field::Text("name", name),
                                  Field::Int("result", result)});
    } else {
        self->log.Write("sound", {Field::Text("op", operation), Field::Text("name", name)});
    }
}

} // namespace bench
