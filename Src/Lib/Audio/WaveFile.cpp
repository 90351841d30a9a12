#include "Lib/Audio/WaveFile.h"

#include <array>
#include <new>

namespace {

using platform::audio::Result;
namespace pa = platform::audio;

constexpr std::uint32_t kWave = riff::FourCc("WAVE");
constexpr std::uint32_t kFmt = riff::FourCc("fmt ");
constexpr std::uint32_t kData = riff::FourCc("data");
constexpr std::uint32_t kSmpl = riff::FourCc("smpl");
constexpr std::uint32_t kPcmFormatBytes = 16;
constexpr std::uint32_t kSampleHeaderBytes = 36;
constexpr std::uint32_t kSampleLoopBytes = 24;

std::uint16_t Le16(const std::uint8_t* b) {
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

std::uint32_t Le32(const std::uint8_t* b) {
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

} // namespace

WaveFile::~WaveFile() {
    Close();
}

Result WaveFile::Open(const char* path, pa::ModuleHandle module) {
    if (path == nullptr) {
        return pa::kInvalidArgument;
    }
    Close();
    if (!reader_.OpenFile(pa::NativePath(path))) {
        try {
            bool found = false;
            for (const char* type : {"WAVE", "WAV", pa::kResourceTypeRcData}) {
                if (pa::CopyResource(module, path, type, resourceCopy_)) {
                    found = true;
                    break;
                }
            }
            if (!found) {
                return pa::kFail;
            }
        } catch (const std::bad_alloc&) {
            return pa::kOutOfMemory;
        }
        reader_.OpenMemory(resourceCopy_);
    }
    if (const Result format = ReadFormat(); pa::Failed(format)) {
        Close();
        return format;
    }
    const Result rewound = Rewind();
    if (pa::Succeeded(rewound)) {
        dataSize_ = dataChunk_.size;
    }
    return rewound;
}

Result WaveFile::ReadFormat() {
    reader_.Seek(0);
    if (!reader_.Descend(riffChunk_) || riffChunk_.id != riff::kRiff ||
        riffChunk_.formType != kWave) {
        return pa::kFail;
    }
    riff::Chunk fmt;
    if (!reader_.FindChunk(fmt, kFmt, riffChunk_) || fmt.size < kPcmFormatBytes) {
        return pa::kFail;
    }
    std::array<std::uint8_t, kPcmFormatBytes> pcm{};
    if (reader_.Read(pcm.data(), pcm.size()) != pcm.size()) {
        return pa::kFail;
    }
    format_.formatTag = Le16(&pcm[0]);
    format_.channels = Le16(&pcm[2]);
    format_.samplesPerSec = Le32(&pcm[4]);
    format_.avgBytesPerSec = Le32(&pcm[8]);
    format_.blockAlign = Le16(&pcm[12]);
    format_.bitsPerSample = Le16(&pcm[14]);
    format_.extraSize = 0;
    if (format_.formatTag != pa::kFormatPcm) {
        std::uint8_t extra[2];
        if (reader_.Read(extra, sizeof extra) != sizeof extra) {
            return pa::kFail;
        }
        const std::uint16_t extraSize = Le16(extra);
        try {
            formatExtra_.resize(extraSize);
        } catch (const std::bad_alloc&) {
            return pa::kOutOfMemory;
        }
        if (reader_.Read(formatExtra_.data(), extraSize) != extraSize) {
            formatExtra_.clear();
            return pa::kFail;
        }
        format_.extraSize = extraSize;
    }
    hasFormat_ = true;
    reader_.Ascend(fmt);
    ReadSampleLoops();
    return pa::kOk;
}

// Only a "smpl" chunk after "fmt " counts. Loop records are taken as far as both the chunk and
// the file hold them, whatever count the header claims.
void WaveFile::ReadSampleLoops() {
    riff::Chunk smpl;
    if (!reader_.FindChunk(smpl, kSmpl, riffChunk_)) {
        return;
    }
    std::array<std::uint8_t, kSampleHeaderBytes> header{};
    if (reader_.Read(header.data(), header.size()) != header.size()) {
        return;
    }
    std::uint32_t* fields[] = {
        &sampleHeader_.manufacturer,  &sampleHeader_.product,           &sampleHeader_.samplePeriod,
        &sampleHeader_.midiUnityNote, &sampleHeader_.midiPitchFraction, &sampleHeader_.smpteFormat,
        &sampleHeader_.smpteOffset,   &sampleHeader_.sampleLoops,       &sampleHeader_.samplerData};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        *fields[i] = Le32(&header[4 * i]);
    }
    const std::uint32_t inChunk =
        smpl.size < kSampleHeaderBytes ? 0 : (smpl.size - kSampleHeaderBytes) / kSampleLoopBytes;
    std::uint32_t wanted = std::min(sampleHeader_.sampleLoops, inChunk);
    std::array<std::uint8_t, kSampleLoopBytes> record{};
    try {
        while (wanted-- > 0 && reader_.Read(record.data(), record.size()) == record.size()) {
            loops_.push_back(SampleLoop{Le32(&record[0]), Le32(&record[4]), Le32(&record[8]),
                                        Le32(&record[12]), Le32(&record[16]), Le32(&record[20])});
        }
    } catch (const std::bad_alloc&) {
        loops_.clear(); // a sound without its loop still plays
    }
}

Result WaveFile::Rewind() {
    if (!reader_.IsOpen()) {
        return pa::kNotInitialized;
    }
    reader_.Seek(riffChunk_.dataOffset + 4);
    riff::Chunk data;
    if (!reader_.FindChunk(data, kData, riffChunk_)) {
        return pa::kFail;
    }
    dataChunk_ = data;
    dataUnread_ = data.size;
    return pa::kOk;
}

Result WaveFile::Read(std::uint8_t* destination, std::uint32_t count, std::uint32_t* read) {
    if (!reader_.IsOpen()) {
        return pa::kNotInitialized;
    }
    if (destination == nullptr || read == nullptr) {
        return pa::kInvalidArgument;
    }
    *read = 0;
    const std::uint32_t n = std::min(count, dataUnread_);
    dataUnread_ -= n;
    if (reader_.Read(destination, n) != n) {
        return pa::kFail; // the file ends inside its "data" chunk
    }
    *read = n;
    return pa::kOk;
}

void WaveFile::FreeFormat() {
    hasFormat_ = false;
    format_ = {};
    formatExtra_.clear();
    sampleHeader_ = {};
    loops_.clear();
}

void WaveFile::Close() {
    reader_.Close();
    resourceCopy_.clear();
    FreeFormat();
    riffChunk_ = {};
    dataChunk_ = {};
    dataUnread_ = 0;
    dataSize_ = 0;
}
