// The settings file's lines in one character type, read and edited as the simulator platform's
// profile functions read and edit them. A file in the ANSI code page is edited byte for byte
// (ProfileLines<char>): no conversion, and every byte is kept. Any other encoding is edited as
// UTF-16 (ProfileLines<char16_t>). The rules are in ProfileLines.cpp; ProfileText picks one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

template <class Char> class ProfileLines {
public:
    using String = std::basic_string<Char>;
    using View = std::basic_string_view<Char>;

    // The longest value a read returns, as the module's read buffer of 4096 characters holds.
    static constexpr std::size_t kLongestValue = 4095;

    // Replaces what is held with the text. A section header without its ']' is made whole: see
    // Repaired.
    void Parse(View text);
    // Holds nothing, as a missing or empty file.
    void Clear();
    // The key's value as the module reads it (one pair of quotes around it dropped, at most
    // kLongestValue characters); false when the section or the key is missing or the key's line
    // has no '='. The names are the module's, in the ANSI code page, and blank space around them
    // is not part of them. The value points into the text until the next change.
    bool Find(std::string_view section, std::string_view key, View& value) const;
    // Gives the key the value (ANSI text). False when it held exactly that value: nothing changed.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    // The text as a save writes it.
    const String& Text() const { return text; }
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
    std::size_t FindSection(std::string_view name, std::uint32_t hash) const;
    std::size_t FindKey(std::size_t header, std::string_view name, std::uint32_t hash) const;
    std::size_t SectionEnd(std::size_t header) const;
    View Name(const Line& line) const;
    // The value as the line holds it, a NUL and what follows included; only for a line with '='.
    View ValueOf(const Line& line) const;
    void Replace(std::size_t line, std::uint32_t begin, std::uint32_t end, View with);
    void AddLine(std::size_t after, View line);
    void InsertLine(std::size_t after, const Line& line);
    void Append(View more);

    String text;
    std::vector<Line> lines;
    // The header lines, in the file's order.
    std::vector<std::uint32_t> headers;
    bool repaired = false;
    // Scratch space for the lines a write adds.
    String added;
};

extern template class ProfileLines<char>;
extern template class ProfileLines<char16_t>;

} // namespace platform
