// Builds WAV images for the tests, including broken ones, and writes them to a private folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace audiotest {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void Put32(Bytes& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

// A chunk with its header and pad byte; `declared` overrides the size written in the header.
inline Bytes Chunk(const char (&id)[5], const Bytes& body, std::int64_t declared = -1) {
    Bytes out(id, id + 4);
    Put32(out, static_cast<std::uint32_t>(declared < 0 ? static_cast<std::int64_t>(body.size())
                                                       : declared));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) {
        out.push_back(0);
    }
    return out;
}

inline Bytes Riff(std::initializer_list<Bytes> chunks) {
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) {
        body.insert(body.end(), c.begin(), c.end());
    }
    return Chunk("RIFF", body);
}

inline Bytes Fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                 std::uint16_t bits) {
    Bytes out;
    const auto align = static_cast<std::uint16_t>(channels * bits / 8);
    Put16(out, tag);
    Put16(out, channels);
    Put32(out, rate);
    Put32(out, rate * align);
    Put16(out, align);
    Put16(out, bits);
    return out;
}

// A "smpl" chunk body with these (start, end) loops; `claimed` overrides the loop count.
inline Bytes Smpl(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& loops,
                  std::int64_t claimed = -1) {
    Bytes out;
    for (int i = 0; i < 7; ++i) {
        Put32(out, 0);
    }
    Put32(out, static_cast<std::uint32_t>(claimed < 0 ? static_cast<std::int64_t>(loops.size())
                                                      : claimed));
    Put32(out, 0);
    for (const auto& [start, end] : loops) {
        for (std::uint32_t v : {0u, 0u, start, end, 0u, 0u}) {
            Put32(out, v);
        }
    }
    return out;
}

inline Bytes Samples16(const std::vector<std::int16_t>& samples) {
    Bytes out;
    for (std::int16_t s : samples) {
        Put16(out, static_cast<std::uint16_t>(s));
    }
    return out;
}

// A PCM file; with loops, the "smpl" chunk sits between "fmt " and "data".
inline Bytes Wav(std::uint16_t channels, std::uint16_t bits, const Bytes& data,
                 const std::vector<std::pair<std::uint32_t, std::uint32_t>>& loops = {}) {
    const Bytes fmt = Chunk("fmt ", Fmt(1, channels, 44100, bits));
    if (loops.empty()) {
        return Riff({fmt, Chunk("data", data)});
    }
    return Riff({fmt, Chunk("smpl", Smpl(loops)), Chunk("data", data)});
}

// A fresh folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    // The folder as the simulator spells a sound folder: ending with a backslash.
    std::string BasePath() const { return path_.string() + "\\"; }
    void Write(const std::string& name, const Bytes& bytes) const;

private:
    std::filesystem::path path_;
};

} // namespace audiotest
