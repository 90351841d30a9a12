// The settings codec over a text in memory and over the file, and what a save writes.
#include "Lib/Platform/Profile.h"
#include "Logic/Options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <locale>
#include <sstream>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct Folder {
    Folder() : path(fs::temp_directory_path() / ("zelvan-profile-" + std::to_string(::getpid()))) {
        fs::create_directories(path);
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

void SaveSome(const std::string& path, double charge) {
    const platform::ProfileBatch batch(path);
    Options::WriteDouble("power", "battery1", charge, path);
    Options::WriteInt("cabin", "pilot1Weight", 82, path);
    Options::WriteBool("cabin", "frontSeat", true, path);
}

} // namespace

TEST(ProfileText, TheTextInMemoryAndTheFileGoThroughTheSameCodec) {
    const Folder folder;
    const std::string onDisk = (folder.path / "disk.ini").string();
    const std::string inMemory = (folder.path / "memory.ini").string();
    WriteFile(onDisk, "[power]\nbattery1=1\n");
    SaveSome(onDisk, 0.25);
    std::string text;
    {
        const platform::ProfileInMemory memory(inMemory, "[power]\nbattery1=1\n");
        EXPECT_EQ(platform::ProfileRead(inMemory, "power", "battery1", "x"), "1");
        SaveSome(inMemory, 0.25);
        EXPECT_EQ(Options::ReadDouble("power", "battery1", -1.0, inMemory), 0.25);
        EXPECT_TRUE(Options::ReadBool("cabin", "frontSeat", false, inMemory));
        text = memory.Text();
    }
    EXPECT_FALSE(fs::exists(inMemory)) << "the text in memory never touches the disk";
    EXPECT_EQ(text, ReadFile(onDisk));
    EXPECT_EQ(platform::ProfileRead(inMemory, "power", "battery1", "gone"), "gone")
        << "without the text the path is the file's again";
}

TEST(ProfileText, ASaveThatChangesNothingLeavesTheFileAsItIsAndAChangeRewritesIt) {
    const Folder folder;
    const std::string path = (folder.path / "config.ini").string();
    const std::string handEdited =
        "; kept by hand\n[power]\nbattery1=0.25\n[cabin]\npilot1Weight=82\nfrontSeat=True\n";
    WriteFile(path, handEdited);
    SaveSome(path, 0.25);
    EXPECT_EQ(ReadFile(path), handEdited);

    SaveSome(path, 0.5);
    EXPECT_EQ(platform::ProfileRead(path, "power", "battery1", ""), "0.5");
    EXPECT_NE(ReadFile(path), handEdited);

    // A key written twice is read and written as its first line; the second stays as it was.
    WriteFile(path,
              "[power]\nbattery1=0.5\nbattery1=0.9\n[cabin]\npilot1Weight=82\nfrontSeat=True");
    SaveSome(path, 0.5);
    EXPECT_EQ(ReadFile(path),
              "[power]\nbattery1=0.5\nbattery1=0.9\n[cabin]\npilot1Weight=82\nfrontSeat=True");
    SaveSome(path, 0.75);
    EXPECT_EQ(ReadFile(path),
              "[power]\nbattery1=0.75\nbattery1=0.9\n[cabin]\npilot1Weight=82\nfrontSeat=True");
}

TEST(ProfileText, NumbersAreWrittenAsTheClassicStreamWritesThem) {
    const Folder folder;
    const std::string path = (folder.path / "numbers.ini").string();
    const platform::ProfileInMemory memory(path, "");
    for (const double v : {0.0, 1.0, -1.0, 0.15, 1.0 / 3.0, 1e-5, 123456.0, 1234567.0, 2.5e300,
                           -0.000123456789, 99.99995}) {
        std::ostringstream expected;
        expected.imbue(std::locale::classic());
        expected << v;
        ASSERT_TRUE(Options::WriteDouble("power", "battery1", v, path));
        EXPECT_EQ(platform::ProfileRead(path, "power", "battery1", ""), expected.str()) << v;
    }
    for (const int v : {0, 7, -65, 2147483647}) {
        ASSERT_TRUE(Options::WriteInt("cabin", "backSeat", v, path));
        EXPECT_EQ(platform::ProfileRead(path, "cabin", "backSeat", ""), std::to_string(v));
    }
}

TEST(ProfileText, SectionsAndKeysMatchWithoutRegardToCaseAndOtherBytesExactly) {
    const std::string path = "/nonexistent/zelvan-case.ini";
    const platform::ProfileInMemory memory(
        path, "[POWER]\nBattery1=0.5\n[cabin]\npilot\xe9=1\npilot=2\nPILOT\xc8=3\npilo=4\n");
    EXPECT_EQ(platform::ProfileRead(path, "power", "battery1", ""), "0.5");
    EXPECT_EQ(platform::ProfileRead(path, "Power", "BATTERY1", ""), "0.5");
    // The code page's letters fold too (\xc9 is \xe9's capital, \xc8 another letter), and a key
    // is no prefix of a longer one.
    EXPECT_EQ(platform::ProfileRead(path, "CABIN", "pilot\xc9", ""), "1");
    EXPECT_EQ(platform::ProfileRead(path, "cabin", "Pilot", ""), "2");
    EXPECT_EQ(platform::ProfileRead(path, "cabin", "pilot\xe8", ""), "3");
    EXPECT_EQ(platform::ProfileRead(path, "cabin", "pilo", ""), "4");
    EXPECT_EQ(platform::ProfileRead(path, "cabin", "pil", "none"), "none");

    // A write in another case edits the key the file has, under the section the file named.
    ASSERT_TRUE(Options::WriteDouble("power", "BATTERY1", 0.25, path));
    EXPECT_EQ(platform::ProfileRead(path, "power", "battery1", ""), "0.25");
    const std::string saved = memory.Text();
    EXPECT_EQ(saved.find("[POWER]"), 0u) << saved;
    EXPECT_EQ(saved.find("[power]"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("0.5"), std::string::npos) << saved;
    EXPECT_NE(saved.find("pilot\xe9=1"), std::string::npos) << saved;
}

TEST(ProfileText, ABatchReadsTheTextAsItFindsItWhateverTheBatchBeforeItWrote) {
    const Folder folder;
    const std::string path = (folder.path / "config.ini").string();
    const std::string handEdited = "[power]\nbattery1=0.25\n";
    const auto readInBatch = [&path] {
        const platform::ProfileBatch batch(path);
        return Options::ReadDouble("power", "battery1", -1.0, path);
    };
    WriteFile(path, handEdited);
    EXPECT_EQ(readInBatch(), 0.25);
    // The file put back as it was after a save: the batch before read that very text, then
    // changed it.
    SaveSome(path, 0.5);
    WriteFile(path, handEdited);
    EXPECT_EQ(readInBatch(), 0.25);
    SaveSome(path, 0.5);
    EXPECT_EQ(readInBatch(), 0.5);
    WriteFile(path, handEdited);
    SaveSome(path, 0.25);
    EXPECT_EQ(ReadFile(path), handEdited + "[cabin]\r\npilot1Weight=82\r\nfrontSeat=True\r\n")
        << "a save after the file was put back starts from it too";
}
