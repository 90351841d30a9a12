// The cockpit sounds on the bench: the bank preloaded when the simulation starts, the host's
// sound switch, and the rendered audio kept as a WAV file.
#include "Support/Flight.h"

#include "Bench/Flight/BuiltinFlight.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using testing_support::Fly;

TEST(SoundBank, TheBankIsPreloadedAtStartAndFollowsTheHostsSoundSwitch) {
    const auto log = Fly(R"({"duration": 2.0, "actions": [
        {"at": 0.0, "system_event": "Sound", "data": 0},
        {"at": 0.5, "system_event": "SimStart"},
        {"at": 1.0, "system_event": "Sound", "data": 0},
        {"at": 1.5, "system_event": "Sound", "data": 1}]})");
    ASSERT_EQ(log.result.status, bench::kRunOk);
    const auto sounds = log.Of("sound");
    ASSERT_EQ(sounds.size(), 10u) << "before the start the switch only sets a flag";
    const char* bank[] = {"sw_click.wav",     "zel_fonar_click.wav", "zel_fonar_close.wav",
                          "slidew_open.wav",  "slidew_close.wav",    "zelvan_flaps.wav",
                          "agd_arr_pull.wav", "agd_arr_push.wav"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(sounds[i]["op"], "volume");
        EXPECT_EQ(sounds[i]["name"], bank[i]);
        EXPECT_EQ(sounds[i]["volume"], -1000);
    }
    EXPECT_EQ(sounds[8]["op"], "mute");
    EXPECT_EQ(sounds[9]["op"], "unmute");
    EXPECT_TRUE(log.Diagnostics().empty());
}

TEST(SoundBank, WithoutTheBankTheCockpitStartsSilentAndTheAudioIsStillRecorded) {
    namespace fs = std::filesystem;
    const fs::path wav = fs::temp_directory_path() / "zelvan-soundbank-test.wav";
    bench::RunOptions options;
    bench::FindCompanions(options);
    options.audioOut = wav.string();
    const auto scenario = bench::ParseScenario(R"({"duration": 1.0, "sound_bank": false,
        "actions": [{"at": 0.0, "system_event": "SimStart"}]})",
                                               "silent.json");
    const auto result = bench::RunScenario(scenario, options);
    ASSERT_EQ(result.status, bench::kRunOk) << result.error;
    std::ifstream in(wav, std::ios::binary);
    char header[44] = {};
    in.read(header, sizeof header);
    ASSERT_TRUE(in);
    EXPECT_EQ(std::string(header, 4), "RIFF");
    EXPECT_EQ(std::string(header + 8, 8), "WAVEfmt ");
    std::uint32_t dataBytes = 0;
    std::memcpy(&dataBytes, header + 40, 4);
    EXPECT_EQ(dataBytes, 101u * 441u * 4u) << "one step of stereo 16-bit frames per 10 ms";
    EXPECT_EQ(fs::file_size(wav), 44u + dataBytes);
    fs::remove(wav);
}

TEST(SoundBank, ADamagedBankFileIsReportedAndTheFlightGoesOn) {
    const auto log = Fly(R"({"duration": 1.0, "sound_bank_damaged": "slidew_open.wav",
        "host": {"token:60": 1}, "actions": [{"at": 0.0, "system_event": "SimStart"},
            {"at": 0.5, "key": "0x1104D"},
            {"at": 0.9, "expect": {"lvar:zelvan_alt_rotary": 0.1}}]})");
    EXPECT_EQ(log.result.status, bench::kRunOk) << "the systems run on";
    ASSERT_EQ(log.Diagnostics().size(), 1u);
    EXPECT_NE(log.Diagnostics()[0].find("Wave is blank"), std::string::npos)
        << log.Diagnostics()[0];
    EXPECT_EQ(log.Of("sound").size(), 3u) << "the files before the damaged one were loaded";
}
