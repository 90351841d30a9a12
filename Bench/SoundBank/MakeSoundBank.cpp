// Writes the bench's sound bank: the eight cockpit sounds as short synthesized 16-bit PCM files
// (44100 Hz, mono). The flap motor carries a "smpl" loop over its steady part, so it sustains
// while it plays and spins down when stopped. The output is the same on every run.
//
//   zelvan_make_soundbank OUTPUT_FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kRate = 44100;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

using Signal = std::vector<double>; // samples in -1..1

struct Loop {
    std::uint32_t start = 0; // frames; the sound jumps back to start on reaching end
    std::uint32_t end = 0;
};

// A small deterministic noise source (xorshift), so every build writes the same bytes.
class Noise {
public:
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_ = 0x2545F491u;
};

std::size_t Frames(double seconds) {
    return static_cast<std::size_t>(seconds * kRate);
}

// Adds a decaying tone or noise burst starting at `at` seconds.
void AddClick(Signal& s, double at, double frequency, double level, double decay, Noise& noise,
              double noiseShare) {
    const std::size_t first = Frames(at);
    for (std::size_t i = first; i < s.size(); ++i) {
        const double t = static_cast<double>(i - first) / kRate;
        const double envelope = level * std::exp(-t / decay);
        if (envelope < 1e-4) {
            break;
        }
        const double tone = std::sin(kTwoPi * frequency * t);
        s[i] += envelope * ((1.0 - noiseShare) * tone + noiseShare * noise.Next());
    }
}

// Low-passed noise whose brightness and level follow the given curves over its length: a
// window sliding in its rail.
Signal Slide(double seconds, const std::function<double(double)>& brightness,
             double endClickLevel) {
    Signal s(Frames(seconds), 0.0);
    Noise noise;
    double filtered = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(s.size());
        filtered += brightness(x) * (noise.Next() - filtered);
        s[i] = 0.45 * std::sin(std::numbers::pi * x) * filtered;
    }
    AddClick(s, seconds - 0.05, 700.0, endClickLevel, 0.012, noise, 0.6);
    return s;
}

// The flap motor: spin-up, a steady part of whole motor revolutions (the loop), spin-down.
Signal FlapMotor(Loop& loop) {
    const double steadyHz = 120.0; // 60 revolutions in the 0.5 s loop: its ends meet in phase
    const std::size_t attack = Frames(0.25);
    const std::size_t steady = Frames(0.5);
    const std::size_t tail = Frames(0.3);
    Signal s(attack + steady + tail, 0.0);
    Noise noise;
    double phase = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        double hz = steadyHz;
        double level = 0.35;
        if (i < attack) {
            const double x = static_cast<double>(i) / attack;
            hz = 40.0 + (steadyHz - 40.0) * x;
            level *= 0.3 + 0.7 * x;
        } else if (i >= attack + steady) {
            const double x = static_cast<double>(i - attack - steady) / tail;
            hz = steadyHz * (1.0 - 0.8 * x);
            level *= (1.0 - x) * (1.0 - x);
        }
        const double buzz =
            std::sin(phase) + 0.4 * std::sin(2.0 * phase) + 0.2 * std::sin(5.0 * phase);
        s[i] = level * (0.75 * buzz / 1.6 + 0.08 * noise.Next());
        phase = std::fmod(phase + kTwoPi * hz / kRate, kTwoPi);
    }
    loop.start = static_cast<std::uint32_t>(attack);
    loop.end = static_cast<std::uint32_t>(attack + steady);
    return s;
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* id,
              const std::vector<std::uint8_t>& body) {
    out.insert(out.end(), id, id + 4);
    Put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) {
        out.push_back(0);
    }
}

std::vector<std::uint8_t> EncodeWave(const Signal& s, const Loop* loop) {
    std::vector<std::uint8_t> fmt;
    Put16(fmt, 1); // PCM
    Put16(fmt, 1); // mono
    Put32(fmt, kRate);
    Put32(fmt, kRate * 2);
    Put16(fmt, 2);
    Put16(fmt, 16);

    std::vector<std::uint8_t> data;
    for (double v : s) {
        const double clamped = std::fmax(-1.0, std::fmin(1.0, v));
        Put16(data,
              static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lrint(clamped * 32767.0))));
    }

    std::vector<std::uint8_t> body{'W', 'A', 'V', 'E'};
    PutChunk(body, "fmt ", fmt);
    if (loop != nullptr) {
        std::vector<std::uint8_t> smpl;
        for (std::uint32_t v : {0u, 0u, 1000000000u / kRate, 60u, 0u, 0u, 0u, 1u, 0u}) {
            Put32(smpl, v); // header: sample period in ns, unity note 60, one loop
        }
        for (std::uint32_t v : {0u, 0u, loop->start, loop->end, 0u, 0u}) {
            Put32(smpl, v); // forward loop, played until stopped
        }
        PutChunk(body, "smpl", smpl);
    }
    PutChunk(body, "data", data);
    std::vector<std::uint8_t> file;
    PutChunk(file, "RIFF", body);
    return file;
}

bool Write(const std::filesystem::path& folder, const char* name, const Signal& s,
           const Loop* loop = nullptr) {
    const std::vector<std::uint8_t> bytes = EncodeWave(s, loop);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "cannot create %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    Noise noise;
    bool ok = true;

    Signal click(Frames(0.03), 0.0); // toggle switch: a sharp tick
    AddClick(click, 0.0, 3200.0, 0.6, 0.004, noise, 0.5);
    ok &= Write(folder, "sw_click.wav", click);

    Signal latch(Frames(0.06), 0.0); // canopy latch: two lower ticks
    AddClick(latch, 0.0, 1400.0, 0.5, 0.006, noise, 0.4);
    AddClick(latch, 0.025, 1100.0, 0.4, 0.008, noise, 0.4);
    ok &= Write(folder, "zel_fonar_click.wav", latch);

    Signal close(Frames(0.35), 0.0); // canopy closing: a thump and a rattle
    AddClick(close, 0.0, 80.0, 0.7, 0.08, noise, 0.1);
    AddClick(close, 0.0, 600.0, 0.3, 0.03, noise, 0.8);
    AddClick(close, 0.05, 900.0, 0.15, 0.02, noise, 0.7);
    ok &= Write(folder, "zel_fonar_close.wav", close);

    ok &= Write(folder, "slidew_open.wav",
                Slide(
                    0.45, [](double x) { return 0.05 + 0.25 * x; }, 0.25));
    ok &= Write(folder, "slidew_close.wav",
                Slide(
                    0.45, [](double x) { return 0.3 - 0.25 * x; }, 0.5));

    Loop loop;
    const Signal flaps = FlapMotor(loop);
    ok &= Write(folder, "zelvan_flaps.wav", flaps, &loop);

    Signal pull(Frames(0.12), 0.0); // attitude indicator cage knob pulled: click and spring
    AddClick(pull, 0.0, 2500.0, 0.5, 0.005, noise, 0.5);
    AddClick(pull, 0.01, 900.0, 0.25, 0.04, noise, 0.0);
    ok &= Write(folder, "agd_arr_pull.wav", pull);

    Signal push(Frames(0.1), 0.0); // cage knob pushed: click and a dull stop
    AddClick(push, 0.0, 2000.0, 0.5, 0.005, noise, 0.5);
    AddClick(push, 0.015, 150.0, 0.4, 0.02, noise, 0.2);
    ok &= Write(folder, "agd_arr_push.wav", push);

    if (!ok) {
        std::fprintf(stderr, "cannot write the sound bank into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
