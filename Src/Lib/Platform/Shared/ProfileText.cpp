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
#include "Lib/Platform/Shared/ProfileText.h"

#include <algorithm>

namespace platform {

namespace {

bool IsBlank(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

bool IsLineEnd(char16_t c) {
    return c == u'\r' || c == u'\n';
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

std::uint32_t HashOf(std::u16string_view name) {
    std::uint32_t hash = 2166136261u;
    for (const char16_t c : name) {
        hash = (hash ^ Fold(c)) * 16777619u;
    }
    return hash;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return x == y || Fold(x) == Fold(y); });
}

// A name or value as it is read: up to its first NUL.
std::u16string_view UpToNul(std::u16string_view text) {
    return text.substr(0, std::min(text.size(), text.find(u'\0')));
}

// The module's name (ANSI) in UTF-16 without blank space around it, in `out` (scratch space
// whose storage stays from call to call: a load and save look up some two hundred names).
std::u16string_view Wide(const char* ansi, std::u16string& out) {
    out.clear();
    AnsiToUtf16(ansi, out);
    std::u16string_view name = out;
    while (!name.empty() && IsBlank(name.front())) {
        name.remove_prefix(1);
    }
    while (!name.empty() && IsBlank(name.back())) {
        name.remove_suffix(1);
    }
    return name;
}

constexpr std::u16string_view kLineEnd = u"\r\n";

// Where the line from `start` ends, past its run of CR and LF.
std::size_t LineEnd(const std::u16string& text, std::size_t start) {
    const char16_t* const data = text.data();
    const std::size_t size = text.size();
    std::size_t end = start;
    while (end < size && data[end] != u'\r' && data[end] != u'\n') {
        ++end;
    }
    while (end < size && (data[end] == u'\r' || data[end] == u'\n')) {
        ++end;
    }
    return end;
}

} // namespace

void ProfileText::Clear() {
    if (text.capacity() > 64 * 1024) {
        text = std::u16string{};
        lines = std::vector<Line>{};
    }
    encoding = ProfileEncoding::kAnsi;
    text.clear();
    lines.clear();
    headers.clear();
    repaired = false;
}

void ProfileText::Parse(std::string_view bytes) {
    Clear();
    encoding = DecodeProfile(bytes, text);
    ParseFrom(0);
}

void ProfileText::ParseFrom(std::size_t start) {
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

ProfileText::Line ProfileText::ReadLine(std::uint32_t start, std::uint32_t length) {
    std::u16string_view s(text.data() + start, length);
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
    if (s[begin] == u'[') {
        std::size_t close = s.substr(0, end).rfind(u']');
        if (close == std::u16string_view::npos || close <= begin) {
            text.insert(text.begin() + start + end, u']');
            repaired = true;
            close = end;
            ++line.length;
            s = std::u16string_view(text.data() + start, line.length); // the text may have moved
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
        const std::size_t equals = s.substr(0, end).find(u'=', begin);
        if (equals == std::u16string_view::npos) {
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
        UpToNul(s.substr(line.nameBegin, line.nameEnd - line.nameBegin)).size());
    line.hash = HashOf(Name(line));
    return line;
}

std::u16string_view ProfileText::Name(const Line& line) const {
    return std::u16string_view(text.data() + line.start + line.nameBegin, line.nameLength);
}

std::size_t ProfileText::FindSection(std::u16string_view name, std::uint32_t hash) const {
    for (const std::uint32_t h : headers) {
        const Line& line = lines[h];
        if (line.hash == hash && SameName(Name(line), name)) {
            return h;
        }
    }
    return lines.size();
}

std::size_t ProfileText::SectionEnd(std::size_t header) const {
    const auto next = std::upper_bound(headers.begin(), headers.end(), header);
    return next != headers.end() ? *next : lines.size();
}

std::size_t ProfileText::FindKey(std::size_t header, std::u16string_view name,
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

bool ProfileText::Find(const char* section, const char* key, std::string& value) const {
    const std::u16string_view sectionName = Wide(section, wide);
    const std::u16string_view keyName = Wide(key, wideKey);
    if (sectionName.empty() || keyName.empty()) {
        return false; // no file has such a section or key: the unnamed one is never read
    }
    const std::size_t s = FindSection(sectionName, HashOf(sectionName));
    if (s == lines.size()) {
        return false;
    }
    const std::size_t k = FindKey(s, keyName, HashOf(keyName));
    if (k == lines.size() || lines[k].valueBegin == kNoValue) {
        return false;
    }
    const Line& line = lines[k];
    std::u16string_view v = UpToNul(std::u16string_view(text).substr(
        line.start + line.valueBegin, line.valueEnd - line.valueBegin));
    const bool quoted = v.size() >= 2 && (v[0] == u'"' || v[0] == u'\'') && v.back() == v[0];
    if (quoted) {
        v.remove_prefix(1);
    }
    const bool whole = v.size() <= kLongestValue + 1;
    v = v.substr(0, kLongestValue);
    if (quoted && whole) {
        v.remove_suffix(1);
    }
    value.clear();
    Utf16ToAnsi(v, value);
    return true;
}

bool ProfileText::Set(const char* section, const char* key, std::string_view value) {
    const std::u16string_view sectionName = Wide(section, wide);
    const std::u16string_view keyName = Wide(key, wideKey);
    if (sectionName.empty() || keyName.empty()) {
        return false;
    }
    // Blank space before the value is not written, as the platform has it.
    while (!value.empty() && IsBlank(static_cast<unsigned char>(value.front()))) {
        value.remove_prefix(1);
    }
    std::u16string& written = wideValue;
    written.clear();
    AnsiToUtf16(value, written);

    const std::size_t s = FindSection(sectionName, HashOf(sectionName));
    if (s == lines.size()) {
        std::u16string more;
        if (!text.empty() && !IsLineEnd(text.back())) {
            more += kLineEnd;
        }
        more.append(u"[").append(sectionName).append(u"]").append(kLineEnd);
        more.append(keyName).append(u"=").append(written).append(kLineEnd);
        Append(more);
        return true;
    }
    const std::size_t k = FindKey(s, keyName, HashOf(keyName));
    if (k < lines.size()) {
        const Line line = lines[k];
        if (line.valueBegin == kNoValue) {
            Replace(k, line.valueEnd, line.valueEnd, u"=" + written);
            return true;
        }
        const std::u16string_view present = UpToNul(std::u16string_view(text).substr(
            line.start + line.valueBegin, line.valueEnd - line.valueBegin));
        if (present == written) {
            return false;
        }
        Replace(k, line.valueBegin, line.valueEnd, written);
        return true;
    }
    std::size_t last = SectionEnd(s) - 1;
    while (last > s && lines[last].kind == Kind::kBlank) {
        --last;
    }
    const Line& after = lines[last];
    const std::size_t lineEnd = text.find_first_of(u"\r\n", after.start);
    if (lineEnd >= after.start + after.length) {
        Replace(last, after.length, after.length, kLineEnd);
    } else {
        // Blank lines after the section's last one stay after the new key.
        const std::size_t first = lineEnd + (text.compare(lineEnd, 2, kLineEnd) == 0 ? 2 : 1);
        const auto blank = static_cast<std::uint32_t>(after.start + after.length - first);
        if (blank > 0) {
            lines[last].length -= blank;
            InsertLine(last, Line{static_cast<std::uint32_t>(first), blank, 0, 0, 0, kNoValue, 0, 0,
                                  Kind::kBlank});
        }
    }
    AddLine(last, std::u16string(keyName).append(u"=").append(written).append(kLineEnd));
    return true;
}

std::string ProfileText::Serialise() const {
    std::string bytes;
    EncodeProfile(encoding, text, bytes);
    return bytes;
}

void ProfileText::Replace(std::size_t index, std::uint32_t begin, std::uint32_t end,
                          std::u16string_view with) {
    Line& line = lines[index];
    text.replace(line.start + begin, end - begin, with);
    const auto delta = static_cast<std::uint32_t>(with.size() - (end - begin)); // mod 2^32
    for (std::size_t i = index + 1; i < lines.size(); ++i) {
        lines[i].start += delta;
    }
    line = ReadLine(line.start, line.length + delta);
}

void ProfileText::AddLine(std::size_t after, std::u16string_view added) {
    const std::uint32_t start = lines[after].start + lines[after].length;
    text.insert(start, added);
    const auto length = static_cast<std::uint32_t>(added.size());
    for (std::size_t i = after + 1; i < lines.size(); ++i) {
        lines[i].start += length;
    }
    InsertLine(after, ReadLine(start, length));
}

void ProfileText::InsertLine(std::size_t after, const Line& line) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after) + 1, line);
    for (std::uint32_t& h : headers) {
        h += h > after ? 1 : 0;
    }
}

void ProfileText::Append(std::u16string_view more) {
    std::size_t start = text.size();
    if (!lines.empty() && !IsLineEnd(text.back())) {
        start = lines.back().start; // the last line gets its line end
        headers.erase(std::remove(headers.begin(), headers.end(), lines.size() - 1), headers.end());
        lines.pop_back();
    }
    text.append(more);
    ParseFrom(start);
}

} // namespace platform
