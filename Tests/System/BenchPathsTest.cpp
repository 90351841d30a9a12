// The bench as a user starts it: every path on its command line and the scenario's own path mean
// the same file for the user, the bench and the module, wherever the bench was started from.
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

} // namespace

TEST(BenchPaths, RelativePathsNameFilesWhereTheBenchWasStarted) {
    std::string pattern = (fs::temp_directory_path() / "zelvan-paths-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path user = pattern;
    fs::create_directories(user / "flights");
    // The module reads the scenario's settings at the start and saves them (with the keys only
    // it writes) at the "4sec" event and at the end.
    std::ofstream(user / "flights" / "short.json") << R"({"duration": 4.5,
        "settings": "[cabin]\npilot1Weight=70\n",
        "host": {"token:60": 1},
        "actions": [{"at": 0.0, "system_event": "SimStart"}]})";

    std::string err;
    fs::create_directories(user / "out");
    ASSERT_EQ(testing_support::RunBenchProgram(
                  "run flights/short.json --settings-dir mysettings --trace out/trace.csv "
                  "--events out/events.jsonl --audio-out out/audio.wav --root myroot",
                  err, user.string()),
              0)
        << err;
    const std::string settings = ReadAll(user / "mysettings/PelmoraGrp/zelvan/config.ini");
    EXPECT_NE(settings.find("pilot1Weight=70"), std::string::npos) << settings;
    EXPECT_NE(settings.find("probability="), std::string::npos) << "saved by the module";
    EXPECT_TRUE(fs::is_directory(user / "myroot/SimObjects/Airplanes/PelmoraG_Q-71_Zelvan/bin"));
    EXPECT_FALSE(fs::exists(user / "myroot/mysettings")) << "nothing lands inside the root";
    EXPECT_FALSE(fs::exists(user / "myroot/out"));
    EXPECT_EQ(ReadAll(user / "out/trace.csv").rfind("t,", 0), 0u);
    EXPECT_NE(ReadAll(user / "out/events.jsonl").find(R"("type":"load")"), std::string::npos);
    // 4.5 s of 16-bit stereo at 44100 frames a second after a 44-byte header.
    EXPECT_EQ(fs::file_size(user / "out/audio.wav"), 44u + 451u * 441u * 4u);
    fs::remove_all(user);
}
