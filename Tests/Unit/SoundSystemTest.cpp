// The sound system's start: the bank preloaded from the sound folder, and a damaged bank file
// stopping the preload with a report while the sounds before it stay loaded.
#include "Logic/Systems/SoundSystem.h"
#include "Lib/Exception.h"
#include "Lib/Platform/HostRuntime/zelvan_audio_host.h"
#include "Lib/Platform/HostRuntime/zelvan_hostrt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class SoundFolder : public ::testing::Test {
protected:
    void SetUp() override {
        zvrt_reset();
        record.size = sizeof record;
        record.use_loopback = 1;
        record.sample_rate = 44100;
        zvrt_set_service(ZVAU_SERVICE_NAME, &record);
        zvrt_create_window("FS98MAIN");
        // One folder per test: ctest runs tests side by side.
        folder = std::filesystem::temp_directory_path() /
                 (std::string("zelvan-sound-folder-") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        for (const char* file : SoundSystem::kBank) {
            std::filesystem::copy_file(std::string(ZELVAN_BUILD_BIN) + "/soundbank/" + file,
                                       folder / file,
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }
    void TearDown() override {
        zvrt_reset();
        std::filesystem::remove_all(folder);
    }
    zvau_host record{};
    std::filesystem::path folder;
};

} // namespace

TEST_F(SoundFolder, TheWholeBankIsPreloadedFromAFolderNamedTheSimulatorsWay) {
    SoundSystem sound;
    sound.SetSoundFolder(folder.string() + "\\");
    sound.SetSoundFolder(sound.SoundFolder());
    sound.start();
    ASSERT_NE(sound.Engine(), nullptr);
    EXPECT_EQ(sound.Engine()->SoundCount(), 8u);
    EXPECT_EQ(sound.Engine()->PlaySound("SW_CLICK.WAV"), 0);
    EXPECT_EQ(sound.Engine()->PlaySound("sw_click.wav"), 1) << "already playing: it was loaded";
    sound.stop();
    EXPECT_FALSE(sound.Engine()->WorkerRunning());
}

TEST_F(SoundFolder, ADamagedBankFileStopsThePreloadWithAReport) {
    std::ofstream(folder / "slidew_open.wav", std::ios::trunc) << "RIFF\x10\0\0\0WAVEjunk";
    SoundSystem sound;
    sound.SetSoundFolder(folder.string() + "/");
    EXPECT_THROW(sound.start(), except::Exception);
    ASSERT_NE(sound.Engine(), nullptr);
    EXPECT_EQ(sound.Engine()->SoundCount(), 3u) << "the three files before it stay loaded";
    sound.stop();
}
