// The settings file's text as the simulator platform's profile functions read and write it, and
// edited as they edit it: a write changes one key's value in place (or adds the key to its
// section, or the section to the file) and keeps every other byte of the file. Its rules are in
// ProfileText.cpp.
#pragma once

#include "Lib/Platform/Shared/ProfileEncoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ProfileText {
public:
    // The longest value a read returns, as the module's read buffer of 4096 characters holds.
    static constexpr std::size_t kLongestValue = 4095;

    // Replaces what is held with the file's bytes (any text reads; what cannot be read is
    // missing). A section header without its ']' is made whole: see Repaired.
    void Parse(std::string_view bytes);
    // Holds nothing, as a missing or empty file.
    void Clear();
    // The key's value as the module reads it (one pair of quotes around it dropped, at most
    // kLongestValue bytes, in the ANSI code page); false when the section or the key is missing
    // or the key's line has no '='.
    bool Find(const char* section, const char* key, std::string& value) const;
    // Gives the key the value (ANSI text). False when it held exactly that value: nothing changed.
    bool Set(const char* section, const char* key, std::string_view value);
    // The file's bytes as a save writes them.
    std::string Serialise() const;
    // True when Parse terminated a damaged section header: the text is not the file's any more.
    bool Repaired() const { return repaired; }

private:
    enum class Kind : std::uint8_t { kBlank, kHeader, kKey };
    static constexpr std::uint32_t kNoValue = 0xFFFFFFFFu;

    // One line of the file with its line end; positions are from the line's start. A key line
    // without '=' has no value; a header's name is its key.
    struct Line {
        std::uint32_t start;
        std::uint32_t length;
        std::uint32_t nameBegin;
        std::uint32_t nameEnd;
        std::uint32_t nameLength; // as it matches: up to a NUL in it
        std::uint32_t valueBegin;
        std::uint32_t valueEnd;
        std::uint32_t hash; // of the name as it matches
        Kind kind;
    };

    void ParseFrom(std::size_t start);
    Line ReadLine(std::uint32_t start, std::uint32_t length);
    std::size_t FindSection(std::u16string_view name, std::uint32_t hash) const;
    std::size_t FindKey(std::size_t header, std::u16string_view name, std::uint32_t hash) const;
    std::size_t SectionEnd(std::size_t header) const;
    std::u16string_view Name(const Line& line) const;
    void Replace(std::size_t line, std::uint32_t begin, std::uint32_t end,
                 std::u16string_view with);
    void AddLine(std::size_t after, std::u16string_view line);
    void InsertLine(std::size_t after, const Line& line);
    void Append(std::u16string_view more);

    ProfileEncoding encoding = ProfileEncoding::kAnsi;
    std::u16string text;
    std::vector<Line> lines;
    // The header lines, in the file's order.
    std::vector<std::uint32_t> headers;
    bool repaired = false;
    // Scratch space for the names and values a call converts.
    mutable std::u16string wide;
    mutable std::u16string wideKey;
    std::u16string wideValue;
};

} // namespace platform
