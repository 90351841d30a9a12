#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"
#include "LoopbackHost.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace audiotest;
namespace pa = platform::audio;

// 16-bit stereo, 25000 frames: 100000 bytes of data.
Bytes StereoFile(std::uint32_t loopStartFrame, std::uint32_t loopEndFrame) {
    return Wav(2, 16, Bytes(100000, 0), {{loopStartFrame, loopEndFrame}});
}

using SoundTest = EngineTest;

TEST_F(SoundTest, LoopOffsetsCountBytesOfWholeFrames) {
    dir.Write("stereo16.wav", StereoFile(7500, 15000));
    dir.Write("mono8.wav", Wav(1, 8, Bytes(1000, 0x80), {{100, 300}}));
    dir.Write("mono16.wav", Wav(1, 16, Bytes(1000, 0), {{100, 300}}));
    const struct {
        const char* name;
        std::uint32_t start, end;
    } cases[] = {{"stereo16.wav", 30000, 60000}, {"mono8.wav", 100, 300}, {"mono16.wav", 200, 600}};
    for (const auto& c : cases) {
        except::Sound* sound = engine.GetSound(c.name);
        ASSERT_NE(sound, nullptr) << c.name;
        EXPECT_TRUE(sound->IsLooped());
        EXPECT_EQ(sound->LoopStart(), c.start) << c.name;
        EXPECT_EQ(sound->LoopEnd(), c.end) << c.name;
        EXPECT_EQ(sound->BufferCount(), 10u);
    }
}

TEST_F(SoundTest, StopPlaysTheTailFromTheMirroredPointOrTheLoopEnd) {
    dir.Write("flaps.wav", StereoFile(7500, 15000));  // loop 30000..60000
    dir.Write("flaps2.wav", StereoFile(7500, 24875)); // loop end 99500
    const auto stopAt = [&](const char* name, std::uint32_t position) {
        EXPECT_EQ(engine.PlaySound(name), 0);
        engine.GetSound(name)->GetBuffer(0)->SetCurrentPosition(position);
        engine.StopSound(name);
        EXPECT_TRUE(engine.GetSound(name)->IsPlaying()) << name << " at " << position;
        const std::uint32_t tail = Cursor(name);
        host.Render(30); // the tail runs out, the cursor goes back to 0
        EXPECT_FALSE(engine.GetSound(name)->IsPlaying());
        return tail;
    };
    EXPECT_EQ(stopAt("flaps.wav", 1000), 99000u);  // attack: mirrored from the end
    EXPECT_EQ(stopAt("flaps2.wav", 1000), 99508u); // mirror inside the loop: loop end + 2 frames
    EXPECT_EQ(stopAt("flaps.wav", 40000), 60000u); // inside the loop: the loop end
    EXPECT_EQ(stopAt("flaps.wav", 70000), 70000u); // already in the tail: stays
    // Stopped before anything played: the mirror is the very end, so nothing is left to play.
    EXPECT_EQ(engine.PlaySound("flaps.wav"), 0);
    engine.StopSound("flaps.wav");
    EXPECT_FALSE(engine.GetSound("flaps.wav")->IsPlaying());
    EXPECT_EQ(Cursor("flaps.wav"), 0u);
}

TEST_F(SoundTest, FillsWhatTheFileDoesNotCoverWithSilence) {
    for (const std::uint16_t bits : {8, 16}) {
        const std::string name = "short" + std::to_string(bits) + ".wav";
        dir.Write(name, Wav(1, bits, Bytes(10, 0x11)));
        auto reader = std::make_unique<WaveFile>();
        ASSERT_EQ(reader->Open(dir.Path(name).c_str(), pa::HostModule()), pa::kOk);
        std::unique_ptr<pa::Device> device;
        ASSERT_EQ(pa::CreateDevice(device), pa::kOk);
        pa::BufferDescription description;
        description.bufferBytes = 64;
        description.format = reader->Format();
        std::vector<std::unique_ptr<pa::Buffer>> buffers(1);
        ASSERT_EQ(device->CreateSoundBuffer(description, buffers[0]), pa::kOk);
        pa::Buffer* buffer = buffers[0].get();
        except::Sound sound(std::move(buffers), 64, 1, std::move(reader), 0);
        void* area = nullptr;
        std::uint32_t bytes = 0;
        ASSERT_EQ(buffer->Lock(0, 64, &area, &bytes, nullptr, nullptr), pa::kOk);
        const auto* data = static_cast<const std::uint8_t*>(area);
        const std::uint8_t silence = bits == 8 ? 0x80 : 0x00;
        EXPECT_EQ(std::count(data, data + 10, 0x11), 10);
        EXPECT_EQ(std::count(data + 10, data + 64, silence), 54) << bits << "-bit";
        buffer->Unlock(area, bytes, nullptr, 0);
    }
}

TEST_F(SoundTest, RestoresALostBufferAndGivesUpWhileTheDeviceKeepsItLost) {
    dir.Write("beep.wav", Wav(2, 16, Samples16(std::vector<std::int16_t>(2 * 2000, 1234))));
    ASSERT_EQ(engine.PlaySound("beep.wav"), 0);
    host.Render(5);
    host.LoseBuffers(0);
    std::uint32_t status = 0;
    engine.GetSound("beep.wav")->GetBuffer(0)->GetStatus(status);
    EXPECT_EQ(status, pa::kStatusBufferLost);
    // Restored and refilled at the next play: the sound comes out, not the lost memory's zeros.
    ASSERT_EQ(engine.PlaySound("beep.wav"), 0);
    EXPECT_EQ(host.Render(1)[200], 1234);
    host.Render(10);

    // A device that keeps the buffer lost: a bounded number of passes, a short sleep in each,
    // then the sound is not played this time.
    std::uint32_t sleeps = 0;
    zvrt_set_sleep_hook([](void* user, std::uint32_t) { ++*static_cast<std::uint32_t*>(user); },
                        &sleeps);
    host.LoseBuffers(1000);
    EXPECT_EQ(engine.PlaySound("beep.wav"), pa::kBufferLost);
    EXPECT_EQ(sleeps, 4u);
    EXPECT_FALSE(engine.GetSound("beep.wav")->IsPlaying());
    host.LoseBuffers(0);
    EXPECT_EQ(engine.PlaySound("beep.wav"), 0);
    EXPECT_TRUE(engine.GetSound("beep.wav")->IsPlaying());
    zvrt_set_sleep_hook(nullptr, nullptr);
}

} // namespace
