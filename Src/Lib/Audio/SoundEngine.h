// The sound engine: the audio device, the sounds it loaded (cached by lower-cased file name),
// a worker thread that carries out the sample loops of looped sounds, and the global mute.
// All operations are called on the host's UI thread; the worker shares only the event table
// and the stop flag with it.
#pragma once

#include "Lib/Audio/SoundEngineSound.h"
#include "Lib/NonCopyable.h"
#include "Lib/Platform/AudioDevice.h"
#include "Lib/Platform/AudioEvent.h"
#include "Lib/Platform/AudioFiles.h"
#include "Lib/Platform/Platform.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace except {

class SoundEngine : private NonCopyable {
public:
    using Result = platform::audio::Result;

    static constexpr std::uint32_t kMaxSounds = 1024;
    static constexpr std::uint32_t kMaxEvents = 1024;
    static constexpr std::int32_t kMutedVolume = -10000;
    static constexpr std::uint32_t kCachedBufferCount = 10;

    SoundEngine() = default;
    // Shuts the engine down if that has not happened yet.
    virtual ~SoundEngine();

    // Opens the audio device and starts the worker. Throws except::Exception.
    void Init(platform::WindowHandle window, std::uint32_t cooperativeLevel);
    // Loads the WAV file at `path` into a new sound with `bufferCount` buffers and registers it.
    // kFail when nothing is at the path; throws except::Exception for a damaged or non-PCM file.
    Result Create(Sound** out, const std::string& path, platform::audio::ModuleHandle module,
                  std::uint32_t creationFlags, const platform::audio::Guid& algorithm,
                  std::uint32_t bufferCount);
    // The cached sound of that name, loaded on first use; null when it cannot be loaded.
    Sound* GetSound(std::string_view name);
    // 1 when the sound is playing already, 0 when it cannot be loaded, else the result of Play.
    std::int32_t PlaySound(std::string_view name);
    void StopSound(std::string_view name);
    void SetSoundVolume(std::string_view name, std::int32_t volume);
    void MuteAll();
    void UnmuteAll();
    // Takes a new sound into the engine; null (and the sound is gone) when there is no room.
    Sound* Register(std::unique_ptr<Sound> sound);
    // Stops the worker, destroys every sound and releases the device.
    void Shutdown();

    // The folder put in front of every name, ending with a backslash.
    void SetBasePath(std::string path) { basePath_ = std::move(path); }
    const std::string& BasePath() const { return basePath_; }
    bool IsMuted() const { return muted_; }
    bool HasDevice() const { return device_ != nullptr; }
    bool WorkerRunning() const { return worker_.joinable(); }
    std::uint32_t SoundCount() const { return soundCount_; }
    std::uint32_t EventCount() const { return eventCount_.load(std::memory_order_acquire); }

private:
    void Work();
    bool HasRoomFor(bool looped) const;
    void ReportNamed(const char* op, std::string_view name, std::int32_t volume, bool hasResult,
                     std::int32_t result);

    std::unique_ptr<platform::audio::Device> device_;
    std::thread worker_;
    // The worker waits on the first eventCount_ entries of events_: entry 0 wakes it, the others
    // are loop events of looped sounds, whose owners are the same entries of eventOwners_. The
    // UI thread writes an entry before it publishes the larger count.
    std::atomic<std::uint32_t> eventCount_{0};
    std::array<platform::audio::Event*, kMaxEvents> events_{};
    std::array<Sound*, kMaxEvents> eventOwners_{};
    std::atomic<bool> stopRequested_{false};
    std::unique_ptr<platform::audio::Event> wake_;

    std::uint32_t soundCount_ = 0;
    std::array<std::unique_ptr<Sound>, kMaxSounds> sounds_;
    std::map<std::string, Sound*, std::less<>> cache_;
    std::string basePath_;
    bool muted_ = false;

    // Reused for every name, so a steady stream of calls allocates nothing.
    std::string key_;
    std::string reportName_;
};

} // namespace except
