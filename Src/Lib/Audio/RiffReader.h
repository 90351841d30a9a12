// A reader of RIFF chunks over a file or a memory image, in the manner of the simulator
// platform's multimedia file functions: descend into a chunk, find a chunk by id inside a parent,
// ascend past a chunk. It never reads outside its source; positions past the end read nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <span>
#include <string>

namespace riff {

constexpr std::uint32_t FourCc(const char (&code)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

constexpr std::uint32_t kRiff = FourCc("RIFF");
constexpr std::uint32_t kList = FourCc("LIST");

struct Chunk {
    std::uint32_t id = 0;
    std::uint32_t size = 0;       // as declared in the header; the file may hold fewer bytes
    std::uint32_t formType = 0;   // "RIFF" and "LIST" chunks only
    std::uint64_t dataOffset = 0; // first byte after the 8-byte header (the form type, if any)
};

class RiffReader {
public:
    RiffReader() = default;
    RiffReader(const RiffReader&) = delete;
    RiffReader& operator=(const RiffReader&) = delete;

    // Opens a regular file for reading; false when it cannot be opened.
    bool OpenFile(const std::string& nativePath);
    // Reads from `image`, which must stay alive and unchanged while the reader is open.
    void OpenMemory(std::span<const std::uint8_t> image);
    void Close();
    bool IsOpen() const { return open_; }

    // Copies up to `count` bytes from the current position; returns how many it copied.
    std::size_t Read(void* destination, std::size_t count);
    void Seek(std::uint64_t offset) { position_ = offset; }
    std::uint64_t Tell() const { return position_; }
    std::uint64_t Size() const { return size_; }

    // Reads the chunk header at the current position and stops at the chunk's data (after the
    // form type of a "RIFF" or "LIST" chunk).
    bool Descend(Chunk& chunk);
    // From the current position to the end of `parent`, skips chunks until one with `id`, and
    // descends into it.
    bool FindChunk(Chunk& chunk, std::uint32_t id, const Chunk& parent);
    // Moves to the first byte after `chunk` (chunks are padded to an even size).
    void Ascend(const Chunk& chunk);

private:
    bool file_ = false;
    bool open_ = false;
    std::ifstream stream_;
    std::span<const std::uint8_t> memory_;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
};

} // namespace riff
