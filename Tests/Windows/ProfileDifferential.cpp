// The settings codec of the Linux build against the system's own profile functions (under Wine,
// an implementation written elsewhere): thousands of texts, hand-written, generated and the
// settings fuzz target's seeds, each put through the same reads and writes twice, once by the
// Windows gauge's platform layer (GetPrivateProfileStringA, WritePrivateProfileStringA) and once
// by the codec. Every value read must be the same, and after every write the file's bytes too,
// but for the one documented difference: Wine rewrites the whole file at each write (CR LF line
// ends, no blank lines, no blank space around '=' or names, an empty line before each section)
// where Windows and the codec edit one line in place. Where the bytes differ, both files are put
// through that same rewrite of Wine's (a write to a section of their own, which is then
// deleted) and must then be equal.
//   zelvan_windows_profile_differential CORPUS_FOLDER EARLIER_SETTINGS_FOLDER [TEXTS]
#include "Lib/Platform/Profile.h"
#include "Lib/Platform/Shared/ProfileText.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct Key {
    const char* section;
    const char* key;
};
constexpr Key kKeys[] = {{"power", "battery1"},  {"power", "masterswitch"},
                         {"POWER", "Battery2"},  {"cabin", "pilot1Weight"},
                         {"cabin", "backSeat"},  {"Cabin", "frontSeat"},
                         {"failures", "slider"}, {"handles", "flaps"},
                         {"cabin", "a"},         {"a", "a"},
                         {"b c", "b c"},         {"power", "note"}};
const std::vector<std::string> kValues{"0.5",   "True",    "80",         "-1",  "0.123457", "1e-05",
                                       "False", " padded", "\"quoted\"", "x=y", "",         "'q'"};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void Forget(const std::string& path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

std::string Show(const std::string& bytes) {
    std::string shown;
    for (const char c : bytes.substr(0, 300)) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && c != '\\') {
            shown += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            shown += hex;
        }
    }
    return shown;
}

// A header whose name is empty once blank space and anything from a NUL on are left out.
bool HasNamelessHeader(const std::string& bytes) {
    std::u16string text;
    platform::DecodeProfile(bytes, text);
    const auto blank = [](char16_t c) { return (c >= 9 && c <= 13) || c == 0x1A || c == 0x20; };
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of(u"\r\n", start), text.size());
        std::u16string_view line(text.data() + start, end - start);
        while (!line.empty() && blank(line.front())) {
            line.remove_prefix(1);
        }
        const std::size_t close = line.rfind(u']');
        if (!line.empty() && line[0] == u'[' && close != std::u16string_view::npos) {
            std::u16string_view name = line.substr(1, close - 1);
            while (!name.empty() && blank(name.front())) {
                name.remove_prefix(1);
            }
            if (name.empty() || name[0] == u'\0') {
                return true;
            }
        }
        start = end + 1;
    }
    return false;
}

struct Counts {
    int texts = 0;
    int reads = 0;
    int writes = 0;
    int sameBytes = 0;
    int sameAfterRewrite = 0;
    int namelessHeader = 0;
    int markMoved = 0;
    int differences = 0;
};

class Differential {
public:
    explicit Differential(fs::path where) : folder(std::move(where)) {}

    // Wine's whole-file rewrite of these bytes. Wine reads a file written in the last two seconds
    // again, whatever it holds of it.
    std::string Rewritten(const std::string& bytes) {
        const std::string path = (folder / "rewrite.ini").string();
        WriteFile(path, bytes);
        WritePrivateProfileStringA("zelvan rewrite", "k", "1", path.c_str());
        WritePrivateProfileStringA("zelvan rewrite", nullptr, nullptr, path.c_str());
        return ReadFile(path);
    }

    void Differ(const std::string& text, const std::string& path, const std::string& what) {
        // Wine leaves out a header with no name when it rewrites a file, so the keys under it
        // join the section before; Windows and the codec keep the line.
        if (HasNamelessHeader(text)) {
            ++counts.namelessHeader;
            return;
        }
        // Wine's rewrite drops blank lines, and with them what stood before a byte order mark
        // the text had further on: the file is then read in another encoding.
        if (platform::EncodingOf(ReadFile(path)) != platform::EncodingOf(text)) {
            ++counts.markMoved;
            return;
        }
        ++counts.differences;
        if (counts.differences <= 20) {
            std::printf("difference in \"%s\": %s\n", Show(text).c_str(), Show(what).c_str());
        }
    }

    void Read(const std::string& text, const std::string& path, const platform::ProfileText& codec,
              std::vector<std::string>& read) {
        read.clear();
        const platform::ProfileBatch load(path);
        for (const Key& k : kKeys) {
            ++counts.reads;
            const std::string windows = platform::ProfileRead(path, k.section, k.key, "-d-");
            std::string linux;
            if (!codec.Find(k.section, k.key, linux)) {
                linux = "-d-";
            }
            if (windows != linux) {
                Differ(text, path,
                       std::string(k.section) + "/" + k.key + " reads " + windows +
                           " on Windows, " + linux + " here");
            }
            read.push_back(windows);
        }
    }

    // A load, a save of some keys (some to the value they have), and a load again.
    void Run(const std::string& text) {
        ++counts.texts;
        const std::string path =
            (folder / ("text" + std::to_string(counts.texts) + ".ini")).string();
        WriteFile(path, text);
        platform::ProfileText codec;
        codec.Parse(text);
        std::mt19937 random(static_cast<std::uint32_t>(counts.texts));
        std::vector<std::string> read;
        Read(text, path, codec, read);
        {
            const platform::ProfileBatch save(path);
            for (std::size_t i = 0; i < std::size(kKeys); ++i) {
                if (random() % 2 == 0) {
                    continue;
                }
                const Key& k = kKeys[i];
                const std::string value =
                    random() % 3 == 0 ? read[i] : kValues[random() % kValues.size()];
                ++counts.writes;
                platform::ProfileWrite(path, k.section, k.key, value);
                codec.Set(k.section, k.key, value);
                Compare(text, path, codec.Serialise());
            }
        }
        Read(text, path, codec, read);
        Forget(path);
        fs::remove(path);
    }

    void Compare(const std::string& text, const std::string& path, const std::string& linux) {
        const std::string windows = ReadFile(path);
        if (windows == linux) {
            ++counts.sameBytes;
            return;
        }
        // Wine's file is its rewrite already, unless it was only repaired or never written.
        const std::string rewritten = Rewritten(linux);
        if (rewritten == windows || rewritten == Rewritten(windows)) {
            ++counts.sameAfterRewrite;
            return;
        }
        Differ(text, path, "the file is\n" + windows + "\non Windows, here\n" + linux);
    }

    Counts counts;

private:
    fs::path folder;
};

std::string Utf16(const std::string& ansi) {
    std::string wide = "\xFF\xFE";
    for (const char c : ansi) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

std::vector<std::string> HandWritten() {
    const std::string quoted4096 = "[a]\r\na=\"" + std::string(4095, 'q') + "\"\r\n";
    return {
        "",
        "[power]\r\nbattery1=0.5\r\n",
        "[power]\nmasterswitch=\"True\"\nbattery1=\"0.5\"\nBattery2='0.25'\nnote=\"\n",
        "; notes\n\n[power]\n  battery1 = 0.5  ; full\r\nno equals\nbattery1=0.9\n\n\n[cabin]\n"
        "pilot1Weight=70\n; end",
        "[power]\nbattery1=0.25\0junk\nbatt\0ery2=1\nmasterswitch=True\n[cab\0in]\nbackSeat=1\n"s,
        "[cabin]\nbackSeat=1\nbackSeat=2\n[CABIN]\nbackSeat=3\nfrontSeat=False\n",
        "[power]\r\nbattery1=0.5\r\n[cabin\r\nbackSeat=2\r\nmine=kept\r\n[failures]\r\nslider="
        "3\r\n",
        "[cabin\nbackSeat=2\n[\n[ cabin \n",
        Utf16("[power]\r\nbattery1=0.5\r\nname=\xE9t\xE9\r\n[cabin]\r\nbackSeat=2\r\n"),
        "\xFE\xFF\0[\0p\0o\0w\0e\0r\0]\0\n\0b\0a\0t\0t\0e\0r\0y\0001\0=\0001\0\n"s,
        "\xEF\xBB\xBF[power]\nbattery1=1\nname=\xC3\xA9t\xC3\xA9\n",
        "[ power ]\nbattery1=1\n[power] trailing\nbattery2=2\n[power]]\nmasterswitch=1\n",
        "\x1A[power]\x0B\nbattery1\t=\x0C 0.5 \x1A\n[a]\na\xA0=\xA0 1\n",
        "[failures]\nslider=" + std::string(5000, '9') + "\n[a]\na='" + std::string(4094, 'x') +
            "'\n",
        quoted4096,
        "a=1\n[]\na=2\n=3\n=4\n[power]\n=5\nbattery1=6\n",
        "[power]\r\rbattery1=1\r\rbattery2=2\r\n[cabin]\rbackSeat=1",
    };
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> texts;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".ini") {
            texts.push_back(ReadFile(entry.path()));
        }
    }
    return texts;
}

std::string Generated(std::mt19937& random) {
    static const std::vector<std::string> pieces{"[",
                                                 "]",
                                                 "=",
                                                 ";",
                                                 "#",
                                                 " ",
                                                 "\t",
                                                 "\r",
                                                 "\n",
                                                 "\r\n",
                                                 "\n",
                                                 "\r\n",
                                                 "a",
                                                 "A",
                                                 "b c",
                                                 "power",
                                                 "POWER",
                                                 "cabin",
                                                 "Cabin",
                                                 "battery1",
                                                 "Battery2",
                                                 "backSeat",
                                                 "pilot1Weight",
                                                 "frontSeat",
                                                 "slider",
                                                 "failures",
                                                 "handles",
                                                 "flaps",
                                                 "masterswitch",
                                                 "note",
                                                 "0.5",
                                                 "True",
                                                 "\"",
                                                 "'",
                                                 "\"True\"",
                                                 "[power]\n",
                                                 "[cabin]\n",
                                                 "[a]\n",
                                                 "a=1\n",
                                                 "; c\n",
                                                 "[]",
                                                 "[cabin\n",
                                                 "\x1A",
                                                 "\x0B",
                                                 "\xA0",
                                                 "\xE9",
                                                 "\xC9",
                                                 std::string(1, '\0'),
                                                 "\xEF\xBB\xBF"};
    std::string text;
    for (std::uint32_t count = random() % 32; count > 0; --count) {
        text += pieces[random() % pieces.size()];
    }
    // Some as "Unicode" files, as Notepad saves them.
    return random() % 8 == 0 ? Utf16(text) : text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER EARLIER_SETTINGS_FOLDER\n", argv[0]);
        return 2;
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const fs::path folder =
        fs::path(temp) / ("zelvan-differential-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    Differential differential(folder);
    std::vector<std::string> texts = HandWritten();
    for (const char* from : {argv[1], argv[2]}) {
        for (const std::string& text : FilesIn(from)) {
            texts.push_back(text);
            // A UTF-16 file is not made CR LF byte by byte: that would leave it an odd number of
            // bytes long, whose last character Wine reads from beyond the end of its buffer.
            if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') ||
                                     (text[0] == '\xFE' && text[1] == '\xFF'))) {
                continue;
            }
            std::string crlf;
            for (const char c : text) {
                crlf += c == '\n' ? "\r\n"s : std::string(1, c);
            }
            texts.push_back(crlf);
        }
    }
    std::mt19937 random(20261207);
    const std::size_t count = argc > 3 ? std::stoul(argv[3]) : 2000;
    while (texts.size() < count) {
        texts.push_back(Generated(random));
    }
    for (const std::string& text : texts) {
        differential.Run(text);
    }
    fs::remove_all(folder);
    const Counts& c = differential.counts;
    std::printf(
        "code page %u: %d texts, %d reads, %d writes; after %d writes the files were the "
        "same bytes, after %d the same once Wine rewrote both; %d differences where a "
        "header has no name and %d where Wine's rewrite moved a byte order mark to the start "
        "(both documented); %d other differences\n",
        GetACP(), c.texts, c.reads, c.writes, c.sameBytes, c.sameAfterRewrite, c.namelessHeader,
        c.markMoved, c.differences);
    return c.differences == 0 ? 0 : 1;
}
