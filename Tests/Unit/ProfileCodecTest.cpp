// The settings codec as the Windows profile functions behave: what a file that Windows reads can
// tell apart (quotes, edits in place, NULs, UTF-16, names given twice, long values), files the
// module saved before the codec kept to those rules, and a damaged section header.
#include "Lib/Platform/Profile.h"
#include "Lib/Platform/Shared/ProfileText.h"
#include "Logic/Options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using platform::ProfileText;

std::string Read(const ProfileText& text, const char* section, const char* key) {
    std::string value;
    return text.Find(section, key, value) ? value : "(none)";
}

std::string Edited(const std::string& file, const char* section, const char* key,
                   const std::string& value) {
    ProfileText text;
    text.Parse(file);
    text.Set(section, key, value);
    return text.Serialise();
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(ProfileCodec, ValuesReadAsWindowsReadsThem) {
    ProfileText text;
    text.Parse("[power]\nmasterswitch=\"True\"\nbattery1 = '0.5' \nbattery2=\"0.5'\nagd1switch=\"\n"
               "note without equals\n[cabin]\npilot1Weight=\"\"\n; pilot1Weight=60\n");
    EXPECT_EQ(Read(text, "power", "masterswitch"), "True");
    EXPECT_EQ(Read(text, "POWER", "Battery1"), "0.5");
    EXPECT_EQ(Read(text, "power", "battery2"), "\"0.5'") << "quotes that do not pair stay";
    EXPECT_EQ(Read(text, "power", "agd1switch"), "\"");
    EXPECT_EQ(Read(text, "power", "note without equals"), "(none)");
    EXPECT_EQ(Read(text, "cabin", "pilot1Weight"), "");
    EXPECT_EQ(Read(text, "cabin", "; pilot1Weight"), "60");

    // A NUL ends its name or value; the lines after it read as ever.
    text.Parse("[power]\nbattery1=0.5\0junk\nbatt\0ery2=1\nbatteryRadio=0.25\n"s);
    EXPECT_EQ(Read(text, "power", "battery1"), "0.5");
    EXPECT_EQ(Read(text, "power", "batt"), "1");
    EXPECT_EQ(Read(text, "power", "batteryRadio"), "0.25");

    // Only the first section of a name is read, and the first key of a name in it.
    text.Parse("[cabin]\nbackSeat=1\nbackSeat=2\n[CABIN]\nbackSeat=3\nactivePilot=2\n");
    EXPECT_EQ(Read(text, "cabin", "backSeat"), "1");
    EXPECT_EQ(Read(text, "cabin", "activePilot"), "(none)");

    // A value is cut to the 4095 characters of the read buffer; a quoted value of 4096 after its
    // opening quote loses a character with the quote, as Windows' own copy does.
    const std::string longest(4095, 'x');
    text.Parse("[a]\nlong=" + longest + "yz\nquoted=\"" + std::string(4095, 'q') + "\"\n");
    EXPECT_EQ(Read(text, "a", "long"), longest);
    EXPECT_EQ(Read(text, "a", "quoted"), std::string(4094, 'q'));

    // A file saved as "Unicode" reads as its text does, in the ANSI code page.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("[power]\r\nbattery1=0.5\r\nname=\xE9t\xE9")) {
        utf16 += c;
        utf16 += '\0';
    }
    utf16 += "\x03\x04\r\0\n\0"s; // a character the code page does not have
    text.Parse(utf16);
    EXPECT_EQ(Read(text, "power", "battery1"), "0.5");
    EXPECT_EQ(Read(text, "power", "name"), "\xE9t\xE9?");
}

TEST(ProfileCodec, AWriteEditsOneKeyAndKeepsEveryOtherByte) {
    const std::string notes = "; my notes\n\n[power]\n  battery1 = 0.5  ; full\r\n"
                              "no equals here\nbattery1=0.9\n\n\n[cabin]\npilot1Weight=70\n; end";
    EXPECT_EQ(Edited(notes, "power", "battery1", "0.25"),
              "; my notes\n\n[power]\n  battery1 = 0.25\r\n"
              "no equals here\nbattery1=0.9\n\n\n[cabin]\npilot1Weight=70\n; end")
        << "the value runs to the end of the line, a comment after it included";
    EXPECT_EQ(Edited(notes, "power", "no equals here", "1"),
              "; my notes\n\n[power]\n  battery1 = 0.5  ; full\r\n"
              "no equals here=1\nbattery1=0.9\n\n\n[cabin]\npilot1Weight=70\n; end");
    EXPECT_EQ(Edited(notes, "power", "battery2", "1"),
              "; my notes\n\n[power]\n  battery1 = 0.5  ; full\r\n"
              "no equals here\nbattery1=0.9\nbattery2=1\r\n\n\n[cabin]\npilot1Weight=70\n; end")
        << "a new key follows the section's last line that is not blank";
    EXPECT_EQ(
        Edited(notes, "cabin", "backSeat", "1"),
        "; my notes\n\n[power]\n  battery1 = 0.5  ; full\r\n"
        "no equals here\nbattery1=0.9\n\n\n[cabin]\npilot1Weight=70\n; end\r\nbackSeat=1\r\n");
    EXPECT_EQ(Edited(notes, "failures", "slider", "3"), notes + "\r\n[failures]\r\nslider=3\r\n");
    EXPECT_EQ(Edited("", "power", "battery1", "1"), "[power]\r\nbattery1=1\r\n");

    ProfileText text;
    text.Parse(notes);
    EXPECT_FALSE(text.Set("Cabin", "PILOT1WEIGHT", "70")) << "the value it holds already";
    EXPECT_EQ(text.Serialise(), notes);

    // The keys after a NUL keep their values through a save.
    const std::string nul = "[power]\nbattery1=0.5\0\nbattery2=1\n"s;
    EXPECT_EQ(Edited(nul, "power", "battery1", "0.25"), "[power]\nbattery1=0.25\nbattery2=1\n");

    // A "Unicode" file stays one.
    text.Parse("\xFF\xFE[\0a\0]\0\n\0k\0=\0\xE9\0"s);
    text.Set("a", "k", "1");
    text.Set("b", "k", "\xE9");
    EXPECT_EQ(text.Serialise(),
              "\xFF\xFE[\0a\0]\0\n\0k\0=\0001\0\r\0\n\0[\0b\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0"s);
}

// A file in the ANSI code page is edited as its bytes and a "Unicode" one as UTF-16: the same text
// in either reads alike and saves alike, names in any case of the code page's letters included.
TEST(ProfileCodec, AnAnsiFileAndTheSameTextAsUnicodeReadAndSaveAlike) {
    // Names with letters of either case (É é, Š š, Ÿ ÿ), a sign without a case (× ÷) and a byte
    // the code page leaves undefined.
    const std::vector<std::string> names{"power",
                                         "POWER",
                                         "P\xC9R",
                                         "p\xE9r",
                                         "\x8A"
                                         "a",
                                         "\x9A"
                                         "A",
                                         "\x9F",
                                         "\xFF",
                                         "\xD7",
                                         "\xF7",
                                         "a\x81"
                                         "b",
                                         " cabin ",
                                         "k\0ey"s};
    const std::vector<std::string> values{"1",         "\"True\"", "'x'",   "  0.5",
                                          "\xE9t\xE9", "",         "a\0b"s, "\x80\x9F"};
    const std::vector<std::string> ends{"\n", "\r\n", "\r", "\n\n", " \t\n"};
    std::mt19937 random(27);
    const auto pick = [&random](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    const auto unicode = [](const std::string& ansi) {
        std::u16string wide;
        platform::AnsiToUtf16(ansi, wide);
        std::string bytes;
        platform::EncodeProfile(platform::ProfileEncoding::kUtf16Le, wide, bytes);
        return bytes;
    };
    for (int round = 0; round < 300; ++round) {
        std::string file = "\n"; // never a byte order mark
        const int lines = std::uniform_int_distribution<int>(0, 12)(random);
        for (int i = 0; i < lines; ++i) {
            switch (random() % 4) {
            case 0:
                file += "[" + pick(names) + (random() % 5 == 0 ? "" : "]");
                break;
            case 1:
                file += pick(names);
                break;
            default:
                file += pick(names) + " = " + pick(values);
            }
            file += pick(ends);
        }
        ProfileText ansi;
        ProfileText wide;
        ansi.Parse(file);
        wide.Parse(unicode(file));
        ASSERT_EQ(ansi.Repaired(), wide.Repaired()) << file;
        for (const std::string& section : names) {
            for (const std::string& key : names) {
                ASSERT_EQ(Read(ansi, section.c_str(), key.c_str()),
                          Read(wide, section.c_str(), key.c_str()))
                    << file << "\n[" << section << "] " << key;
            }
        }
        for (int write = 0; write < 8; ++write) {
            const std::string section = pick(names);
            const std::string key = pick(names);
            const std::string value = pick(values);
            ASSERT_EQ(ansi.Set(section.c_str(), key.c_str(), value),
                      wide.Set(section.c_str(), key.c_str(), value))
                << file << "\n[" << section << "] " << key << "=" << value;
            ASSERT_EQ(unicode(ansi.Serialise()), wide.Serialise()) << file;
        }
    }
}

// A header without its ']' is the section it names: it is read, saved in place and given its ']'
// once, and the file never grows.
TEST(ProfileCodec, ADamagedHeaderIsRepairedOnceAndItsKeysNeverLost) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "zelvan-damaged-header";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "config.ini").string();
    std::ofstream(path, std::ios::binary)
        << "[power]\r\nbattery1=0.5\r\n[cabin\r\nbackSeat=2\r\nmine=kept\r\n[failures]\r\n"
           "slider=30\r\n";
    std::size_t size = 0;
    for (int save = 0; save < 100; ++save) {
        if (save == 10) {
            size = ReadFile(path).size() + 1; // the slider has 10 here, and 100 at the end
        }
        {
            const platform::ProfileBatch load(path);
            ASSERT_EQ(Options::ReadInt("cabin", "backSeat", 0, path), save == 0 ? 2 : save % 3);
            ASSERT_EQ(Options::ReadInt("failures", "slider", 0, path), save == 0 ? 30 : save);
        }
        const platform::ProfileBatch batch(path);
        Options::WriteInt("cabin", "backSeat", (save + 1) % 3, path);
        Options::WriteInt("failures", "slider", save + 1, path);
        Options::WriteDouble("power", "battery1", 0.5, path);
    }
    const std::string saved = ReadFile(path);
    EXPECT_EQ(saved, "[power]\r\nbattery1=0.5\r\n[cabin]\r\nbackSeat=1\r\nmine=kept\r\n"
                     "[failures]\r\nslider=100\r\n");
    EXPECT_EQ(saved.size(), size);
    std::filesystem::remove_all(folder);
}

// Every file the module saved before reads as it did: what each key read then is kept beside it
// (`.reads`), and the files are read as the Linux module wrote them and as the Windows one did.
TEST(ProfileCodec, FilesSavedBeforeReadAsTheyDid) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ZELVAN_EARLIER_SETTINGS)) {
        if (entry.path().extension() != ".ini") {
            continue;
        }
        ++files;
        std::string windows;
        for (const char c : ReadFile(entry.path())) {
            windows += c == '\n' ? "\r\n" : std::string(1, c);
        }
        for (const std::string& file : {ReadFile(entry.path()), windows}) {
            ProfileText text;
            text.Parse(file);
            std::istringstream reads(
                ReadFile(std::filesystem::path(entry.path()).replace_extension(".reads")));
            int keys = 0;
            for (std::string line; std::getline(reads, line); ++keys) {
                const std::size_t slash = line.find('/');
                const std::size_t equals = line.find('=');
                const std::string section = line.substr(0, slash);
                const std::string key = line.substr(slash + 1, equals - slash - 1);
                EXPECT_EQ(Read(text, section.c_str(), key.c_str()), line.substr(equals + 1))
                    << entry.path() << " " << line;
            }
            EXPECT_GT(keys, 40);
        }
    }
    EXPECT_EQ(files, 3);
}
