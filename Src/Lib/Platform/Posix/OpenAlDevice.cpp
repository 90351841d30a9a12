// The audio device on OpenAL Soft: the default playback device, or the loopback device that a
// host renders in step with its simulated time.
#include "Lib/Platform/HostRuntime/zelvan_audio_host.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"
#include "Lib/Platform/Posix/OpenAlInternal.h"

#include <AL/alext.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace platform::audio::openal {

namespace {

constexpr std::uint32_t kDefaultLoopbackRate = 44100;
// A renderer waits this long at most for the worker to answer a mark. The worker answers at
// once; the bound only keeps a host alive when nothing listens to the event.
constexpr auto kMarkAnswerTimeout = std::chrono::seconds(2);
// How often the live device looks at the cursors.
constexpr auto kPollPeriod = std::chrono::milliseconds(2);

zvau_host* PublishedHost() {
    auto* host = static_cast<zvau_host*>(zvrt_get_service(ZVAU_SERVICE_NAME));
    if (host == nullptr || host->size != sizeof(zvau_host)) {
        return nullptr;
    }
    return host;
}

template <typename Fn> Fn AlcFunction(ALCdevice* device, const char* name) {
    return reinterpret_cast<Fn>(alcGetProcAddress(device, name));
}

std::int16_t ToSample(float value) {
    const float scaled = std::nearbyint(value * 32768.0f);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

} // namespace

std::mutex& AlLock() {
    static std::mutex lock;
    return lock;
}

Result DeviceState::Open(zvau_host* host) {
    const std::lock_guard guard(AlLock());
    if (host != nullptr && host->use_loopback != 0) {
        using OpenLoopback = ALCdevice*(ALC_APIENTRY*)(const ALCchar*);
        const auto openLoopback = AlcFunction<OpenLoopback>(nullptr, "alcLoopbackOpenDeviceSOFT");
        renderSamples_ = AlcFunction<decltype(renderSamples_)>(nullptr, "alcRenderSamplesSOFT");
        if (openLoopback == nullptr || renderSamples_ == nullptr) {
            return kNoDriver;
        }
        device_ = openLoopback(nullptr);
        if (device_ == nullptr) {
            return kNoDriver;
        }
        loopback_ = true;
        rate_ = host->sample_rate != 0 ? host->sample_rate : kDefaultLoopbackRate;
        // Float output: 16-bit output would be dithered; the conversion below is exact. No
        // limiter and no HRTF, so a sample played at full volume comes out unchanged.
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                     ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,
                                     ALC_FLOAT_SOFT,
                                     ALC_FREQUENCY,
                                     static_cast<ALCint>(rate_),
                                     ALC_HRTF_SOFT,
                                     ALC_FALSE,
                                     ALC_OUTPUT_LIMITER_SOFT,
                                     ALC_FALSE,
                                     0};
        context_ = alcCreateContext(device_, attributes);
    } else {
        device_ = alcOpenDevice(nullptr);
        if (device_ == nullptr) {
            return kNoDriver;
        }
        context_ = alcCreateContext(device_, nullptr);
    }
    if (context_ == nullptr) {
        alcCloseDevice(device_);
        device_ = nullptr;
        return kNoDriver;
    }
    MakeCurrent();
    alDistanceModel(AL_NONE);
    if (loopback_) {
        host_ = host;
        host_->render = &DeviceState::RenderThunk;
        host_->lose_buffers = &DeviceState::LoseThunk;
        host_->context = this;
        // The mix of one host step (10 ms) is held from the start: the first sound of a flight
        // then renders without taking memory on the simulator's thread.
        mix_.reserve(2 * static_cast<std::size_t>(rate_ / 100 + 1));
    } else {
        poller_ = std::thread([this] { Poll(); });
    }
    return kOk;
}

DeviceState::~DeviceState() {
    if (poller_.joinable()) {
        {
            const std::lock_guard guard(AlLock());
            stopPolling_ = true;
        }
        pollWake_.notify_all();
        poller_.join();
    }
    const std::lock_guard guard(AlLock());
    if (host_ != nullptr && host_->context == this) {
        host_->render = nullptr;
        host_->lose_buffers = nullptr;
        host_->context = nullptr;
    }
    if (context_ != nullptr) {
        if (alcGetCurrentContext() == context_) {
            alcMakeContextCurrent(nullptr);
        }
        alcDestroyContext(context_);
    }
    if (device_ != nullptr) {
        alcCloseDevice(device_);
    }
}

void DeviceState::MakeCurrent() const {
    if (alcGetCurrentContext() != context_) {
        alcMakeContextCurrent(context_);
    }
}

std::uint32_t DeviceState::Cursor(const Voice& voice) const {
    ALint state = AL_INITIAL;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING || state == AL_PAUSED) {
        ALint offset = 0;
        alGetSourcei(voice.source, AL_BYTE_OFFSET, &offset);
        return static_cast<std::uint32_t>(std::max(offset, 0));
    }
    return voice.parkedCursor;
}

bool DeviceState::IsPlaying(const Voice& voice) const {
    ALint state = AL_INITIAL;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

void DeviceState::NoteMove(Voice& voice, std::uint32_t cursor) {
    voice.lastCursor = cursor;
    ++voice.moves;
    moved_.notify_all();
}

void DeviceState::AddVoice(const std::shared_ptr<Voice>& voice) {
    voices_.push_back(voice);
}

void DeviceState::RemoveVoice(const Voice* voice) {
    std::erase_if(voices_, [voice](const std::shared_ptr<Voice>& v) { return v.get() == voice; });
    moved_.notify_all();
}

void DeviceState::Upload(SharedData& data) {
    // OpenAL refuses new data for a buffer that a source holds: detach the sources, upload, and
    // put them back where they were.
    struct Held {
        Voice* voice;
        bool playing;
        std::uint32_t cursor;
    };
    std::vector<Held> held;
    for (const auto& v : voices_) {
        if (v->data.get() == &data) {
            held.push_back({v.get(), IsPlaying(*v), Cursor(*v)});
            alSourceStop(v->source);
            alSourcei(v->source, AL_BUFFER, 0);
        }
    }
    alBufferData(data.alBuffer, data.alFormat, data.bytes.data(),
                 static_cast<ALsizei>(data.playableBytes),
                 static_cast<ALsizei>(data.format.samplesPerSec));
    for (const Held& h : held) {
        alSourcei(h.voice->source, AL_BUFFER, static_cast<ALint>(data.alBuffer));
        h.voice->parkedCursor = h.cursor;
        if (h.playing && h.cursor < data.playableBytes) {
            alSourcei(h.voice->source, AL_BYTE_OFFSET, static_cast<ALint>(h.cursor));
            alSourcePlay(h.voice->source);
            h.voice->parkedCursor = 0;
        }
    }
}

bool DeviceState::TakeFailingRestore() {
    if (failingRestores_ == 0) {
        return false;
    }
    --failingRestores_;
    return true;
}

void DeviceState::RenderThunk(void* context, std::int16_t* frames, std::uint32_t count) noexcept {
    if (frames == nullptr) {
        return;
    }
    try {
        static_cast<DeviceState*>(context)->Render(frames, count);
    } catch (...) {
        std::fill(frames, frames + 2 * static_cast<std::size_t>(count), std::int16_t{0});
    }
}

void DeviceState::LoseThunk(void* context, std::uint32_t failingRestores) noexcept {
    try {
        static_cast<DeviceState*>(context)->LoseBuffers(failingRestores);
    } catch (...) {
        // Nothing was lost; the host sees its buffers still playing.
    }
}

std::uint32_t DeviceState::FramesToNextMark(std::uint32_t limit) const {
    std::uint32_t frames = limit;
    for (const auto& v : voices_) {
        if (v->marks.empty() || !IsPlaying(*v)) {
            continue;
        }
        const std::uint32_t cursor = Cursor(*v);
        ALfloat pitch = 1.0f;
        alGetSourcef(v->source, AL_PITCH, &pitch);
        const double sourceRate = static_cast<double>(v->data->format.samplesPerSec) * pitch;
        for (const PositionNotify& mark : v->marks) {
            if (mark.offset <= cursor || sourceRate <= 0.0) {
                continue;
            }
            const double sourceFrames =
                std::ceil(static_cast<double>(mark.offset - cursor) / v->data->frameBytes);
            const double deviceFrames = std::ceil(sourceFrames * rate_ / sourceRate);
            frames = static_cast<std::uint32_t>(
                std::clamp(deviceFrames, 1.0, static_cast<double>(frames)));
        }
    }
    return frames;
}

std::vector<FiredVoice> DeviceState::RaisePassedMarks() {
    std::vector<FiredVoice> fired;
    for (const auto& v : voices_) {
        const bool playing = IsPlaying(*v);
        if (!playing && !v->running) {
            continue; // paused or never started: the cursor has not moved
        }
        if (!playing) {
            // The source ran out: it stopped at the end of its data. Marked so for every voice,
            // with marks or without, so that the renderer knows when all is quiet again.
            v->running = false;
            v->parkedCursor = 0;
        }
        if (v->marks.empty()) {
            continue;
        }
        const std::uint32_t cursor = playing ? Cursor(*v) : v->data->playableBytes;
        const std::uint32_t last = v->lastCursor;
        if (cursor == last) {
            continue;
        }
        bool any = false;
        for (const PositionNotify& mark : v->marks) {
            const bool passed = cursor > last ? (last < mark.offset && mark.offset <= cursor)
                                              : (last < mark.offset || mark.offset <= cursor);
            if (passed && mark.event != nullptr) {
                mark.event->Set();
                any = true;
            }
        }
        v->lastCursor = playing ? cursor : v->parkedCursor;
        if (any) {
            // The move count as the mark fires: whoever answers the mark moves the cursor after
            // this, so a change from it is the answer, however late the renderer looks.
            fired.push_back({v, v->moves});
        }
    }
    return fired;
}

void DeviceState::Render(std::int16_t* frames, std::uint32_t count) {
    std::unique_lock guard(AlLock());
    // Nothing playing is silence: no need to run the mixer (most steps of a flight are quiet).
    if (!quiet_ &&
        std::none_of(voices_.begin(), voices_.end(), [](const auto& v) { return v->running; })) {
        quiet_ = true;
    }
    if (quiet_) {
        std::fill(frames, frames + 2 * static_cast<std::size_t>(count), std::int16_t{0});
        return;
    }
    MakeCurrent();
    std::uint32_t done = 0;
    while (done < count) {
        const std::uint32_t chunk = FramesToNextMark(count - done);
        mix_.resize(2 * static_cast<std::size_t>(chunk));
        renderSamples_(device_, mix_.data(), static_cast<ALCsizei>(chunk));
        host_->mixed_frames += chunk;
        std::int16_t* out = frames + 2 * static_cast<std::size_t>(done);
        for (std::size_t i = 0; i < mix_.size(); ++i) {
            out[i] = ToSample(mix_[i]);
        }
        done += chunk;
        // Whoever waits on a raised mark moves the cursor before the sound goes on (the worker
        // returns a looped sound to its loop start); only then is the next frame rendered.
        for (const FiredVoice& f : RaisePassedMarks()) {
            const bool answered = moved_.wait_for(guard, kMarkAnswerTimeout, [&f] {
                return !f.voice->alive || f.voice->moves != f.movesWhenFired;
            });
            if (!answered) {
                ++host_->unanswered_marks;
            }
            MakeCurrent();
        }
    }
}

void DeviceState::LoseBuffers(std::uint32_t failingRestores) {
    const std::lock_guard guard(AlLock());
    MakeCurrent();
    failingRestores_ = failingRestores;
    for (const auto& v : voices_) {
        alSourceStop(v->source);
        v->running = false;
        v->parkedCursor = 0;
        v->lastCursor = 0;
        v->data->lost = true;
    }
}

void DeviceState::Poll() {
    std::unique_lock guard(AlLock());
    while (!stopPolling_) {
        pollWake_.wait_for(guard, kPollPeriod);
        if (stopPolling_) {
            break;
        }
        MakeCurrent();
        RaisePassedMarks();
    }
}

namespace {

class OpenAlDevice final : public Device {
public:
    explicit OpenAlDevice(std::shared_ptr<DeviceState> state) : state_(std::move(state)) {}

    Result SetCooperativeLevel(WindowHandle window, std::uint32_t level) override {
        if (window == nullptr || level < 1 || level > 4) {
            return kInvalidArgument;
        }
        return kOk; // OpenAL shares the output with every other program anyway.
    }

    Result CreateSoundBuffer(const BufferDescription& description,
                             std::unique_ptr<Buffer>& out) override;
    Result DuplicateSoundBuffer(Buffer& original, std::unique_ptr<Buffer>& out) override;

private:
    std::shared_ptr<DeviceState> state_;
};

ALenum AlFormat(const WaveFormat& format) {
    if (format.channels == 1) {
        return format.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    }
    return format.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

Result CheckDescription(const BufferDescription& d) {
    if (d.format == nullptr || d.bufferBytes < kBufferBytesMin || d.bufferBytes > kBufferBytesMax) {
        return kInvalidArgument;
    }
    const WaveFormat& f = *d.format;
    const bool supported = f.formatTag == kFormatPcm && (f.channels == 1 || f.channels == 2) &&
                           (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
                           f.blockAlign == f.channels * f.bitsPerSample / 8 &&
                           f.samplesPerSec >= kFrequencyMin && f.samplesPerSec <= kFrequencyMax;
    return supported ? kOk : kBadFormat;
}

// With AlLock() held: a source over `data`, set up to play the data as it is.
Result MakeVoice(const SharedData& data, std::uint32_t flags, std::shared_ptr<Voice>& out) {
    auto voice = std::make_shared<Voice>();
    voice->flags = flags;
    alGetError();
    alGenSources(1, &voice->source);
    if (alGetError() != AL_NO_ERROR) {
        return kOutOfMemory;
    }
    alSourcei(voice->source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(voice->source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    if (data.format.channels == 2 && alIsExtensionPresent("AL_SOFT_direct_channels")) {
        alSourcei(voice->source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    }
    alSourcei(voice->source, AL_BUFFER, static_cast<ALint>(data.alBuffer));
    out = std::move(voice);
    return kOk;
}

Result OpenAlDevice::CreateSoundBuffer(const BufferDescription& description,
                                       std::unique_ptr<Buffer>& out) {
    if (const Result check = CheckDescription(description); Failed(check)) {
        return check;
    }
    auto data = std::make_shared<SharedData>();
    data->format = *description.format;
    data->format.extraSize = 0;
    data->alFormat = AlFormat(data->format);
    data->frameBytes = data->format.blockAlign;
    data->playableBytes = description.bufferBytes - description.bufferBytes % data->frameBytes;
    data->bytes.assign(description.bufferBytes, std::uint8_t{0});

    const std::lock_guard guard(AlLock());
    state_->MakeCurrent();
    alGetError();
    alGenBuffers(1, &data->alBuffer);
    if (alGetError() != AL_NO_ERROR) {
        return kOutOfMemory;
    }
    alBufferData(data->alBuffer, data->alFormat, data->bytes.data(),
                 static_cast<ALsizei>(data->playableBytes),
                 static_cast<ALsizei>(data->format.samplesPerSec));
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &data->alBuffer);
        return kOutOfMemory;
    }
    std::shared_ptr<Voice> voice;
    data->lost = false;
    if (const Result made = MakeVoice(*data, description.flags, voice); Failed(made)) {
        alDeleteBuffers(1, &data->alBuffer);
        return made;
    }
    voice->data = std::move(data);
    state_->AddVoice(voice);
    out = MakeBuffer(state_, std::move(voice));
    return kOk;
}

Result OpenAlDevice::DuplicateSoundBuffer(Buffer& original, std::unique_ptr<Buffer>& out) {
    std::shared_ptr<Voice> source;
    if (const Result found = VoiceOf(original, source); Failed(found)) {
        return found;
    }
    const std::lock_guard guard(AlLock());
    state_->MakeCurrent();
    std::shared_ptr<Voice> voice;
    if (const Result made = MakeVoice(*source->data, source->flags, voice); Failed(made)) {
        return made;
    }
    voice->data = source->data;
    voice->volume = source->volume;
    alSourcef(voice->source, AL_GAIN, VolumeToGain(voice->volume));
    state_->AddVoice(voice);
    out = MakeBuffer(state_, std::move(voice));
    return kOk;
}

} // namespace

} // namespace platform::audio::openal

namespace platform::audio {

Result CreateDevice(std::unique_ptr<Device>& out) {
    try {
        auto state = std::make_shared<openal::DeviceState>();
        if (const Result opened = state->Open(openal::PublishedHost()); Failed(opened)) {
            return opened;
        }
        out = std::make_unique<openal::OpenAlDevice>(std::move(state));
        return kOk;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (const std::system_error&) {
        return kNoDriver; // the cursor watcher could not be started
    }
}

void ReportSoundOperation(const SoundOperation& operation) noexcept {
    const zvau_host* host = openal::PublishedHost();
    if (host == nullptr || host->sound_op == nullptr) {
        return;
    }
    host->sound_op(host->sound_op_user, operation.op, operation.name, operation.volume,
                   operation.hasResult ? 1 : 0, operation.result);
}

} // namespace platform::audio
