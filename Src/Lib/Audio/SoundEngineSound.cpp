#include "Lib/Audio/SoundEngineSound.h"

#include "Lib/Exception.h"
#include "Lib/Platform/Platform.h"

#include <cstring>
#include <utility>

namespace except {

namespace {

namespace pa = platform::audio;

// Where the sound's failures are reported from, as maintainers know these sources.
constexpr const char* kFile = "..\\..\\Src\\Lib\\Audio\\SoundEngineSound";
constexpr const char* kNullBuffer =
    "Direct sound buffer is null. May be CoInitialize has not been called?";
constexpr const char* kFill = "except::Sound::FillBufferWithSound";
constexpr const char* kRestore = "except::Sound::RestoreBuffer";
constexpr const char* kPlay = "except::Sound::Play";

// A device that keeps a buffer lost is asked again this many times (two restores and one short
// sleep each) before the sound gives up for this once: the UI thread must not hang on it.
constexpr int kMaxRestorePasses = 4;
constexpr std::uint32_t kRestoreSleepMs = 10;

[[noreturn]] void ThrowResult(pa::Result result, const char* function, std::int32_t line) {
    throw Exception(pa::DescribeResult(result), kFile, function, line);
}

} // namespace

Sound::Sound(std::vector<std::unique_ptr<Buffer>> buffers, std::uint32_t bufferBytes,
             std::uint32_t bufferCount, std::unique_ptr<WaveFile> reader,
             std::uint32_t creationFlags)
    : bufferBytes_(bufferBytes), waveFile_(std::move(reader)), bufferCount_(bufferCount),
      creationFlags_(creationFlags), buffers_(std::move(buffers)) {
    FillBufferWithSound(GetBuffer(0));
    if (IsLooped()) {
        loopNotify_ = pa::PositionNotify{loopEnd_, loopEvent_.get()};
    }
}

// The members go in reverse order: the notification and the buffers before the loop event
// their marks name.
Sound::~Sound() = default;

Sound::Buffer* Sound::GetBuffer(std::uint32_t index) const {
    return index < buffers_.size() ? buffers_[index].get() : nullptr;
}

std::uint32_t Sound::BytesPerFrame() const {
    const pa::WaveFormat* format = waveFile_ != nullptr ? waveFile_->Format() : nullptr;
    return format == nullptr ? 0 : std::uint32_t{format->channels} * format->bitsPerSample / 8;
}

Sound::Result Sound::FillBufferWithSound(Buffer* buffer) {
    if (buffer == nullptr) {
        throw Exception(kNullBuffer, kFile, kFill, 58);
    }
    const pa::WaveFormat* format = waveFile_ != nullptr ? waveFile_->Format() : nullptr;
    if (format == nullptr) {
        ThrowResult(pa::kNotInitialized, kFill, 80);
    }
    if (waveFile_->LoopCount() > 0 && loopEvent_ == nullptr) {
        std::unique_ptr<pa::Notify> notify;
        if (const Result r = buffer->QueryNotify(notify); pa::Failed(r)) {
            ThrowResult(r, kFill, 64);
        }
        notify_ = std::move(notify);
        loopEvent_ = std::make_unique<pa::Event>();
        // The loop record counts sample frames; the buffer counts bytes.
        const SampleLoop& loop = *waveFile_->FirstLoop();
        const std::uint32_t bitsPerFrame = std::uint32_t{format->bitsPerSample} * format->channels;
        loopStart_ = bitsPerFrame * loop.start / 8;
        loopEnd_ = bitsPerFrame * loop.end / 8;
    }
    if (const Result r = RestoreBuffer(buffer, nullptr); pa::Failed(r)) {
        ThrowResult(r, kFill, 72);
    }
    void* area = nullptr;
    std::uint32_t areaBytes = 0;
    if (const Result r = buffer->Lock(0, bufferBytes_, &area, &areaBytes, nullptr, nullptr);
        pa::Failed(r)) {
        ThrowResult(r, kFill, 75);
    }
    auto* bytes = static_cast<std::uint8_t*>(area);
    std::uint32_t read = 0;
    Result r = waveFile_->Rewind();
    if (pa::Succeeded(r)) {
        r = waveFile_->Read(bytes, areaBytes, &read);
    }
    if (pa::Failed(r)) {
        buffer->Unlock(area, areaBytes, nullptr, 0);
        ThrowResult(r, kFill, 80);
    }
    // Whatever the file does not cover stays silent: 8-bit samples are unsigned.
    const std::uint8_t silence = format->bitsPerSample == 8 ? 0x80 : 0x00;
    if (read < areaBytes) {
        std::memset(bytes + read, silence, areaBytes - read);
    }
    buffer->Unlock(area, areaBytes, nullptr, 0);
    return pa::kOk;
}

Sound::Result Sound::RestoreBuffer(Buffer* buffer, bool* restored) {
    if (buffer == nullptr) {
        return pa::kNotInitialized;
    }
    if (restored != nullptr) {
        *restored = false;
    }
    std::uint32_t status = 0;
    if (const Result r = buffer->GetStatus(status); pa::Failed(r)) {
        ThrowResult(r, kRestore, 117);
    }
    if ((status & pa::kStatusBufferLost) == 0) {
        return pa::kFalse;
    }
    for (int pass = 0; pass < kMaxRestorePasses; ++pass) {
        if (buffer->Restore() == pa::kBufferLost) {
            platform::Sleep(kRestoreSleepMs);
        }
        if (buffer->Restore() != pa::kBufferLost) {
            if (restored != nullptr) {
                *restored = true;
            }
            return pa::kOk;
        }
    }
    return pa::kBufferLost;
}

Sound::Buffer* Sound::PickBuffer() {
    for (const auto& buffer : buffers_) {
        std::uint32_t status = 0;
        if (pa::Succeeded(buffer->GetStatus(status)) && (status & pa::kStatusPlaying) == 0) {
            return buffer.get();
        }
    }
    // Every buffer plays: the first one starts over.
    return GetBuffer(0);
}

bool Sound::IsPlaying() {
    for (const auto& buffer : buffers_) {
        std::uint32_t status = 0;
        if (pa::Succeeded(buffer->GetStatus(status)) && (status & pa::kStatusPlaying) != 0) {
            return true;
        }
    }
    return false;
}

Sound::Result Sound::Play(std::uint32_t flags, std::uint32_t priority, std::int32_t volume,
                          std::int32_t frequency, std::int32_t pan) {
    if (buffers_.empty()) {
        return pa::kNotInitialized;
    }
    Buffer* buffer = IsLooped() ? GetBuffer(0) : PickBuffer();
    if (buffer == nullptr) {
        throw Exception(kNullBuffer, kFile, kPlay, 180);
    }
    bool restored = false;
    const Result restore = RestoreBuffer(buffer, &restored);
    if (restore == pa::kBufferLost) {
        return restore; // still lost: not played this time, tried again at the next play
    }
    if (pa::Failed(restore)) {
        ThrowResult(restore, kPlay, 183);
    }
    if (restored) {
        if (const Result r = FillBufferWithSound(buffer); pa::Failed(r)) {
            ThrowResult(r, kPlay, 187);
        }
    }
    // Volume 0 keeps the stored volume; frequency -1 keeps the frequency.
    if ((creationFlags_ & pa::kCapsCtrlVolume) != 0 && volume != 0) {
        buffer->SetVolume(volume);
    }
    if (frequency != -1 && (creationFlags_ & pa::kCapsCtrlFrequency) != 0) {
        buffer->SetFrequency(static_cast<std::uint32_t>(frequency));
    }
    if ((creationFlags_ & pa::kCapsCtrlPan) != 0) {
        buffer->SetPan(pan);
    }
    if (!IsLooped()) {
        buffer->SetCurrentPosition(0);
        return buffer->Play(0, priority, flags);
    }
    // The play position stays: a looped sound resumes where it stands.
    const std::lock_guard guard(loopLock_);
    notify_->SetNotificationPositions(1, &loopNotify_);
    loopRunning_ = true;
    return buffer->Play(0, priority, flags);
}

Sound::Result Sound::Stop() {
    if (buffers_.empty()) {
        return pa::kNotInitialized;
    }
    if (!IsLooped()) {
        Result all = 0;
        for (const auto& buffer : buffers_) {
            all |= buffer->Stop();
        }
        return all;
    }
    Buffer& buffer = *buffers_[0];
    const std::lock_guard guard(loopLock_);
    loopRunning_ = false;
    std::uint32_t status = 0;
    buffer.GetStatus(status);
    if ((status & pa::kStatusPlaying) == 0) {
        return pa::kOk;
    }
    buffer.Stop();
    std::uint32_t position = 0;
    buffer.GetCurrentPosition(&position, nullptr);
    notify_->SetNotificationPositions(0, nullptr);
    // The tail is entered at the point that mirrors the attack seen from the end, but never
    // before two frames past the loop end; inside the loop it starts at the loop end.
    std::uint32_t tail = position;
    if (position < loopStart_) {
        tail = bufferBytes_ - position;
        if (tail < loopEnd_) {
            tail = loopEnd_ + 2 * BytesPerFrame();
        }
    } else if (position < loopEnd_) {
        tail = loopEnd_;
    }
    if (tail >= bufferBytes_) {
        // Nothing is left after that point: the sound ends here and starts over next time.
        buffer.SetCurrentPosition(0);
        return pa::kOk;
    }
    buffer.SetCurrentPosition(tail);
    buffer.Play(0, 0, 0);
    return pa::kOk;
}

Sound::Result Sound::SetVolume(std::int32_t volume) {
    if (volume == volume_) {
        return pa::kFalse;
    }
    volume_ = volume;
    if (muted_) {
        return pa::kFalse; // applied at unmute
    }
    Result last = pa::kOk;
    for (const auto& buffer : buffers_) {
        last = buffer->SetVolume(volume);
    }
    return last;
}

Sound::Result Sound::Mute(std::int32_t volume) {
    if (muted_) {
        return pa::kFalse;
    }
    muted_ = true;
    Result last = pa::kOk;
    for (const auto& buffer : buffers_) {
        last = buffer->SetVolume(volume);
    }
    return last;
}

Sound::Result Sound::Unmute() {
    if (!muted_) {
        return pa::kFalse;
    }
    muted_ = false;
    Result last = pa::kOk;
    for (const auto& buffer : buffers_) {
        last = buffer->SetVolume(volume_);
    }
    return last;
}

void Sound::ReturnToLoopStart() {
    const std::lock_guard guard(loopLock_);
    if (loopRunning_) {
        buffers_[0]->SetCurrentPosition(loopStart_);
    }
}

} // namespace except
