// Feeds arbitrary bytes to the RIFF chunk reader and to the WAV reader. Both must answer with a
// result, never read outside the image, and never allocate more than the image justifies.
#include "Lib/Audio/RiffReader.h"
#include "Lib/Audio/WaveFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

void WalkChunks(std::span<const std::uint8_t> image) {
    riff::RiffReader reader;
    reader.OpenMemory(image);
    riff::Chunk top;
    if (!reader.Descend(top)) {
        return;
    }
    // Every chunk id the reader finds inside the top chunk, read through to its end.
    std::uint8_t scratch[64];
    for (int i = 0; i < 256; ++i) {
        riff::Chunk chunk;
        if (!reader.Descend(chunk) || reader.Tell() > top.dataOffset + top.size) {
            break;
        }
        reader.Read(scratch, sizeof scratch);
        reader.Ascend(chunk);
        reader.Seek(chunk.dataOffset);
        riff::Chunk again;
        reader.FindChunk(again, chunk.id, top);
        reader.Ascend(chunk);
    }
}

void ReadWave() {
    WaveFile wave;
    if (wave.Open("fuzz-input\\image.wav", platform::audio::HostModule()) != 0) {
        return;
    }
    std::vector<std::uint8_t> data(4096);
    for (int pass = 0; pass < 2; ++pass) {
        std::uint32_t read = 0;
        while (wave.Read(data.data(), static_cast<std::uint32_t>(data.size()), &read) == 0 &&
               read > 0) {
        }
        wave.Rewind();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::span<const std::uint8_t> image(bytes, size);
    WalkChunks(image);
    // The file does not exist, so the reader takes the registered resource of that name.
    platform::audio::RegisterResource("fuzz-input\\image.wav", "WAVE", image);
    ReadWave();
    return 0;
}
