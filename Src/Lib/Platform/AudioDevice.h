// The audio device and its sound buffers, with the semantics the sound engine relies on: a
// buffer holds a whole sound, plays once or looping from its play cursor, stops where it is,
// reports itself playing or lost, and signals events when its cursor passes marked offsets.
// Buffers are safe to call from more than one thread.
#pragma once

#include "Lib/Platform/AudioEvent.h"
#include "Lib/Platform/AudioResult.h"
#include "Lib/Platform/Platform.h"

#include <array>
#include <cstdint>
#include <memory>

namespace platform::audio {

// The format record of a WAV file ("fmt " chunk, with the size of the extra bytes).
struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};
constexpr std::uint16_t kFormatPcm = 1;

using Guid = std::array<std::uint8_t, 16>;

// Creation flags of a buffer.
constexpr std::uint32_t kCapsLocSoftware = 0x8;
constexpr std::uint32_t kCapsCtrlFrequency = 0x20;
constexpr std::uint32_t kCapsCtrlPan = 0x40;
constexpr std::uint32_t kCapsCtrlVolume = 0x80;
constexpr std::uint32_t kCapsCtrlPositionNotify = 0x100;
constexpr std::uint32_t kCapsCtrlFx = 0x200;
constexpr std::uint32_t kCapsGetCurrentPosition2 = 0x10000;

// Status bits.
constexpr std::uint32_t kStatusPlaying = 0x1;
constexpr std::uint32_t kStatusBufferLost = 0x2;
constexpr std::uint32_t kStatusLooping = 0x4;

// Play flags.
constexpr std::uint32_t kPlayLooping = 0x1;

// Volume in hundredths of a decibel; pan likewise, negative towards the left.
constexpr std::int32_t kVolumeMin = -10000;
constexpr std::int32_t kVolumeMax = 0;
constexpr std::int32_t kPanLeft = -10000;
constexpr std::int32_t kPanRight = 10000;
constexpr std::uint32_t kFrequencyMin = 100;
constexpr std::uint32_t kFrequencyMax = 200000;
constexpr std::uint32_t kBufferBytesMin = 4;
constexpr std::uint32_t kBufferBytesMax = 0x0FFFFFFF;

struct BufferDescription {
    std::uint32_t flags = 0;
    std::uint32_t bufferBytes = 0;
    const WaveFormat* format = nullptr;
    Guid algorithm{};
};

// A marked offset: when the play cursor reaches `offset`, `event` is set.
struct PositionNotify {
    std::uint32_t offset = 0;
    Event* event = nullptr;
};

// The notification side of a buffer made with kCapsCtrlPositionNotify.
class Notify {
public:
    virtual ~Notify() = default;
    // Replaces the marked offsets (count 0 clears them). The events must outlive the marks.
    virtual Result SetNotificationPositions(std::uint32_t count,
                                            const PositionNotify* positions) = 0;
};

class Buffer {
public:
    virtual ~Buffer() = default;

    virtual Result GetStatus(std::uint32_t& status) = 0;
    // Starts playing from the play cursor; playing buffers keep their cursor. `reserved` is 0.
    virtual Result Play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags) = 0;
    // Stops and keeps the play cursor where it is.
    virtual Result Stop() = 0;
    // Play and write cursor in bytes from the start of the buffer; either may be null.
    virtual Result GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) = 0;
    virtual Result SetCurrentPosition(std::uint32_t play) = 0;
    virtual Result SetVolume(std::int32_t volume) = 0;
    virtual Result GetVolume(std::int32_t& volume) = 0;
    virtual Result SetFrequency(std::uint32_t frequency) = 0;
    virtual Result SetPan(std::int32_t pan) = 0;
    // Gives write access to `bytes` bytes from `offset`, in two parts when the range wraps
    // around the end. The data is the one shared with every duplicate.
    virtual Result Lock(std::uint32_t offset, std::uint32_t bytes, void** first,
                        std::uint32_t* firstBytes, void** second, std::uint32_t* secondBytes) = 0;
    virtual Result Unlock(void* first, std::uint32_t firstBytes, void* second,
                          std::uint32_t secondBytes) = 0;
    // Gives a lost buffer its memory back; the contents are gone and must be written again.
    virtual Result Restore() = 0;
    virtual Result QueryNotify(std::unique_ptr<Notify>& out) = 0;
};

class Device {
public:
    virtual ~Device() = default;
    virtual Result SetCooperativeLevel(WindowHandle window, std::uint32_t level) = 0;
    virtual Result CreateSoundBuffer(const BufferDescription& description,
                                     std::unique_ptr<Buffer>& out) = 0;
    // A new buffer that shares the original's data but plays on its own.
    virtual Result DuplicateSoundBuffer(Buffer& original, std::unique_ptr<Buffer>& out) = 0;
};

// Opens the default playback device, or the one the host asks for. Buffers keep what they need
// of the device alive, so the device may be released before them.
Result CreateDevice(std::unique_ptr<Device>& out);

// A by-name operation of the sound engine, for a host that logs them.
struct SoundOperation {
    const char* op = "";        // "play", "stop", "volume", "mute", "unmute"
    const char* name = nullptr; // the file name, where the operation has one
    std::int32_t volume = 0;    // for "volume"
    bool hasResult = false;
    std::int32_t result = 0;
};
void ReportSoundOperation(const SoundOperation& operation) noexcept;

} // namespace platform::audio
