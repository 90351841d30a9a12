#include "Lib/Audio/SoundEngine.h"

#include "Lib/Exception.h"

#include <new>
#include <system_error>
#include <utility>
#include <vector>

namespace except {

namespace {

namespace pa = platform::audio;

// Where the engine's failures are reported from, as maintainers know these sources.
constexpr const char* kFile = "..\\..\\Src\\Lib\\Audio\\SoundEngine";
constexpr const char* kInit = "except::SoundEngine::Init";
constexpr const char* kCreate = "except::SoundEngine::Create";
constexpr const char* kOutOfMemory = "Out of memory";
// Buffers of a file with a sample loop report their cursor exactly, signal positions and are
// mixed by software (the loop jump depends on all three).
constexpr std::uint32_t kLoopedCaps =
    pa::kCapsGetCurrentPosition2 | pa::kCapsCtrlPositionNotify | pa::kCapsLocSoftware;
constexpr std::uint32_t kNormalCooperativeLevel = 1;

[[noreturn]] void ThrowResult(pa::Result result, const char* function, std::int32_t line) {
    throw Exception(pa::DescribeResult(result), kFile, function, line);
}

} // namespace

SoundEngine::~SoundEngine() {
    Shutdown();
}

void SoundEngine::Init(platform::WindowHandle window, std::uint32_t cooperativeLevel) {
    device_.reset();
    if (window == nullptr) {
        throw Exception("Active window handle is null", kFile, kInit, 34);
    }
    if (cooperativeLevel < 1 || cooperativeLevel > 4) {
        cooperativeLevel = kNormalCooperativeLevel;
    }
    std::unique_ptr<pa::Device> device;
    if (const Result r = pa::CreateDevice(device); pa::Failed(r)) {
        ThrowResult(r, kInit, 40);
    }
    if (const Result r = device->SetCooperativeLevel(window, cooperativeLevel); pa::Failed(r)) {
        ThrowResult(r, kInit, 43);
    }
    device_ = std::move(device);
    if (worker_.joinable()) {
        return; // initialised before: the worker and its events stay
    }
    wake_ = std::make_unique<pa::Event>();
    events_[0] = wake_.get();
    eventOwners_[0] = nullptr;
    eventCount_.store(1, std::memory_order_release);
    stopRequested_.store(false);
    try {
        worker_ = std::thread([this] { Work(); });
    } catch (const std::system_error& e) {
        throw Exception(e.what(), kFile, kInit, 0);
    }
}

void SoundEngine::Work() {
    if (stopRequested_.load()) {
        return;
    }
    for (;;) {
        // The count is read afresh for every wait: a new looped sound wakes the worker through
        // entry 0, and the next wait takes its event in.
        const std::uint32_t count = eventCount_.load(std::memory_order_acquire);
        const std::uint32_t which = pa::WaitForAny(events_.data(), count);
        if (which == 0) {
            events_[0]->Reset();
        } else if (which == pa::kWaitAbandoned || which == pa::kWaitFailed) {
            return;
        } else if (which < count) {
            events_[which]->Reset();
            eventOwners_[which]->ReturnToLoopStart();
        }
        if (stopRequested_.load()) {
            return;
        }
    }
}

bool SoundEngine::HasRoomFor(bool looped) const {
    if (soundCount_ >= kMaxSounds) {
        return false;
    }
    // The platform waits on at most kMaxWaitEvents events, the wake event among them.
    const std::uint32_t events = eventCount_.load(std::memory_order_relaxed);
    return !looped || (events >= 1 && events < pa::kMaxWaitEvents && events < kMaxEvents);
}

SoundEngine::Result SoundEngine::Create(Sound** out, const std::string& path,
                                        pa::ModuleHandle module, std::uint32_t creationFlags,
                                        const pa::Guid& algorithm, std::uint32_t bufferCount) {
    if (!pa::PathExists(path)) {
        return pa::kFail;
    }
    if (device_ == nullptr) {
        throw Exception("Direct sound buffer is null. May be CoInitialize has not been called?",
                        kFile, kCreate, 132);
    }
    if (out == nullptr || bufferCount == 0) {
        throw Exception("Something wrong with pointers.", kFile, kCreate, 137);
    }
    std::vector<std::unique_ptr<pa::Buffer>> buffers;
    try {
        buffers.resize(bufferCount);
    } catch (const std::bad_alloc&) {
        throw Exception(kOutOfMemory, kFile, kCreate, 147);
    }
    std::unique_ptr<WaveFile> reader;
    try {
        reader = std::make_unique<WaveFile>();
    } catch (const std::bad_alloc&) {
        throw Exception(kOutOfMemory, kFile, kCreate, 157);
    }
    // A file that cannot be read shows as blank below; its result adds nothing to that.
    reader->Open(path.c_str(), module);
    if (reader->DataSize() == 0) {
        throw Exception("Wave is blank,so don't create it", kFile, kCreate, 166);
    }
    if (reader->Format()->formatTag != pa::kFormatPcm) {
        throw Exception("Wave isn't PCM,so don't create it", kFile, kCreate, 173);
    }
    const bool looped = reader->LoopCount() >= 1;
    if (!HasRoomFor(looped)) {
        return pa::kOutOfMemory;
    }
    pa::BufferDescription description;
    description.flags = creationFlags | (looped ? kLoopedCaps : 0);
    description.bufferBytes = reader->DataSize();
    description.format = reader->Format();
    description.algorithm = algorithm;
    const Result created = device_->CreateSoundBuffer(description, buffers[0]);
    if (pa::Failed(created)) {
        ThrowResult(created, kCreate, 198);
    }
    for (std::uint32_t i = 1; i < bufferCount; ++i) {
        if ((creationFlags & pa::kCapsCtrlFx) == 0) {
            // Duplicates share the data of buffer 0 and play on their own.
            if (const Result r = device_->DuplicateSoundBuffer(*buffers[0], buffers[i]);
                pa::Failed(r)) {
                ThrowResult(r, kCreate, 207);
            }
        } else if (const Result r = device_->CreateSoundBuffer(description, buffers[i]);
                   pa::Failed(r)) {
            ThrowResult(r, kCreate, 217);
        }
    }
    const std::uint32_t bytes = reader->DataSize();
    auto sound = std::make_unique<Sound>(std::move(buffers), bytes, bufferCount, std::move(reader),
                                         description.flags);
    *out = Register(std::move(sound));
    return created == pa::kNoVirtualization ? pa::kNoVirtualization : pa::kOk;
}

Sound* SoundEngine::Register(std::unique_ptr<Sound> sound) {
    if (sound == nullptr || !HasRoomFor(sound->IsLooped())) {
        return nullptr;
    }
    Sound* registered = sound.get();
    sounds_[soundCount_++] = std::move(sound);
    if (registered->IsLooped()) {
        const std::uint32_t index = eventCount_.load(std::memory_order_relaxed);
        eventOwners_[index] = registered;
        events_[index] = registered->LoopEvent();
        eventCount_.store(index + 1, std::memory_order_release);
        wake_->Set();
    }
    return registered;
}

Sound* SoundEngine::GetSound(std::string_view name) {
    key_.assign(name);
    for (char& c : key_) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (const auto found = cache_.find(key_); found != cache_.end()) {
        return found->second;
    }
    Sound* sound = nullptr;
    const Result r = Create(&sound, basePath_ + key_, pa::HostModule(), pa::kCapsCtrlVolume,
                            pa::Guid{}, kCachedBufferCount);
    if (pa::Failed(r) || sound == nullptr) {
        return nullptr; // nothing is cached: the next call tries again
    }
    cache_.emplace(key_, sound);
    return sound;
}

std::int32_t SoundEngine::PlaySound(std::string_view name) {
    Sound* sound = GetSound(name);
    std::int32_t result = 0;
    if (sound != nullptr && sound->IsPlaying()) {
        result = 1; // never restarted or doubled while it plays
    } else if (sound != nullptr) {
        result = sound->Play(0, 0, 0, -1, 0);
    }
    ReportNamed("play", name, 0, true, result);
    return result;
}

void SoundEngine::StopSound(std::string_view name) {
    if (Sound* sound = GetSound(name); sound != nullptr) {
        sound->Stop();
    }
    ReportNamed("stop", name, 0, false, 0);
}

void SoundEngine::SetSoundVolume(std::string_view name, std::int32_t volume) {
    if (Sound* sound = GetSound(name); sound != nullptr) {
        sound->SetVolume(volume);
    }
    ReportNamed("volume", name, volume, false, 0);
}

void SoundEngine::MuteAll() {
    pa::ReportSoundOperation(pa::SoundOperation{"mute", nullptr, 0, false, 0});
    if (muted_) {
        return;
    }
    for (const auto& [key, sound] : cache_) {
        sound->Mute(kMutedVolume);
    }
    muted_ = true;
}

void SoundEngine::UnmuteAll() {
    pa::ReportSoundOperation(pa::SoundOperation{"unmute", nullptr, 0, false, 0});
    if (!muted_) {
        return;
    }
    for (const auto& [key, sound] : cache_) {
        sound->Unmute();
    }
    muted_ = false;
}

void SoundEngine::Shutdown() {
    stopRequested_.store(true);
    if (wake_ != nullptr) {
        wake_->Set();
    }
    // The worker must be gone before the sounds and their loop events.
    if (worker_.joinable()) {
        worker_.join();
    }
    for (std::uint32_t i = 0; i < soundCount_; ++i) {
        sounds_[i].reset();
    }
    soundCount_ = 0;
    cache_.clear();
    eventCount_.store(0, std::memory_order_release);
    wake_.reset();
    device_.reset();
}

void SoundEngine::ReportNamed(const char* op, std::string_view name, std::int32_t volume,
                              bool hasResult, std::int32_t result) {
    reportName_.assign(name);
    pa::ReportSoundOperation(
        pa::SoundOperation{op, reportName_.c_str(), volume, hasResult, result});
}

} // namespace except
