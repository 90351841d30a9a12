#include "Lib/Audio/RiffReader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace riff {

namespace {

std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

} // namespace

bool RiffReader::OpenFile(const std::string& nativePath) {
    Close();
    std::error_code error;
    // A folder is no file, although the stream would open it.
    if (!std::filesystem::is_regular_file(nativePath, error)) {
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(nativePath, error);
    if (error) {
        return false;
    }
    stream_.open(nativePath, std::ios::binary);
    if (!stream_.is_open()) {
        return false;
    }
    file_ = true;
    open_ = true;
    size_ = size;
    position_ = 0;
    return true;
}

void RiffReader::OpenMemory(std::span<const std::uint8_t> image) {
    Close();
    memory_ = image;
    file_ = false;
    open_ = true;
    size_ = image.size();
    position_ = 0;
}

void RiffReader::Close() {
    if (stream_.is_open()) {
        stream_.close();
    }
    stream_.clear();
    memory_ = {};
    file_ = false;
    open_ = false;
    size_ = 0;
    position_ = 0;
}

std::size_t RiffReader::Read(void* destination, std::size_t count) {
    if (!open_ || destination == nullptr || position_ >= size_) {
        return 0;
    }
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - position_));
    if (n == 0) {
        return 0;
    }
    std::size_t got = n;
    if (file_) {
        stream_.clear();
        stream_.seekg(static_cast<std::streamoff>(position_));
        stream_.read(static_cast<char*>(destination), static_cast<std::streamsize>(n));
        got = static_cast<std::size_t>(std::max<std::streamsize>(stream_.gcount(), 0));
    } else {
        std::memcpy(destination, memory_.data() + position_, n);
    }
    position_ += got;
    return got;
}

bool RiffReader::Descend(Chunk& chunk) {
    std::uint8_t header[8];
    const std::uint64_t start = position_;
    if (Read(header, sizeof header) != sizeof header) {
        position_ = start;
        return false;
    }
    Chunk found;
    found.id = LittleEndian32(header);
    found.size = LittleEndian32(header + 4);
    found.dataOffset = start + sizeof header;
    if (found.id == kRiff || found.id == kList) {
        std::uint8_t form[4];
        if (Read(form, sizeof form) != sizeof form) {
            position_ = start;
            return false;
        }
        found.formType = LittleEndian32(form);
    }
    chunk = found;
    return true;
}

bool RiffReader::FindChunk(Chunk& chunk, std::uint32_t id, const Chunk& parent) {
    const std::uint64_t parentEnd = parent.dataOffset + parent.size;
    for (;;) {
        if (position_ + 8 > parentEnd) {
            return false;
        }
        Chunk candidate;
        if (!Descend(candidate)) {
            return false;
        }
        if (candidate.id == id) {
            chunk = candidate;
            return true;
        }
        Ascend(candidate);
    }
}

void RiffReader::Ascend(const Chunk& chunk) {
    position_ = chunk.dataOffset + chunk.size + (chunk.size & 1u);
}

} // namespace riff
