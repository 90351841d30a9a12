#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>

namespace except {

// The opening outputs of a freshly seeded std::mt19937, for a generator made for one draw.
// Output i of a fresh twister depends only on words i, i + 1 and i + 397 of its seeded state,
// so the first kFast outputs need 397 + kFast + 1 words seeded instead of all 624 seeded and
// twisted, and of those only the first kFast + 1 and the last kFast are kept. Later outputs come
// from a full std::mt19937; the sequence is the same throughout.
class FreshTwister {
public:
    using result_type = std::uint32_t;
    static constexpr std::size_t kFast = 4;

    explicit FreshTwister(result_type seed) : seedValue(seed) {
        std::uint32_t w = seed;
        head[0] = w;
        for (std::uint32_t i = 1; i <= kFast; ++i) {
            w = 1812433253u * (w ^ (w >> 30)) + i;
            head[i] = w;
        }
        // The seeding recurrence runs through the words no output needs without keeping them.
        for (std::uint32_t i = kFast + 1; i < kShift; ++i) {
            w = 1812433253u * (w ^ (w >> 30)) + i;
        }
        for (std::uint32_t i = 0; i < kFast; ++i) {
            w = 1812433253u * (w ^ (w >> 30)) + kShift + i;
            tail[i] = w;
        }
    }

    static constexpr result_type min() { return 0; }
    static constexpr result_type max() { return 0xFFFFFFFFu; }

    result_type operator()() {
        if (next >= kFast) {
            if (!full) {
                full.emplace(seedValue);
                full->discard(kFast);
            }
            ++next;
            return static_cast<result_type>((*full)());
        }
        const std::uint32_t y = (head[next] & 0x80000000u) | (head[next + 1] & 0x7FFFFFFFu);
        std::uint32_t x = tail[next] ^ (y >> 1) ^ ((y & 1u) != 0 ? 0x9908B0DFu : 0u);
        ++next;
        x ^= x >> 11;
        x ^= (x << 7) & 0x9D2C5680u;
        x ^= (x << 15) & 0xEFC60000u;
        x ^= x >> 18;
        return x;
    }

private:
    static constexpr std::uint32_t kShift = 397; // the twister's middle distance

    result_type seedValue;
    std::array<std::uint32_t, kFast + 1> head; // words 0 to kFast
    std::array<std::uint32_t, kFast> tail;     // words 397 to 397 + kFast - 1
    std::size_t next = 0;
    std::optional<std::mt19937> full; // made only for a draw that goes past the first kFast
};

} // namespace except
