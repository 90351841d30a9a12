// The reader of RIFF WAVE files: the format, the "data" chunk and the sample loops of a "smpl"
// chunk. It never throws; every operation answers with a result code.
#pragma once

#include "Lib/Audio/RiffReader.h"
#include "Lib/NonCopyable.h"
#include "Lib/Platform/AudioDevice.h"
#include "Lib/Platform/AudioFiles.h"

#include <cstdint>
#include <span>
#include <vector>

// The fixed part of a "smpl" chunk.
struct SampleHeader {
    std::uint32_t manufacturer = 0;
    std::uint32_t product = 0;
    std::uint32_t samplePeriod = 0;
    std::uint32_t midiUnityNote = 0;
    std::uint32_t midiPitchFraction = 0;
    std::uint32_t smpteFormat = 0;
    std::uint32_t smpteOffset = 0;
    std::uint32_t sampleLoops = 0;
    std::uint32_t samplerData = 0;
};

// One loop record of a "smpl" chunk; start and end count sample frames.
struct SampleLoop {
    std::uint32_t identifier = 0;
    std::uint32_t type = 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t fraction = 0;
    std::uint32_t playCount = 0;
};

class WaveFile : private except::NonCopyable {
public:
    using Result = platform::audio::Result;

    WaveFile() = default;
    ~WaveFile();

    // Opens `path`; when the file cannot be opened, a resource of `module` named like the path
    // (type "WAVE", "WAV" or raw data) stands in for it.
    Result Open(const char* path, platform::audio::ModuleHandle module);
    // Reads up to `count` bytes of the "data" chunk from where the last read stopped.
    Result Read(std::uint8_t* destination, std::uint32_t count, std::uint32_t* read);
    // Goes back to the start of the "data" chunk.
    Result Rewind();
    void Close();

    // The format; null until a file's format was read.
    const platform::audio::WaveFormat* Format() const { return hasFormat_ ? &format_ : nullptr; }
    std::span<const std::uint8_t> FormatExtra() const { return formatExtra_; }
    std::uint32_t DataSize() const { return dataSize_; }
    const SampleHeader& Samples() const { return sampleHeader_; }
    // Loop records present in the file; 0 without a "smpl" chunk.
    std::uint32_t LoopCount() const { return static_cast<std::uint32_t>(loops_.size()); }
    const SampleLoop* FirstLoop() const { return loops_.empty() ? nullptr : &loops_.front(); }

private:
    Result ReadFormat();
    void ReadSampleLoops();
    void FreeFormat();

    riff::RiffReader reader_;
    platform::audio::WaveFormat format_;
    bool hasFormat_ = false;
    std::vector<std::uint8_t> formatExtra_;
    riff::Chunk riffChunk_;
    riff::Chunk dataChunk_;
    std::uint32_t dataUnread_ = 0; // what the "data" chunk still holds past the last read
    std::uint32_t dataSize_ = 0;
    std::vector<std::uint8_t> resourceCopy_;
    SampleHeader sampleHeader_;
    std::vector<SampleLoop> loops_;
};
