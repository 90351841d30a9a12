// How the settings file reads and how a write edits it, as the simulator platform's profile
// functions (GetPrivateProfileStringA, WritePrivateProfileStringA) do wherever a file can tell:
//
// - The encoding: see ProfileEncoding.h. A save keeps the file's encoding and its mark.
// - A line ends at CR or LF (a run of them is one line end, blank lines included). Blank space
//   (tab, LF, VT, FF, CR, space, ^Z) around a line is not part of it.
// - A line starting with '[' is a section header; its name runs to the line's last ']', without
//   blank space around it. A header without any ']' (a damaged one) would make the keys under it
//   part of the section before, and every save add the section again at the end of the file: here
//   it is read as the header it was meant to be and given its ']' (Repaired), which the Windows
//   gauge writes to the file before its first read, so that both read and save it alike.
// - Any other line is a key: the name up to the first '=' and the value after it, blank space
//   around both dropped. A line without '=' is a key without a value, which reads as missing.
//   Comments (';', '#') are keys like any other, which no one reads.
// - A NUL ends the name or the value it is in; the lines after it read as ever.
// - Names match without regard to case (of the Latin letters of the code page). A key is looked
//   for in the first section of its name only, and is its first line of that name there;
//   sections named again and keys named again are kept and never read.
// - A value read loses one pair of quotes ('"' or '\'') around it and is cut to 4095 characters
//   (the read buffer's 4096 with its NUL): a quoted value of exactly 4096 characters without its
//   opening quote loses its last one with the quote, as the platform's copy does.
//
// A write replaces the value of the key's line and nothing else on it; a line without '=' gets
// '=' and the value. A new key goes after the last line of its section that is not blank, a new
// section at the end of the file ("[section]\r\nkey=value\r\n"). Lines written end in CR LF, on
// every platform. A value that is already the key's is not written.
#include "Lib/Platform/Shared/ProfileLines.h"

#include "Lib/Platform/Shared/ProfileEncoding.h"

#include <algorithm>
#include <array>

namespace platform {

namespace {

// The character's number: a byte of the ANSI code page, or a UTF-16 unit.
std::uint32_t Code(char c) {
    return static_cast<unsigned char>(c);
}
std::uint32_t Code(char16_t c) {
    return c;
}

template <class Char> bool IsBlank(Char c) {
    const std::uint32_t u = Code(c);
    return (u >= 0x09 && u <= 0x0D) || u == 0x20 || u == 0x1A;
}

template <class Char> bool IsLineEnd(Char c) {
    return c == Char('\r') || c == Char('\n');
}

// Lower case for the letters the ANSI code page has: A-Z, the Latin-1 capitals and the four
// capitals of 0x80-0x9F.
char16_t Fold(char16_t c) {
    if (c < 0x80) {
        return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + 0x20) : c;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
        return static_cast<char16_t>(c + 0x20);
    }
    switch (c) {
    case 0x0160:
    case 0x0152:
    case 0x017D:
        return static_cast<char16_t>(c + 1);
    case 0x0178:
        return 0xFF;
    default:
        return c;
    }
}

// The code page's bytes as the characters they are, folded: a byte matches as its character does
// in a UTF-16 file, and the module's names, which are ANSI, match either kind of file unconverted.
const std::array<char16_t, 256> kAnsiFolded = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = Fold(AnsiCharacter(static_cast<char>(byte)));
    }
    return table;
}();

std::uint32_t Folded(char c) {
    return kAnsiFolded[static_cast<unsigned char>(c)];
}
std::uint32_t Folded(char16_t c) {
    return c < 0x80 ? kAnsiFolded[c] : Fold(c);
}

// FNV-1a of the folded characters: the same for a name in ANSI and in UTF-16.
template <class Char> std::uint32_t HashOf(std::basic_string_view<Char> name) {
    std::uint32_t hash = 2166136261u;
    for (const Char c : name) {
        hash = (hash ^ Folded(c)) * 16777619u;
    }
    return hash;
}

template <class Char> bool SameName(std::basic_string_view<Char> a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](Char x, char y) {
               return Folded(x) == Folded(y);
           });
}

// The text is the ANSI text, character for character.
bool SameText(std::string_view a, std::string_view b) {
    return a == b;
}
bool SameText(std::u16string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char y) { return x == AnsiCharacter(y); });
}

// ANSI text added to the file's text.
void AppendAnsi(std::string& text, std::string_view ansi) {
    text.append(ansi);
}
void AppendAnsi(std::u16string& text, std::string_view ansi) {
    AnsiToUtf16(ansi, text);
}

// A name or value as it is read: up to its first NUL.
template <class Char> std::basic_string_view<Char> UpToNul(std::basic_string_view<Char> text) {
    return {text.data(), std::min(text.size(), text.find(Char('\0')))};
}

// A name without blank space around it.
std::string_view Trimmed(std::string_view name) {
    while (!name.empty() && IsBlank(name.front())) {
        name.remove_prefix(1);
    }
    while (!name.empty() && IsBlank(name.back())) {
        name.remove_suffix(1);
    }
    return name;
}

template <class Char> constexpr std::array<Char, 2> kLineEnd{Char('\r'), Char('\n')};

template <class Char> std::basic_string_view<Char> LineEndText() {
    return {kLineEnd<Char>.data(), kLineEnd<Char>.size()};
}

// Where the line from `start` ends, past its run of CR and LF.
template <class Char> std::size_t LineEnd(const std::basic_string<Char>& text, std::size_t start) {
    const Char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t end = start;
    while (end < size && !IsLineEnd(data[end])) {
        ++end;
    }
    while (end < size && IsLineEnd(data[end])) {
        ++end;
    }
    return end;
}

} // namespace

template <class Char> void ProfileLines<Char>::Clear() {
    if (text.capacity() > 64 * 1024) {
        text = String{};
        lines = std::vector<Line>{};
    }
    text.clear();
    lines.clear();
    headers.clear();
    repaired = false;
}

template <class Char> void ProfileLines<Char>::Parse(View from) {
    Clear();
    text.assign(from);
    ParseFrom(0);
}

template <class Char> void ProfileLines<Char>::ParseFrom(std::size_t start) {
    while (start < text.size()) {
        const std::size_t end = LineEnd(text, start);
        const Line line =
            ReadLine(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start));
        if (line.kind == Kind::kHeader) {
            headers.push_back(static_cast<std::uint32_t>(lines.size()));
        }
        lines.push_back(line);
        start = line.start + line.length; // a repaired header is one longer
    }
}

template <class Char>
typename ProfileLines<Char>::Line ProfileLines<Char>::ReadLine(std::uint32_t start,
                                                               std::uint32_t length) {
    View s(text.data() + start, length);
    std::uint32_t begin = 0;
    std::uint32_t end = length;
    while (begin < end && IsBlank(s[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(s[end - 1])) {
        --end;
    }
    Line line{start, length, begin, begin, 0, kNoValue, end, 0, Kind::kBlank};
    if (begin == end) {
        return line;
    }
    if (s[begin] == Char('[')) {
        std::size_t close = View(s.data(), end).rfind(Char(']'));
        if (close == View::npos || close <= begin) {
            text.insert(text.begin() + start + end, Char(']'));
            repaired = true;
            close = end;
            ++line.length;
            s = View(text.data() + start, line.length); // the text may have moved
        }
        line.kind = Kind::kHeader;
        line.nameBegin = begin + 1;
        line.nameEnd = static_cast<std::uint32_t>(close);
        while (line.nameBegin < line.nameEnd && IsBlank(s[line.nameBegin])) {
            ++line.nameBegin;
        }
        while (line.nameEnd > line.nameBegin && IsBlank(s[line.nameEnd - 1])) {
            --line.nameEnd;
        }
    } else {
        line.kind = Kind::kKey;
        const std::size_t equals = View(s.data(), end).find(Char('='), begin);
        if (equals == View::npos) {
            line.nameEnd = end; // the value goes here once one is written
        } else {
            auto nameEnd = static_cast<std::uint32_t>(equals);
            while (nameEnd > begin && IsBlank(s[nameEnd - 1])) {
                --nameEnd;
            }
            auto valueBegin = static_cast<std::uint32_t>(equals + 1);
            while (valueBegin < end && IsBlank(s[valueBegin])) {
                ++valueBegin;
            }
            line.nameEnd = nameEnd;
            line.valueBegin = valueBegin;
        }
    }
    line.nameLength = static_cast<std::uint32_t>(
        UpToNul(View(s.data() + line.nameBegin, line.nameEnd - line.nameBegin)).size());
    line.hash = HashOf(Name(line));
    return line;
}

template <class Char>
typename ProfileLines<Char>::View ProfileLines<Char>::Name(const Line& line) const {
    return View(text.data() + line.start + line.nameBegin, line.nameLength);
}

template <class Char>
typename ProfileLines<Char>::View ProfileLines<Char>::ValueOf(const Line& line) const {
    return View(text.data() + line.start + line.valueBegin, line.valueEnd - line.valueBegin);
}

template <class Char>
std::size_t ProfileLines<Char>::FindSection(std::string_view name, std::uint32_t hash) const {
    for (const std::uint32_t h : headers) {
        const Line& line = lines[h];
        if (line.hash == hash && SameName(Name(line), name)) {
            return h;
        }
    }
    return lines.size();
}

template <class Char> std::size_t ProfileLines<Char>::SectionEnd(std::size_t header) const {
    const auto next = std::upper_bound(headers.begin(), headers.end(), header);
    return next != headers.end() ? *next : lines.size();
}

template <class Char>
std::size_t ProfileLines<Char>::FindKey(std::size_t header, std::string_view name,
                                        std::uint32_t hash) const {
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const Line& line = lines[i];
        if (line.kind == Kind::kKey && line.hash == hash && SameName(Name(line), name)) {
            return i;
        }
    }
    return lines.size();
}

template <class Char>
bool ProfileLines<Char>::Find(std::string_view section, std::string_view key, View& value) const {
    section = Trimmed(section);
    key = Trimmed(key);
    if (section.empty() || key.empty()) {
        return false; // no file has such a section or key: the unnamed one is never read
    }
    const std::size_t s = FindSection(section, HashOf(section));
    if (s == lines.size()) {
        return false;
    }
    const std::size_t k = FindKey(s, key, HashOf(key));
    if (k == lines.size() || lines[k].valueBegin == kNoValue) {
        return false;
    }
    const Line& line = lines[k];
    View v = UpToNul(ValueOf(line));
    const bool quoted =
        v.size() >= 2 && (v[0] == Char('"') || v[0] == Char('\'')) && v.back() == v[0];
    if (quoted) {
        v.remove_prefix(1);
    }
    const bool whole = v.size() <= kLongestValue + 1;
    v = View(v.data(), std::min(v.size(), kLongestValue));
    if (quoted && whole) {
        v.remove_suffix(1);
    }
    value = v;
    return true;
}

template <class Char>
bool ProfileLines<Char>::Set(std::string_view section, std::string_view key,
                             std::string_view value) {
    section = Trimmed(section);
    key = Trimmed(key);
    if (section.empty() || key.empty()) {
        return false;
    }
    // Blank space before the value is not written, as the platform has it.
    while (!value.empty() && IsBlank(value.front())) {
        value.remove_prefix(1);
    }
    const View lineEnd = LineEndText<Char>();

    const std::size_t s = FindSection(section, HashOf(section));
    if (s == lines.size()) {
        added.clear();
        if (!text.empty() && !IsLineEnd(text.back())) {
            added += lineEnd;
        }
        added.append(1, Char('['));
        AppendAnsi(added, section);
        added.append(1, Char(']')).append(lineEnd);
        AppendAnsi(added, key);
        added.append(1, Char('='));
        AppendAnsi(added, value);
        added.append(lineEnd);
        Append(added);
        return true;
    }
    const std::size_t k = FindKey(s, key, HashOf(key));
    if (k < lines.size()) {
        const Line line = lines[k];
        if (line.valueBegin == kNoValue) {
            added.assign(1, Char('='));
            AppendAnsi(added, value);
            Replace(k, line.valueEnd, line.valueEnd, added);
            return true;
        }
        const View present = UpToNul(ValueOf(line));
        if (SameText(present, value)) {
            return false;
        }
        added.clear();
        AppendAnsi(added, value);
        Replace(k, line.valueBegin, line.valueEnd, added);
        return true;
    }
    std::size_t last = SectionEnd(s) - 1;
    while (last > s && lines[last].kind == Kind::kBlank) {
        --last;
    }
    const Line& after = lines[last];
    const auto ending =
        std::find_if(text.begin() + after.start, text.begin() + after.start + after.length,
                     [](Char c) { return IsLineEnd(c); });
    const auto endAt = static_cast<std::size_t>(ending - text.begin());
    if (endAt >= after.start + after.length) {
        Replace(last, after.length, after.length, lineEnd);
    } else {
        // Blank lines after the section's last one stay after the new key.
        const std::size_t first = endAt + (View(text).substr(endAt, 2) == lineEnd ? 2 : 1);
        const auto blank = static_cast<std::uint32_t>(after.start + after.length - first);
        if (blank > 0) {
            lines[last].length -= blank;
            InsertLine(last, Line{static_cast<std::uint32_t>(first), blank, 0, 0, 0, kNoValue, 0, 0,
                                  Kind::kBlank});
        }
    }
    added.clear();
    AppendAnsi(added, key);
    added.append(1, Char('='));
    AppendAnsi(added, value);
    added.append(lineEnd);
    AddLine(last, added);
    return true;
}

template <class Char>
void ProfileLines<Char>::Replace(std::size_t index, std::uint32_t begin, std::uint32_t end,
                                 View with) {
    Line& line = lines[index];
    text.replace(line.start + begin, end - begin, with);
    const auto delta = static_cast<std::uint32_t>(with.size() - (end - begin)); // mod 2^32
    for (std::size_t i = index + 1; i < lines.size(); ++i) {
        lines[i].start += delta;
    }
    line = ReadLine(line.start, line.length + delta);
}

template <class Char> void ProfileLines<Char>::AddLine(std::size_t after, View line) {
    const std::uint32_t start = lines[after].start + lines[after].length;
    text.insert(start, line);
    const auto length = static_cast<std::uint32_t>(line.size());
    for (std::size_t i = after + 1; i < lines.size(); ++i) {
        lines[i].start += length;
    }
    InsertLine(after, ReadLine(start, length));
}

template <class Char> void ProfileLines<Char>::InsertLine(std::size_t after, const Line& line) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after) + 1, line);
    for (std::uint32_t& h : headers) {
        h += h > after ? 1 : 0;
    }
}

template <class Char> void ProfileLines<Char>::Append(View more) {
    std::size_t start = text.size();
    if (!lines.empty() && !IsLineEnd(text.back())) {
        start = lines.back().start; // the last line gets its line end
        headers.erase(std::remove(headers.begin(), headers.end(), lines.size() - 1), headers.end());
        lines.pop_back();
    }
    text.append(more);
    ParseFrom(start);
}

template class ProfileLines<char>;
template class ProfileLines<char16_t>;

} // namespace platform
