// A sound buffer on OpenAL Soft: one source per buffer over data shared with its duplicates.
// OpenAL's pause is the buffer's stop, so a stopped buffer resumes where it stood.
#include "Lib/Platform/Posix/OpenAlInternal.h"

#include <AL/alext.h>

#include <cmath>
#include <utility>

namespace platform::audio::openal {

float VolumeToGain(std::int32_t volume) {
    if (volume <= kVolumeMin) {
        return 0.0f;
    }
    return static_cast<float>(std::pow(10.0, static_cast<double>(volume) / 2000.0));
}

namespace {

class OpenAlBuffer;

class OpenAlNotify final : public Notify {
public:
    OpenAlNotify(std::shared_ptr<DeviceState> device, std::shared_ptr<Voice> voice)
        : device_(std::move(device)), voice_(std::move(voice)) {}

    Result SetNotificationPositions(std::uint32_t count, const PositionNotify* positions) override {
        if (count > 0 && positions == nullptr) {
            return kInvalidArgument;
        }
        const std::lock_guard guard(AlLock());
        if (!voice_->alive) {
            return kInvalidCall;
        }
        device_->MakeCurrent();
        // Marks change only while the buffer is stopped, so none is passed half-set.
        if (device_->IsPlaying(*voice_)) {
            return kInvalidCall;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            if (positions[i].event == nullptr ||
                positions[i].offset >= voice_->data->bytes.size()) {
                return kInvalidArgument;
            }
        }
        voice_->marks.assign(positions, positions + count);
        device_->NoteMove(*voice_, device_->Cursor(*voice_));
        return kOk;
    }

private:
    std::shared_ptr<DeviceState> device_;
    std::shared_ptr<Voice> voice_;
};

class OpenAlBuffer final : public Buffer {
public:
    OpenAlBuffer(std::shared_ptr<DeviceState> device, std::shared_ptr<Voice> voice)
        : device_(std::move(device)), voice_(std::move(voice)) {}

    ~OpenAlBuffer() override {
        const std::lock_guard guard(AlLock());
        device_->MakeCurrent();
        voice_->alive = false;
        alSourceStop(voice_->source);
        alSourcei(voice_->source, AL_BUFFER, 0);
        alDeleteSources(1, &voice_->source);
        device_->RemoveVoice(voice_.get());
        // The last buffer over the data takes the OpenAL buffer with it.
        if (voice_->data.use_count() == 1) {
            alDeleteBuffers(1, &voice_->data->alBuffer);
        }
        voice_->data.reset();
    }
    OpenAlBuffer(const OpenAlBuffer&) = delete;
    OpenAlBuffer& operator=(const OpenAlBuffer&) = delete;

    const std::shared_ptr<Voice>& GetVoice() const { return voice_; }

    Result GetStatus(std::uint32_t& status) override {
        const std::lock_guard guard(AlLock());
        device_->MakeCurrent();
        status = 0;
        if (voice_->data->lost) {
            status = kStatusBufferLost;
        } else if (device_->IsPlaying(*voice_)) {
            status = kStatusPlaying | (voice_->looping ? kStatusLooping : 0);
        }
        return kOk;
    }

    Result Play(std::uint32_t reserved, std::uint32_t /*priority*/, std::uint32_t flags) override {
        if (reserved != 0) {
            return kInvalidArgument;
        }
        const std::lock_guard guard(AlLock());
        device_->MakeCurrent();
        Voice& v = *voice_;
        if (v.data->lost) {
            return kBufferLost;
        }
        v.looping = (flags & kPlayLooping) != 0;
        alSourcei(v.source, AL_LOOPING, v.looping ? AL_TRUE : AL_FALSE);
        if (device_->IsPlaying(v)) {
            return kOk; // a playing buffer only takes the new flags
        }
        ALint state = AL_INITIAL;
        alGetSourcei(v.source, AL_SOURCE_STATE, &state);
        const std::uint32_t cursor = device_->Cursor(v);
        if (state != AL_PAUSED) {
            // OpenAL starts a source that is not paused from the offset set just before.
            v.parkedCursor = 0;
            if (cursor >= v.data->playableBytes) {
                return kOk; // nothing left to play
            }
            if (cursor > 0) {
                alSourcei(v.source, AL_BYTE_OFFSET, static_cast<ALint>(cursor));
            }
        }
        alSourcePlay(v.source);
        v.running = true;
        device_->NoteStarted();
        device_->NoteMove(v, cursor);
        return kOk;
    }

    Result Stop() override {
        const std::lock_guard guard(AlLock());
        device_->MakeCurrent();
        if (device_->IsPlaying(*voice_)) {
            alSourcePause(voice_->source);
        }
        voice_->running = false;
        device_->NoteMove(*voice_, device_->Cursor(*voice_));
        return kOk;
    }

    Result GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) override {
        const std::lock_guard guard(AlLock());
        device_->MakeCurrent();
        const std::uint32_t cursor = device_->Cursor(*voice_);
        if (play != nullptr) {
            *play = cursor;
        }
        if (write != nullptr) {
            *write = cursor; // the module never writes ahead of the play cursor
        }
        return kOk;
    }

    Result SetCurrentPosition(std::uint32_t play) override {
        const std::lock_guard guard(AlLock());
        device_->MakeCurrent();
        Voice& v = *voice_;
        if (play >= v.data->bytes.size()) {
            return kInvalidArgument;
        }
        ALint state = AL_INITIAL;
        alGetSourcei(v.source, AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING || state == AL_PAUSED) {
            if (play < v.data->playableBytes) {
                alSourcei(v.source, AL_BYTE_OFFSET, static_cast<ALint>(play));
            } else {
                alSourceStop(v.source); // inside the last partial frame: the data has ended
                v.running = false;
                play = 0;
            }
        } else {
            v.parkedCursor = play;
        }
        device_->NoteMove(v, play);
        return kOk;
    }

    Result SetVolume(std::int32_t volume) override {
        if ((voice_->flags & kCapsCtrlVolume) == 0) {
            return kControlUnavailable;
        }
        if (volume < kVolumeMin || volume > kVolumeMax) {
            return kInvalidArgument;
        }
        const std::lock_guard guard(AlLock());
        device_->MakeCurrent();
        voice_->volume = volume;
        alSourcef(voice_->source, AL_GAIN, VolumeToGain(volume));
        return kOk;
    }

    Result GetVolume(std::int32_t& volume) override {
        if ((voice_->flags & kCapsCtrlVolume) == 0) {
            return kControlUnavailable;
        }
        const std::lock_guard guard(AlLock());
        volume = voice_->volume;
        return kOk;
    }

    Result SetFrequency(std::uint32_t frequency) override {
        if ((voice_->flags & kCapsCtrlFrequency) == 0) {
            return kControlUnavailable;
        }
        const std::uint32_t original = voice_->data->format.samplesPerSec;
        if (frequency == 0) {
            frequency = original; // 0 asks for the data's own rate
        }
        if (frequency < kFrequencyMin || frequency > kFrequencyMax) {
            return kInvalidArgument;
        }
        const std::lock_guard guard(AlLock());
        device_->MakeCurrent();
        alSourcef(voice_->source, AL_PITCH,
                  static_cast<float>(frequency) / static_cast<float>(original));
        return kOk;
    }

    Result SetPan(std::int32_t pan) override {
        if ((voice_->flags & kCapsCtrlPan) == 0) {
            return kControlUnavailable;
        }
        if (pan < kPanLeft || pan > kPanRight) {
            return kInvalidArgument;
        }
        const std::lock_guard guard(AlLock());
        device_->MakeCurrent();
        voice_->pan = pan;
        // The far side is attenuated by |pan| hundredths of a decibel; OpenAL pans a mono source
        // by its direction, so the attenuation becomes a sideways offset. Stereo data keeps its
        // own channels.
        const double side = 1.0 - std::pow(10.0, -std::abs(pan) / 2000.0);
        const double x = pan < 0 ? -side : side;
        alSource3f(voice_->source, AL_POSITION, static_cast<float>(x), 0.0f,
                   static_cast<float>(-std::sqrt(1.0 - x * x)));
        return kOk;
    }

    Result Lock(std::uint32_t offset, std::uint32_t bytes, void** first, std::uint32_t* firstBytes,
                void** second, std::uint32_t* secondBytes) override {
        if (first == nullptr || firstBytes == nullptr) {
            return kInvalidArgument;
        }
        const std::lock_guard guard(AlLock());
        std::vector<std::uint8_t>& data = voice_->data->bytes;
        if (voice_->data->lost) {
            return kBufferLost;
        }
        if (offset >= data.size() || bytes == 0 || bytes > data.size()) {
            return kInvalidArgument;
        }
        const std::uint32_t size = static_cast<std::uint32_t>(data.size());
        const std::uint32_t head = std::min(bytes, size - offset);
        *first = data.data() + offset;
        *firstBytes = head;
        if (second != nullptr) {
            *second = head < bytes ? data.data() : nullptr;
        }
        if (secondBytes != nullptr) {
            *secondBytes = bytes - head;
        }
        return kOk;
    }

    Result Unlock(void* first, std::uint32_t firstBytes, void* second,
                  std::uint32_t secondBytes) override {
        const std::lock_guard guard(AlLock());
        std::vector<std::uint8_t>& data = voice_->data->bytes;
        const auto inside = [&](const void* p, std::uint32_t n) {
            const auto* bytes = static_cast<const std::uint8_t*>(p);
            return p == nullptr
                       ? n == 0
                       : bytes >= data.data() &&
                             n <= static_cast<std::size_t>(data.data() + data.size() - bytes);
        };
        if (!inside(first, firstBytes) || !inside(second, secondBytes)) {
            return kInvalidArgument;
        }
        device_->MakeCurrent();
        device_->Upload(*voice_->data);
        return kOk;
    }

    Result Restore() override {
        const std::lock_guard guard(AlLock());
        SharedData& data = *voice_->data;
        if (!data.lost) {
            return kOk;
        }
        if (device_->TakeFailingRestore()) {
            return kBufferLost;
        }
        // The memory comes back, its contents do not.
        std::fill(data.bytes.begin(), data.bytes.end(), std::uint8_t{0});
        data.lost = false;
        device_->MakeCurrent();
        device_->Upload(data);
        return kOk;
    }

    Result QueryNotify(std::unique_ptr<Notify>& out) override {
        if ((voice_->flags & kCapsCtrlPositionNotify) == 0) {
            return kNoInterface;
        }
        out = std::make_unique<OpenAlNotify>(device_, voice_);
        return kOk;
    }

private:
    std::shared_ptr<DeviceState> device_;
    std::shared_ptr<Voice> voice_;
};

} // namespace

std::unique_ptr<Buffer> MakeBuffer(std::shared_ptr<DeviceState> device,
                                   std::shared_ptr<Voice> voice) {
    return std::make_unique<OpenAlBuffer>(std::move(device), std::move(voice));
}

Result VoiceOf(Buffer& buffer, std::shared_ptr<Voice>& out) {
    auto* ours = dynamic_cast<OpenAlBuffer*>(&buffer);
    if (ours == nullptr) {
        return kInvalidArgument;
    }
    out = ours->GetVoice();
    return kOk;
}

} // namespace platform::audio::openal
