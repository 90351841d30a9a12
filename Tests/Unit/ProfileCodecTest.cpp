// The settings codec against the one it replaced: SimpleIni, set up as the module had it (several
// values a key, no multi-line values, no spaces around '=', A-Z matched without case). Both read
// the same texts, answer the same reads, take the same writes, and must then save the same bytes.
#include "Lib/Platform/Shared/ProfileText.h"

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

struct FoldedLess {
    static unsigned char Fold(char c) {
        return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    bool operator()(const char* a, const char* b) const {
        for (; Fold(*a) == Fold(*b) && *a != '\0'; ++a, ++b) {
        }
        return Fold(*a) < Fold(*b);
    }
};

using Ini = CSimpleIniTempl<char, FoldedLess, SI_ConvertA<char>>;

// The earlier codec's load, first-value read, replacing write and save.
struct Reference {
    explicit Reference(const std::string& text) {
        ini.SetSpaces(false);
        ini.LoadData(text.data(), text.size());
    }
    const char* Find(const char* section, const char* key) const {
        bool several = false;
        const char* first = ini.GetValue(section, key, nullptr, &several);
        if (first == nullptr || !several) {
            return first;
        }
        Ini::TNamesDepend values;
        ini.GetAllValues(section, key, values);
        values.sort(Ini::Entry::LoadOrder());
        return values.front().pItem;
    }
    bool Set(const char* section, const char* key, const std::string& value) {
        bool several = false;
        const char* present = ini.GetValue(section, key, nullptr, &several);
        if (present != nullptr && !several && value == present) {
            return false;
        }
        ini.SetValue(section, key, value.c_str(), nullptr, true);
        return true;
    }
    std::string Serialise() const {
        std::string text;
        ini.Save(text);
        return text;
    }
    Ini ini{false, true, false};
};

struct Key {
    const char* section;
    const char* key;
};
// What a load asks and a save writes, in other cases too, with sections the texts rarely have.
constexpr std::array<Key, 9> kKeys{{{"power", "battery1"},
                                    {"POWER", "Battery2"},
                                    {"cabin", "pilot1Weight"},
                                    {"Cabin", "a"},
                                    {"failures", "slider"},
                                    {"", "a"},
                                    {"", "b c"},
                                    {"a", "a"},
                                    {"handles", "flaps"}}};

std::string Show(const char* value) {
    return value != nullptr ? "\"" + std::string(value) + "\"" : "(none)";
}

// One load, read and save round through both codecs; the saved text, for another round.
std::string Compare(const std::string& text, int round) {
    SCOPED_TRACE(testing::Message() << "round " << round << " of " << testing::PrintToString(text));
    Reference before(text);
    platform::ProfileText flat;
    flat.Parse(text);
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const Key& k = kKeys[i];
        const char* expected = before.Find(k.section, k.key);
        EXPECT_EQ(Show(flat.Find(k.section, k.key)), Show(expected)) << k.section << "/" << k.key;
        // Every other key is rewritten with the value it has (no change, unless it has several),
        // the others with a new one.
        const std::string value =
            i % 2 == 0 && expected != nullptr ? expected : "0." + std::to_string(i);
        EXPECT_EQ(flat.Set(k.section, k.key, value), before.Set(k.section, k.key, value))
            << k.section << "/" << k.key;
        EXPECT_EQ(Show(flat.Find(k.section, k.key)), Show(before.Find(k.section, k.key)));
    }
    const std::string saved = before.Serialise();
    EXPECT_EQ(flat.Serialise(), saved);
    return saved;
}

void CompareTwice(const std::string& text) {
    Compare(Compare(text, 1), 2);
}

} // namespace

TEST(ProfileCodec, TrickyTextsReadAndSaveAsBefore) {
    const std::vector<std::string> texts{
        "",
        "\xEF\xBB\xBF",
        "\xEF\xBB\xBF[power]\nbattery1=1\n",
        "; file\n# comment\n[power]\nbattery1=0.5\n",
        "; file\n\n; section\n[power]\n; key\n\n  ; more\nbattery1 = 0.5 \t\n; lost",
        "a=1\n[power]\nbattery1=1\n[]\nb c=2\nA=3\n",
        "[cabin]\npilot1Weight=70\nx=1\nPILOT1WEIGHT=90\n[CABIN]\na=2\n; lost\n[Cabin]\n",
        "[power\nbattery1=1\n[abc\r\n; c1\r\n\r\n; c2\r\nk=v\n[a]\na=1",
        "[  \n power  ]  trailing\r\nbattery1=\r\n=novalue\nnoequals\n\rkey\t=\t1\r\r\n",
        std::string("[power]\nbattery1=0.25\0battery2=1\n", 31),
        "[power]\rbattery1=1\r\rbattery1=2\r[failures]\r\nslider=<<<END\r\n\"q\"=\" x \"\n",
        "#a\r\n#b\r\n[#c]\n[d]]\n[[e]\n[f\n]\n;\n[g]x=1\nh=[i]\n",
    };
    for (const std::string& text : texts) {
        CompareTwice(text);
    }
    // More keys and sections than a settings file has, keys repeated in other cases among them.
    std::string many;
    for (int i = 0; i < 600; ++i) {
        many += (i % 150 == 0 ? "[S" : "[s") + std::to_string(i % 7) + "]\n";
        many += (i % 3 == 0 ? "K" : "k") + std::to_string(i % 250) + "=" + std::to_string(i) + "\n";
    }
    CompareTwice(many + "[power]\nbattery1=1\n[a]\na=2\n");
    // The seed files of the settings fuzz target, and any folders named in the environment
    // (a fuzzing run's corpus, say).
    std::vector<std::filesystem::path> folders{ZELVAN_SETTINGS_CORPUS};
    if (const char* more = std::getenv("ZELVAN_SETTINGS_TEXTS")) {
        folders.emplace_back(more);
    }
    for (const auto& folder : folders) {
        for (const auto& file : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(file.path(), std::ios::binary);
            CompareTwice({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
        }
    }
}

TEST(ProfileCodec, RandomTextsOfTheFormatsPiecesReadAndSaveAsBefore) {
    const std::vector<std::string> pieces{"[",
                                          "]",
                                          "=",
                                          ";",
                                          "#",
                                          " ",
                                          "\t",
                                          "\r",
                                          "\n",
                                          "\r\n",
                                          "a",
                                          "A",
                                          "b c",
                                          "power",
                                          "POWER",
                                          "cabin",
                                          "battery1",
                                          "0.5",
                                          "<<<",
                                          "\"",
                                          "\n",
                                          "\n",
                                          "[a]\n",
                                          "a=1\n",
                                          "; c\n",
                                          "[]",
                                          "\xEF\xBB\xBF",
                                          std::string(1, '\0')};
    std::mt19937 random(20221109);
    for (int n = 0; n < 4000; ++n) {
        std::string text;
        for (std::uint32_t count = random() % 24; count > 0; --count) {
            text += pieces[random() % pieces.size()];
        }
        CompareTwice(text);
        if (HasFailure()) {
            return; // one text is enough to look at
        }
    }
}
