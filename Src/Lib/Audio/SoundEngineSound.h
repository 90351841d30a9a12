// One loaded sound: its playback buffers (buffer 0 holds the data, the others duplicate it) and
// the WAV reader kept for refills. A sample-looped sound repeats its loop section while it
// plays, the engine's worker taking the cursor back to the loop start, and plays its tail when
// stopped.
#pragma once

#include "Lib/Audio/WaveFile.h"
#include "Lib/Platform/AudioDevice.h"
#include "Lib/Platform/AudioEvent.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace except {

class Sound {
public:
    using Result = platform::audio::Result;
    using Buffer = platform::audio::Buffer;

    // Takes the buffers and the reader and fills buffer 0 from the reader. Throws
    // except::Exception when the buffer cannot be filled.
    Sound(std::vector<std::unique_ptr<Buffer>> buffers, std::uint32_t bufferBytes,
          std::uint32_t bufferCount, std::unique_ptr<WaveFile> reader, std::uint32_t creationFlags);
    virtual ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    Result FillBufferWithSound(Buffer* buffer);
    // Gives a lost buffer its memory back; `restored` (optional) tells whether it had to.
    // kBufferLost when the device keeps the buffer lost.
    Result RestoreBuffer(Buffer* buffer, bool* restored);
    Buffer* PickBuffer();
    bool IsPlaying();
    Result Play(std::uint32_t flags, std::uint32_t priority, std::int32_t volume,
                std::int32_t frequency, std::int32_t pan);
    Result Stop();
    Result SetVolume(std::int32_t volume);
    Result Mute(std::int32_t volume);
    Result Unmute();

    // The sound worker's part: back to the loop start, if the loop is still running.
    void ReturnToLoopStart();

    bool IsLooped() const { return loopEvent_ != nullptr; }
    platform::audio::Event* LoopEvent() const { return loopEvent_.get(); }
    std::uint32_t LoopStart() const { return loopStart_; }
    std::uint32_t LoopEnd() const { return loopEnd_; }
    std::uint32_t BufferBytes() const { return bufferBytes_; }
    std::uint32_t BufferCount() const { return bufferCount_; }
    std::int32_t Volume() const { return volume_; }
    bool IsMuted() const { return muted_; }
    Buffer* GetBuffer(std::uint32_t index) const;

private:
    std::uint32_t BytesPerFrame() const;

    std::uint32_t bufferBytes_;
    std::unique_ptr<WaveFile> waveFile_;
    std::uint32_t bufferCount_;
    std::uint32_t creationFlags_;
    std::int32_t volume_ = 0;
    // Declared before the buffers and the notification: the marks name the event, so it goes
    // last.
    std::unique_ptr<platform::audio::Event> loopEvent_;
    std::vector<std::unique_ptr<Buffer>> buffers_;
    std::uint32_t loopStart_ = 0;
    std::uint32_t loopEnd_ = 0;
    platform::audio::PositionNotify loopNotify_;
    std::unique_ptr<platform::audio::Notify> notify_;
    bool muted_ = false;

    // The worker's jump and Stop's repositioning of buffer 0 exclude each other, so a jump that
    // was on its way when the sound stopped cannot pull the tail back into the loop.
    std::mutex loopLock_;
    bool loopRunning_ = false; // guarded by loopLock_
};

} // namespace except
