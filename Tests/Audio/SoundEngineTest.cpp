#include "Lib/Exception.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"
#include "LoopbackHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>

namespace {

using namespace audiotest;
namespace pa = platform::audio;

constexpr std::int16_t kAttack = 3000;
constexpr std::int16_t kTail = -7000;

// Attack 2000 frames, loop 2000..6000 counting up from 10000, tail 2000 frames; the right
// channel mirrors the left.
Bytes LoopFile() {
    std::vector<std::int16_t> samples;
    for (int frame = 0; frame < 8000; ++frame) {
        const int left = frame < 2000 ? kAttack : frame < 6000 ? 10000 + frame - 2000 : kTail;
        samples.push_back(static_cast<std::int16_t>(left));
        samples.push_back(static_cast<std::int16_t>(-left));
    }
    return Wav(2, 16, Samples16(samples), {{2000, 6000}});
}

Bytes Constant(std::int16_t value, int frames) {
    return Wav(2, 16,
               Samples16(std::vector<std::int16_t>(2 * static_cast<std::size_t>(frames), value)));
}

std::vector<std::int32_t> BufferVolumes(except::Sound* sound) {
    std::vector<std::int32_t> volumes;
    for (std::uint32_t i = 0; i < sound->BufferCount(); ++i) {
        std::int32_t v = 1;
        sound->GetBuffer(i)->GetVolume(v);
        volumes.push_back(v);
    }
    return volumes;
}

void ExpectThrows(const std::function<void()>& call, const std::string& message,
                  const std::string& file, const std::string& function, std::int32_t line) {
    try {
        call();
        ADD_FAILURE() << "no exception, expected: " << message;
    } catch (const except::Exception& e) {
        EXPECT_EQ(e.Message(), message);
        EXPECT_EQ(e.File(), file);
        EXPECT_EQ(e.Function(), function);
        EXPECT_EQ(e.Line(), line);
    }
}

const std::string kEngineFile = "..\\..\\Src\\Lib\\Audio\\SoundEngine";
const std::string kSoundFile = "..\\..\\Src\\Lib\\Audio\\SoundEngineSound";
const std::string kCreate = "except::SoundEngine::Create";

TEST_F(EngineTest, LoopedSoundKeepsReturningToItsLoopStartUntilStopped) {
    dir.Write("zelvan_flaps.wav", LoopFile());
    ASSERT_EQ(engine.PlaySound("zelvan_flaps.wav"), 0);
    const std::vector<std::int16_t> out = host.Render(100); // 44100 frames, about 10 loops
    std::size_t wrong = 0;
    int returns = 0;
    for (std::size_t frame = 0; frame < out.size() / 2; ++frame) {
        const std::int32_t expected =
            frame < 2000 ? kAttack : 10000 + static_cast<std::int32_t>((frame - 2000) % 4000);
        wrong += out[2 * frame] != expected || out[2 * frame + 1] != -expected;
        returns += frame > 2000 && out[2 * frame] == 10000;
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(returns, 10);
    EXPECT_EQ(engine.PlaySound("zelvan_flaps.wav"), 1); // playing: not restarted

    // Stopped inside the loop: the tail follows from the loop end, once, then silence.
    engine.StopSound("zelvan_flaps.wav");
    const std::vector<std::int16_t> after = host.Render(10);
    EXPECT_EQ(std::count(after.begin(), after.begin() + 2 * 2000, kTail), 2000);
    EXPECT_EQ(std::count(after.begin() + 2 * 2000, after.end(), 0),
              static_cast<std::ptrdiff_t>(after.size()) - 2 * 2000);
    EXPECT_FALSE(engine.GetSound("zelvan_flaps.wav")->IsPlaying());
}

TEST_F(EngineTest, TwoLoopedSoundsReachingTheirLoopEndsTogetherBothLoop) {
    // Same loop points, started together: both marks fire in the same render chunk, and the
    // worker answers both before the renderer goes on.
    dir.Write("zelvan_flaps.wav", LoopFile());
    dir.Write("second_loop.wav", LoopFile());
    ASSERT_EQ(engine.PlaySound("zelvan_flaps.wav"), 0);
    ASSERT_EQ(engine.PlaySound("second_loop.wav"), 0);
    const std::vector<std::int16_t> out = host.Render(100);
    std::size_t wrong = 0;
    for (std::size_t frame = 0; frame < out.size() / 2; ++frame) {
        const std::int32_t one =
            frame < 2000 ? kAttack : 10000 + static_cast<std::int32_t>((frame - 2000) % 4000);
        wrong += out[2 * frame] != 2 * one || out[2 * frame + 1] != -2 * one;
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(host.record.unanswered_marks, 0u) << "every loop end was answered at once";
}

TEST_F(EngineTest, OnceEverySoundHasEndedTheMixerRestsUntilTheNextPlay) {
    dir.Write("sw_click.wav", Constant(700, 300));
    dir.Write("zelvan_flaps.wav", LoopFile());
    host.Render(2);
    EXPECT_EQ(host.record.mixed_frames, 0u) << "nothing played yet";
    for (const char* name : {"sw_click.wav", "zelvan_flaps.wav"}) {
        ASSERT_EQ(engine.PlaySound(name), 0);
        host.Render(2);
        engine.StopSound(name); // the click has ended by now; the loop plays its tail
        host.Render(10);
        const std::uint64_t mixed = host.record.mixed_frames;
        EXPECT_GT(mixed, 0u);
        const std::vector<std::int16_t> quiet = host.Render(10);
        EXPECT_EQ(host.record.mixed_frames, mixed) << name << " ended: silence without mixing";
        EXPECT_EQ(std::count(quiet.begin(), quiet.end(), 0),
                  static_cast<std::ptrdiff_t>(quiet.size()));
    }
}

// Several sounds, looped and plain, played and stopped at random between render steps: the
// worker answers every mark, and once everything has stopped and its tails have played the
// output is silence.
TEST_F(EngineTest, PlayingAndStoppingSeveralSoundsAtRandomLeavesNoMarkUnanswered) {
    dir.Write("loop_a.wav", LoopFile());
    dir.Write("loop_b.wav", LoopFile());
    dir.Write("loop_c.wav",
              Wav(2, 16, Samples16(std::vector<std::int16_t>(2 * 3000, 1200)), {{500, 1500}}));
    dir.Write("click_a.wav", Constant(700, 300));
    dir.Write("click_b.wav", Constant(-900, 5000));
    const char* names[] = {"loop_a.wav", "loop_b.wav", "loop_c.wav", "click_a.wav", "click_b.wav"};
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        // The first two always go together, so their loop ends keep coinciding.
        const std::size_t pick = random() % 4;
        const bool stop = random() % 3 == 0;
        for (std::size_t i = pick == 0 ? 0 : pick + 1; i <= pick + 1; ++i) {
            stop ? engine.StopSound(names[i]) : static_cast<void>(engine.PlaySound(names[i]));
        }
        host.Render(1 + random() % 3);
    }
    for (const char* name : names) {
        engine.StopSound(name);
    }
    host.Render(10); // the longest tail is 2000 frames
    const std::vector<std::int16_t> quiet = host.Render(5);
    EXPECT_EQ(std::count(quiet.begin(), quiet.end(), 0), static_cast<std::ptrdiff_t>(quiet.size()));
    EXPECT_EQ(host.record.unanswered_marks, 0u);
}

TEST_F(EngineTest, LoadsByLowerCasedNameAndRetriesAMissingFile) {
    EXPECT_EQ(engine.PlaySound("late.wav"), 0);
    EXPECT_EQ(engine.GetSound("late.wav"), nullptr);
    EXPECT_EQ(engine.SoundCount(), 0u);
    dir.Write("late.wav", Constant(500, 1000));
    EXPECT_EQ(engine.PlaySound("late.wav"), 0);
    ASSERT_NE(engine.GetSound("late.wav"), nullptr);
    EXPECT_TRUE(engine.GetSound("late.wav")->IsPlaying());
    EXPECT_EQ(engine.PlaySound("late.wav"), 1); // plays once, not doubled
    host.Render(5);
    EXPECT_FALSE(engine.GetSound("late.wav")->IsPlaying());
    EXPECT_EQ(engine.PlaySound("late.wav"), 0);

    dir.Write("sw_click.wav", Constant(100, 100));
    except::Sound* click = engine.GetSound("SW_Click.WAV");
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(engine.GetSound("sw_click.wav"), click);
    EXPECT_EQ(engine.SoundCount(), 2u);
    // The file on disk is looked for by the lower-cased name only.
    dir.Write("UPPER.WAV", Constant(100, 100));
    EXPECT_EQ(engine.GetSound("UPPER.WAV"), nullptr);
}

TEST_F(EngineTest, MuteAllTwiceThenUnmuteAllRestoresEveryVolume) {
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
        dir.Write(name, Constant(20000, 4000));
    }
    engine.SetSoundVolume("a.wav", -1000);
    engine.SetSoundVolume("b.wav", -600);
    engine.MuteAll();
    engine.MuteAll();
    EXPECT_TRUE(engine.IsMuted());
    EXPECT_EQ(BufferVolumes(engine.GetSound("a.wav")), std::vector<std::int32_t>(10, -10000));
    engine.SetSoundVolume("a.wav", -2000); // stored, heard at unmute
    EXPECT_EQ(BufferVolumes(engine.GetSound("a.wav")), std::vector<std::int32_t>(10, -10000));
    EXPECT_EQ(engine.PlaySound("b.wav"), 0);
    const std::vector<std::int16_t> muted = host.Render(2);
    EXPECT_EQ(std::count(muted.begin(), muted.end(), 0), static_cast<std::ptrdiff_t>(muted.size()));
    engine.SetSoundVolume("c.wav", -500); // first loaded while muted: not muted
    EXPECT_FALSE(engine.GetSound("c.wav")->IsMuted());
    EXPECT_EQ(BufferVolumes(engine.GetSound("c.wav")), std::vector<std::int32_t>(10, -500));

    engine.UnmuteAll();
    EXPECT_FALSE(engine.IsMuted());
    EXPECT_EQ(BufferVolumes(engine.GetSound("a.wav")), std::vector<std::int32_t>(10, -2000));
    EXPECT_EQ(BufferVolumes(engine.GetSound("b.wav")), std::vector<std::int32_t>(10, -600));
    EXPECT_EQ(BufferVolumes(engine.GetSound("c.wav")), std::vector<std::int32_t>(10, -500));
    // -600 hundredths of a decibel is half the amplitude.
    EXPECT_NEAR(host.Render(2)[2 * 600], 20000 * std::pow(10.0, -0.3), 1.0);
}

TEST_F(EngineTest, ReportsFailuresWithTheirPlaceAndLogsOperations) {
    dir.Write("blank.wav", Wav(1, 16, Bytes{}));
    dir.Write("garbage.wav", Bytes(100, 0x5A));
    dir.Write("float.wav", Riff({Chunk("fmt ",
                                       [] {
                                           Bytes f = Fmt(3, 1, 44100, 32);
                                           Put16(f, 0);
                                           return f;
                                       }()),
                                 Chunk("data", Bytes(8, 0))}));
    dir.Write("cut.wav",
              Riff({Chunk("fmt ", Fmt(1, 1, 44100, 16)), Chunk("data", Bytes(8, 0), 4000)}));
    dir.Write("deep.wav", Wav(1, 24, Bytes(30, 0)));
    const auto play = [&](const char* name) { return [this, name] { engine.PlaySound(name); }; };
    ExpectThrows(play("blank.wav"), "Wave is blank,so don't create it", kEngineFile, kCreate, 166);
    ExpectThrows(play("garbage.wav"), "Wave is blank,so don't create it", kEngineFile, kCreate,
                 166);
    ExpectThrows(play("float.wav"), "Wave isn't PCM,so don't create it", kEngineFile, kCreate, 173);
    ExpectThrows(play("cut.wav"), "An undetermined error occurred inside the DirectSound subsystem",
                 kSoundFile, "except::Sound::FillBufferWithSound", 80);
    ExpectThrows(play("deep.wav"), "The specified WAVE format is not supported", kEngineFile,
                 kCreate, 198);
    except::Sound* sound = nullptr;
    ExpectThrows([&] { engine.Create(&sound, dir.Path("cut.wav"), nullptr, 0, {}, 0); },
                 "Something wrong with pointers.", kEngineFile, kCreate, 137);
    EXPECT_EQ(engine.SoundCount(), 0u);

    except::SoundEngine fresh;
    ExpectThrows([&] { fresh.Init(nullptr, 1); }, "Active window handle is null", kEngineFile,
                 "except::SoundEngine::Init", 34);
    EXPECT_FALSE(fresh.HasDevice());
    ExpectThrows([&] { fresh.Create(&sound, dir.Path("cut.wav"), nullptr, 0, {}, 1); },
                 "Direct sound buffer is null. May be CoInitialize has not been called?",
                 kEngineFile, kCreate, 132);
    EXPECT_EQ(fresh.Create(&sound, dir.Path("none.wav"), nullptr, 0, {}, 1), pa::kFail);

    host.operations.clear();
    dir.Write("ok.wav", Constant(1, 10));
    engine.SetSoundVolume("OK.wav", -300);
    engine.PlaySound("ok.wav");
    engine.PlaySound("ok.wav");
    engine.StopSound("ok.wav");
    engine.MuteAll();
    engine.UnmuteAll();
    EXPECT_EQ(host.operations,
              (std::vector<std::string>{"volume OK.wav -300", "play ok.wav = 0", "play ok.wav = 1",
                                        "stop ok.wav", "mute", "unmute"}));
}

std::size_t ThreadCount() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& task :
         std::filesystem::directory_iterator("/proc/self/task")) {
        ++n;
    }
    return n;
}

TEST(SoundEngineLifetime, ShutdownLeavesNoThreadRunningAndInitWorksAgain) {
    TempDir dir;
    dir.Write("loop.wav", LoopFile());
    LoopbackHost host;
    void* window = zvrt_create_window("FS98MAIN");
    except::SoundEngine engine;
    std::size_t before = 0;
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            // Counted after a first round, once the libraries' own one-off threads are settled.
            before = ThreadCount();
        }
        engine.Init(window, 7); // an unknown cooperative level is taken as the normal one
        engine.SetBasePath(dir.BasePath());
        ASSERT_EQ(engine.PlaySound("loop.wav"), 0);
        EXPECT_EQ(engine.EventCount(), 2u);
        host.Render(20);
        EXPECT_TRUE(engine.GetSound("loop.wav")->IsPlaying());
        EXPECT_TRUE(engine.WorkerRunning());
        EXPECT_GT(ThreadCount(), round == 1 ? before : 1);
        engine.Shutdown();
        EXPECT_FALSE(engine.WorkerRunning());
        EXPECT_FALSE(engine.HasDevice());
        EXPECT_EQ(engine.SoundCount(), 0u);
        EXPECT_EQ(engine.EventCount(), 0u);
        EXPECT_EQ(host.record.render, nullptr); // the device took its render function back
    }
    EXPECT_EQ(ThreadCount(), before);
    zvrt_destroy_window(window);
}

TEST(SoundEngineLifetime, WithoutAHostServiceInitFailsCleanlyWhenNoDeviceOpens) {
    void* window = zvrt_create_window("FS98MAIN");
    except::SoundEngine engine;
    ExpectThrows([&] { engine.Init(window, 1); }, "No sound driver is available for use",
                 kEngineFile, "except::SoundEngine::Init", 40);
    EXPECT_FALSE(engine.HasDevice());
    EXPECT_FALSE(engine.WorkerRunning());
    zvrt_destroy_window(window);
}

TEST(LoopbackDevice, RendersOnlyAnOpenDeviceAndWithdrawsOnlyItsOwnRecord) {
    auto first = std::make_unique<bench::LoopbackDevice>(nullptr, nullptr);
    EXPECT_EQ(zvrt_get_service(ZVAU_SERVICE_NAME), &first->record);
    std::vector<std::int16_t> frames(2 * bench::LoopbackDevice::kFramesPerStep, 7);
    EXPECT_FALSE(first->RenderStep(frames.data())) << "no device is open";
    EXPECT_TRUE(std::all_of(frames.begin(), frames.end(), [](std::int16_t v) { return v == 7; }));
    {
        bench::LoopbackDevice second(nullptr, nullptr);
        first.reset();
        EXPECT_EQ(zvrt_get_service(ZVAU_SERVICE_NAME), &second.record)
            << "the first device leaves the record published after it alone";
    }
    EXPECT_EQ(zvrt_get_service(ZVAU_SERVICE_NAME), nullptr);
}

} // namespace
