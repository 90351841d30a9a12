// The host side of the audio contract for the tests: publishes a loopback record, renders it in
// 10 ms steps and logs the engine's sound operations.
#pragma once

#include "Bench/Output/LoopbackDevice.h"
#include "Lib/Audio/SoundEngine.h"
#include "WaveBuilder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace audiotest {

class LoopbackHost {
public:
    static constexpr std::uint32_t kRate = bench::LoopbackDevice::kSampleRate;
    static constexpr std::uint32_t kFramesPerStep = bench::LoopbackDevice::kFramesPerStep;

    LoopbackHost();
    LoopbackHost(const LoopbackHost&) = delete;
    LoopbackHost& operator=(const LoopbackHost&) = delete;

    // Interleaved stereo samples of `steps` 10 ms steps.
    std::vector<std::int16_t> Render(std::uint32_t steps);
    void LoseBuffers(std::uint32_t failingRestores);

    std::vector<std::string> operations; // "op name volume result", as reported
    bench::LoopbackDevice device;
    zvau_host& record = device.record;
};

// An engine open on the loopback device, loading from a private folder.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The play cursor of buffer 0 of a loaded sound.
    std::uint32_t Cursor(const std::string& name);

    TempDir dir;
    LoopbackHost host;
    void* window = nullptr;
    except::SoundEngine engine;
};

} // namespace audiotest
