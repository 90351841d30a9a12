// Shared parts of the OpenAL backend. Every OpenAL call is made with AlLock() held and the
// device's context current: the sound worker and the UI thread use the same buffers.
#pragma once

#include "Lib/Platform/AudioDevice.h"
#include "Lib/Platform/HostRuntime/zelvan_audio_host.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::audio::openal {

std::mutex& AlLock();

// One sound's data, shared by a buffer and its duplicates: the bytes the module writes through
// Lock and the OpenAL buffer they are uploaded to.
struct SharedData {
    ALuint alBuffer = 0;
    std::vector<std::uint8_t> bytes;
    WaveFormat format;
    ALenum alFormat = 0;
    std::uint32_t frameBytes = 1;
    std::uint32_t playableBytes = 0; // whole frames only: what OpenAL holds
    bool lost = false;
};

// One buffer's playback: an OpenAL source over the shared data.
struct Voice {
    ALuint source = 0;
    std::shared_ptr<SharedData> data;
    std::uint32_t flags = 0;
    std::int32_t volume = 0;
    std::int32_t pan = 0;
    bool looping = false;
    bool alive = true;
    // Started by a caller and not stopped by one since: a source in this state that OpenAL
    // reports stopped has run out of data.
    bool running = false;
    std::vector<PositionNotify> marks;
    // The play cursor when the marks were last checked: a mark fires when the cursor moves from
    // before it to at or past it.
    std::uint32_t lastCursor = 0;
    // OpenAL forgets the cursor of a source that is not playing or paused; it is kept here and
    // handed over when the source starts.
    std::uint32_t parkedCursor = 0;
    // Counts every move of the cursor by a caller; the loopback renderer waits for it to change
    // after it raised a mark.
    std::uint64_t moves = 0;
};

// A voice whose mark was raised, with its move count at that moment.
struct FiredVoice {
    std::shared_ptr<Voice> voice;
    std::uint64_t movesWhenFired = 0;
};

class DeviceState {
public:
    DeviceState() = default;
    ~DeviceState();
    DeviceState(const DeviceState&) = delete;
    DeviceState& operator=(const DeviceState&) = delete;

    // Opening and closing; Open returns kOk or a failure and leaves nothing open on failure.
    Result Open(zvau_host* host);

    // With AlLock() held: makes this device's context current.
    void MakeCurrent() const;

    // With AlLock() held: the play cursor in bytes and whether the source is playing.
    std::uint32_t Cursor(const Voice& voice) const;
    bool IsPlaying(const Voice& voice) const;
    // Records a caller's move of the cursor and wakes a renderer that waits for one.
    void NoteMove(Voice& voice, std::uint32_t cursor);
    // With AlLock() held: a caller started a voice, so the next render runs the mixer.
    void NoteStarted() { quiet_ = false; }

    void AddVoice(const std::shared_ptr<Voice>& voice);
    void RemoveVoice(const Voice* voice);
    // Uploads the shared data again, keeping every source that plays it where it was.
    void Upload(SharedData& data);
    // Takes one of the restore attempts that the host asked to fail; false when none is left.
    bool TakeFailingRestore();

private:
    static void RenderThunk(void* context, std::int16_t* frames, std::uint32_t count) noexcept;
    static void LoseThunk(void* context, std::uint32_t failingRestores) noexcept;
    void Render(std::int16_t* frames, std::uint32_t count);
    void LoseBuffers(std::uint32_t failingRestores);
    // With AlLock() held: the frames to render before the next mark is reached (at least 1).
    std::uint32_t FramesToNextMark(std::uint32_t limit) const;
    // With AlLock() held: raises every mark the cursors passed and notes the voices that ran
    // out; returns the voices that fired.
    std::vector<FiredVoice> RaisePassedMarks();
    void Poll();

    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
    bool loopback_ = false;
    std::uint32_t rate_ = 0;
    zvau_host* host_ = nullptr;
    void(ALC_APIENTRY* renderSamples_)(ALCdevice*, ALCvoid*, ALCsizei) = nullptr;

    std::vector<std::shared_ptr<Voice>> voices_;
    // No voice is running: only a caller's start ends this (every other change stops voices), so
    // the quiet steps of a flight render silence without walking the voices.
    bool quiet_ = true;
    std::uint32_t failingRestores_ = 0;
    std::condition_variable moved_; // with AlLock(): a cursor was moved by a caller
    std::vector<float> mix_;

    // Live devices play on OpenAL's own thread; this one watches the cursors for their marks.
    std::thread poller_;
    bool stopPolling_ = false;
    std::condition_variable pollWake_;
};

std::unique_ptr<Buffer> MakeBuffer(std::shared_ptr<DeviceState> device,
                                   std::shared_ptr<Voice> voice);
// The voice of a buffer made by this backend; kInvalidArgument for any other buffer.
Result VoiceOf(Buffer& buffer, std::shared_ptr<Voice>& out);

// Hundredths of a decibel to OpenAL's linear gain; the minimum is silence.
float VolumeToGain(std::int32_t volume);

} // namespace platform::audio::openal
