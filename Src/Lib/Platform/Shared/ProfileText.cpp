// How the settings file reads: the format users' hand-edited files and every earlier save of the
// module were written in, down to its accidents, so that a file reads and saves as it always did.
//
// - The text is bytes in the ANSI code page, as the simulator platform's INI functions have it,
//   read and written as they are.
// - A UTF-8 byte order mark at the start is skipped (and not written back); a NUL ends the text.
// - Lines end at CR, LF or CR LF. Blank space (and blank lines) before a line is skipped.
// - A line starting with ';' or '#' is a comment. Comment lines in a row, blank lines between
//   them included, are one comment; it belongs to the next section or key line, skipped lines
//   between them or not. Comment lines at the very start of the file, up to the first other
//   line, are the file's own comment instead. A comment with no line after it is lost.
// - "[name]": a section; blank space around the name is dropped, and anything after ']' too.
//   The blank space after '[' may run over line ends; "[]" is the unnamed section, the one of
//   the keys before any header. A '[' line without a ']' before its end is no header, yet it
//   still names the section the next key lines go to: the text from the name's start up to
//   where the reading had cut the text off (at the next key's '=' or the end of a comment), line
//   ends included.
// - "key=value": blank space around both is dropped. A line with no '=' or with nothing before
//   it is skipped.
// - Sections and keys match without regard to the case of A-Z only. A section named again gets
//   its keys added to the first (the comment before the second header is lost); a key named
//   again in a section is kept as another value of the first, which is the one read.
//
// A save writes the file's comment, then each section in order (the unnamed one first) with two
// empty lines before all but the first: its comment, "[name]", then each key with all of its
// values, in the order the keys first appear, "key=value" under each value's comment after an
// empty line. Comment lines keep their text, line ends become the platform's.
#include "Lib/Platform/Shared/ProfileText.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {

namespace {

#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

// What each byte is to the reader, by table: one test a byte instead of one per kind of byte.
enum : unsigned char { kBlankByte = 1, kLineEndByte = 2, kCommentByte = 4 };
constexpr std::array<unsigned char, 256> kKinds = [] {
    std::array<unsigned char, 256> kinds{};
    kinds[' '] = kinds['\t'] = kBlankByte;
    kinds['\r'] = kinds['\n'] = kBlankByte | kLineEndByte;
    kinds[';'] = kinds['#'] = kCommentByte;
    return kinds;
}();

bool Is(char c, unsigned char kind) {
    return (kKinds[static_cast<unsigned char>(c)] & kind) != 0;
}

bool IsBlank(char c) {
    return Is(c, kBlankByte);
}

bool IsLineEnd(char c) {
    return Is(c, kLineEndByte);
}

bool IsComment(char c) {
    return Is(c, kCommentByte);
}

char* PastLineEnd(char* at) {
    return at + (at[0] == '\r' && at[1] == '\n' ? 2 : 1);
}

// The text is scanned with the C library's span functions, a call a stretch instead of tests on
// every character (every load reads the whole file, every read and write looks up a name).
char* PastBlanks(char* at) {
    return at + std::strspn(at, " \t\r\n");
}

// The end of the line (or of the text) from `at`.
char* LineEnd(char* at) {
    return at + std::strcspn(at, "\r\n");
}

// Each byte with A-Z folded to a-z, by table rather than by range tests.
constexpr std::array<unsigned char, 256> kFolded = [] {
    std::array<unsigned char, 256> folded{};
    for (int byte = 0; byte < 256; ++byte) {
        folded[static_cast<std::size_t>(byte)] =
            static_cast<unsigned char>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
    }
    return folded;
}();

unsigned char Fold(char c) {
    return kFolded[static_cast<unsigned char>(c)];
}

bool SameName(const char* a, const char* b) {
    // Most names are spelt in the file as the module spells them: one library call settles it.
    if (std::strcmp(a, b) == 0) {
        return true;
    }
    for (;; ++a, ++b) {
        if (Fold(*a) != Fold(*b)) {
            return false;
        }
        if (*a == '\0') {
            return true;
        }
    }
}

// Names that match hash alike. From the length and the first and last bytes only: a match is
// confirmed by comparing the names anyway, and the names of one file rarely agree on all three.
// Spread over the low bits too, which the tables take.
std::uint64_t Spread(std::uint64_t value) {
    const std::uint64_t mixed = value * 0x9E3779B97F4A7C15u;
    return mixed ^ mixed >> 32;
}

std::uint64_t NameHash(const char* name) {
    const std::size_t length = std::strlen(name);
    if (length == 0) {
        return 0;
    }
    return Spread(length << 16 | std::uint64_t{Fold(name[0])} << 8 | Fold(name[length - 1]));
}

std::uint64_t KeyHash(std::uint32_t section, const char* key) {
    return Spread(NameHash(key) ^ std::uint64_t{section} << 40);
}

// Puts `index` in the first free slot from the hash's own (there is one: no table is more than
// half full).
void Place(std::vector<std::int32_t>& table, std::uint64_t hash, std::int32_t index) {
    const std::size_t mask = table.size() - 1;
    std::size_t slot = hash & mask;
    while (table[slot] >= 0) {
        slot = (slot + 1) & mask;
    }
    table[slot] = index;
}

// Reads the comment lines from `at`, moving `at` past them, and returns where their text now
// starts (null when there is no comment there). The text is rewritten in place: each line end
// becomes one '\n' and the last one the comment's terminating NUL. With `overBlankLines`, blank
// lines followed by another comment line are part of the comment (as empty lines).
char* ReadComment(char*& at, bool overBlankLines) {
    char* const start = at;
    char* out = at;
    for (;;) {
        if (!IsComment(*at)) {
            if (!overBlankLines) {
                break;
            }
            char* ahead = at;
            int blankLines = 0;
            while (IsBlank(*ahead)) {
                if (IsLineEnd(*ahead)) {
                    ++blankLines;
                    ahead = PastLineEnd(ahead);
                } else {
                    ++ahead;
                }
            }
            if (!IsComment(*ahead)) {
                break;
            }
            for (; blankLines > 0; --blankLines) {
                *out++ = '\n';
            }
            at = ahead;
            continue;
        }
        char* const line = at;
        at = LineEnd(at);
        const auto length = static_cast<std::size_t>(at - line);
        if (out < line) {
            std::memmove(out, line, length);
            out[length] = '\0';
        }
        if (*at == '\0') {
            return start; // the text ends with the comment, already terminated
        }
        out += length;
        at = PastLineEnd(at);
        *out++ = '\n';
    }
    if (at == start) {
        return nullptr;
    }
    *--out = '\0';
    return start;
}

// The end of the text before `end` once trailing blank space is dropped (never before `start`).
char* TrimEnd(char* start, char* end) {
    while (end > start && IsBlank(end[-1])) {
        --end;
    }
    return end;
}

} // namespace

void ProfileText::Clear() {
    if (chars.capacity() > 64 * 1024 || entries.capacity() > 4096) {
        *this = ProfileText{};
        return;
    }
    chars.clear();
    fileComment = kNone;
    sections.clear();
    entries.clear();
    slots.clear();
    sectionSlots.clear();
    keyCount = 0;
}

void ProfileText::Parse(const std::string& text) {
    Clear();
    const std::size_t mark = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    // Room for a save's new values without moving the text.
    chars.reserve(text.size() + 1024);
    chars.push_back('\0');
    chars.append(text, mark);
    chars.push_back('\0');

    char* const base = chars.data();
    const auto offset = [base](const char* at) {
        return at != nullptr ? static_cast<std::size_t>(at - base) : kNone;
    };
    char* at = base + 1;
    fileComment = offset(ReadComment(at, false));

    // The section the next keys go to: the unnamed one until a '[' line names another. Looked
    // up once for all of its keys (a name, once the reading has cut it off, stays as it is).
    const char* section = base;
    std::size_t current = kNone;
    while (*at != '\0') {
        const char* comment = nullptr;
        char* key = nullptr;
        char* value = nullptr;
        bool header = false;
        while (*at != '\0') {
            at = PastBlanks(at);
            if (*at == '\0') {
                break;
            }
            if (IsComment(*at)) {
                comment = ReadComment(at, true);
                continue;
            }
            if (*at == '[') {
                char* const name = PastBlanks(at + 1);
                section = name;
                current = kNone;
                at = name + std::strcspn(name, "]\r\n");
                if (*at != ']') {
                    continue;
                }
                *TrimEnd(name, at) = '\0';
                at = LineEnd(at + 1);
                header = true;
                break;
            }
            key = at;
            at += std::strcspn(at, "=\r\n");
            if (*at != '=') {
                continue;
            }
            if (at == key) {
                at = LineEnd(at);
                continue;
            }
            *TrimEnd(key, at) = '\0';
            value = at + 1 + std::strspn(at + 1, " \t");
            at = LineEnd(value);
            char* const valueEnd = at;
            if (*at != '\0') {
                at = PastLineEnd(at);
            }
            *TrimEnd(value, valueEnd) = '\0';
            break;
        }
        if (!header && value == nullptr) {
            break;
        }
        if (current == kNone) {
            const std::uint64_t hash = NameHash(section);
            current = FindSection(section, hash);
            if (current == kNone) {
                // A section's comment is the one before its header, not before a key opening it.
                current = AddSection(offset(section), hash, header ? offset(comment) : kNone);
            }
        }
        if (!header) {
            AddEntry(static_cast<std::uint32_t>(current), offset(key), offset(value),
                     offset(comment));
        }
    }
}

std::size_t ProfileText::Store(const char* text) {
    const std::size_t at = chars.size();
    chars.append(text);
    chars.push_back('\0');
    return at;
}

std::size_t ProfileText::FindSection(const char* name, std::uint64_t hash) const {
    if (sectionSlots.empty()) {
        return kNone;
    }
    const std::size_t mask = sectionSlots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::int32_t i = sectionSlots[slot];
        if (i < 0) {
            return kNone;
        }
        const Section& s = sections[static_cast<std::size_t>(i)];
        if (s.hash == hash && SameName(chars.data() + s.name, name)) {
            return static_cast<std::size_t>(i);
        }
    }
}

std::uint32_t ProfileText::AddSection(std::size_t name, std::uint64_t hash, std::size_t comment) {
    sections.push_back(Section{name, comment, hash, -1, -1});
    if (sections.size() * 2 > sectionSlots.size()) {
        sectionSlots.assign(std::max<std::size_t>(16, sectionSlots.size() * 2), -1);
        for (std::size_t i = 0; i + 1 < sections.size(); ++i) {
            Place(sectionSlots, sections[i].hash, static_cast<std::int32_t>(i));
        }
    }
    const auto index = static_cast<std::int32_t>(sections.size() - 1);
    Place(sectionSlots, hash, index);
    return static_cast<std::uint32_t>(index);
}

std::int32_t ProfileText::FindKey(std::uint32_t section, const char* key,
                                  std::uint64_t hash) const {
    if (slots.empty()) {
        return -1;
    }
    const std::size_t mask = slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::int32_t head = slots[slot];
        if (head < 0) {
            return -1;
        }
        const Entry& e = entries[static_cast<std::size_t>(head)];
        if (e.hash == hash && e.section == section && SameName(chars.data() + e.key, key)) {
            return head;
        }
    }
}

// Puts a key's head into the table, doubling it first when it would be more than half full.
void ProfileText::Index(std::int32_t head) {
    if ((keyCount + 1) * 2 > slots.size()) {
        slots.assign(slots.empty() ? 128 : slots.size() * 2, -1);
        keyCount = 0;
        for (const Section& s : sections) {
            for (std::int32_t h = s.firstKey; h >= 0;
                 h = entries[static_cast<std::size_t>(h)].nextKey) {
                if (h != head) {
                    Index(h);
                }
            }
        }
    }
    Place(slots, entries[static_cast<std::size_t>(head)].hash, head);
    ++keyCount;
}

void ProfileText::AddEntry(std::uint32_t section, std::size_t key, std::size_t value,
                           std::size_t comment) {
    const char* const name = chars.data() + key;
    const std::uint64_t hash = KeyHash(section, name);
    const std::int32_t head = FindKey(section, name, hash);
    const auto index = static_cast<std::int32_t>(entries.size());
    entries.push_back(Entry{key, value, comment, hash, section, -1, index, -1});
    if (head >= 0) {
        Entry& first = entries[static_cast<std::size_t>(head)];
        entries[static_cast<std::size_t>(first.last)].next = index;
        first.last = index;
        return;
    }
    Section& s = sections[section];
    if (s.lastKey >= 0) {
        entries[static_cast<std::size_t>(s.lastKey)].nextKey = index;
    } else {
        s.firstKey = index;
    }
    s.lastKey = index;
    Index(index);
}

const char* ProfileText::Find(const char* section, const char* key) const {
    const std::size_t s = FindSection(section, NameHash(section));
    if (s == kNone) {
        return nullptr;
    }
    const auto index = static_cast<std::uint32_t>(s);
    const std::int32_t head = FindKey(index, key, KeyHash(index, key));
    return head >= 0 ? chars.data() + entries[static_cast<std::size_t>(head)].value : nullptr;
}

bool ProfileText::Set(const char* section, const char* key, const std::string& value) {
    const std::uint64_t sectionHash = NameHash(section);
    std::size_t s = FindSection(section, sectionHash);
    if (s == kNone) {
        s = AddSection(Store(section), sectionHash, kNone);
    }
    const auto index = static_cast<std::uint32_t>(s);
    const std::int32_t head = FindKey(index, key, KeyHash(index, key));
    if (head < 0) {
        const std::size_t name = Store(key);
        AddEntry(index, name, Store(value.c_str()), kNone);
        return true;
    }
    Entry& first = entries[static_cast<std::size_t>(head)];
    if (first.next < 0 && value == chars.data() + first.value) {
        return false;
    }
    // The key as the writer spells it, the first occurrence's place and comment; the other
    // occurrences are left out of the key.
    first.key = Store(key);
    first.value = Store(value.c_str());
    first.next = -1;
    first.last = head;
    return true;
}

std::string ProfileText::Serialise() const {
    std::string out;
    out.reserve(chars.size() + sections.size() * 8 + entries.size() * 4);
    const char* const base = chars.data();
    const auto lines = [&out, base](std::size_t text) {
        if (base[text] == '\0') {
            return;
        }
        for (const char* line = base + text;;) {
            const char* end = std::strchr(line, '\n');
            if (end == nullptr) {
                out += line;
                out += kLineEnd;
                return;
            }
            out.append(line, end);
            out += kLineEnd;
            line = end + 1;
        }
    };

    bool blankLine = false;
    if (fileComment != kNone) {
        lines(fileComment);
        blankLine = true;
    }
    const auto write = [&](const Section& s) {
        if (s.comment != kNone) {
            if (blankLine) {
                out += kLineEnd;
                out += kLineEnd;
            }
            lines(s.comment);
            blankLine = false;
        }
        if (blankLine) {
            out += kLineEnd;
            out += kLineEnd;
        }
        if (base[s.name] != '\0') {
            out += '[';
            out += base + s.name;
            out += ']';
            out += kLineEnd;
        }
        for (std::int32_t h = s.firstKey; h >= 0;
             h = entries[static_cast<std::size_t>(h)].nextKey) {
            const char* const key = base + entries[static_cast<std::size_t>(h)].key;
            for (std::int32_t v = h; v >= 0; v = entries[static_cast<std::size_t>(v)].next) {
                const Entry& e = entries[static_cast<std::size_t>(v)];
                if (e.comment != kNone) {
                    out += kLineEnd;
                    lines(e.comment);
                }
                out += key;
                out += '=';
                out += base + e.value;
                out += kLineEnd;
            }
        }
        blankLine = true;
    };
    // The unnamed section's keys come first, whatever their place in the file.
    std::size_t unnamed = kNone;
    for (std::size_t i = 0; i < sections.size() && unnamed == kNone; ++i) {
        if (base[sections[i].name] == '\0') {
            unnamed = i;
            write(sections[i]);
        }
    }
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (i != unnamed) {
            write(sections[i]);
        }
    }
    return out;
}

} // namespace platform
