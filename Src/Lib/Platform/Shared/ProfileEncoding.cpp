#include "Lib/Platform/Shared/ProfileEncoding.h"

#include <array>
#include <cstdint>

namespace platform {

namespace {

// Windows-1252's bytes 0x80 to 0x9F; the five it leaves undefined map to the control characters
// of the same number, as the system's table has them, so that every byte converts and back.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::array<char16_t, 256> kAnsi = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t byte = 0; byte < 256; ++byte) {
        table[byte] =
            byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<char16_t>(byte);
    }
    return table;
}();

char AnsiOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

constexpr char16_t kReplacement = 0xFFFD;

// The converters write into the string grown to the most the text can take and then cut to what
// it took: a file is converted a character at a time, and thousands of times a second in a check.

void DecodeUtf8(std::string_view bytes, std::u16string& text) {
    const std::size_t start = text.size();
    text.resize(start + bytes.size()); // a byte gives at most one unit, four give two
    char16_t* const first = text.data() + start;
    char16_t* out = first;
    const auto byte = [&bytes](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::uint8_t lead = byte(i);
        if (lead < 0x80) {
            *out++ = static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        std::uint32_t code = lead & (0x7F >> length);
        std::size_t got = 1;
        while (length > 0 && got < length && i + got < bytes.size() &&
               (byte(i + got) & 0xC0) == 0x80) {
            code = code << 6 | (byte(i + got) & 0x3F);
            ++got;
        }
        constexpr std::array<std::uint32_t, 5> kLeast{0, 0, 0x80, 0x800, 0x10000};
        if (length == 0 || lead > 0xF4 || got < length || code < kLeast[length] ||
            code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
            *out++ = kReplacement;
            i += length == 0 ? 1 : got;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 | code >> 10);
            *out++ = static_cast<char16_t>(0xDC00 | (code & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(code);
        }
        i += length;
    }
    text.resize(start + static_cast<std::size_t>(out - first));
}

void EncodeUtf8(std::u16string_view text, std::string& bytes) {
    const std::size_t start = bytes.size();
    bytes.resize(start + 3 * text.size()); // a unit gives at most three bytes, a pair four
    char* const first = bytes.data() + start;
    char* out = first;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10 | (text[i + 1] - 0xDC00));
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = kReplacement; // half of a pair
        }
        if (code < 0x80) {
            *out++ = static_cast<char>(code);
        } else if (code < 0x800) {
            *out++ = static_cast<char>(0xC0 | code >> 6);
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            *out++ = static_cast<char>(0xE0 | code >> 12);
            *out++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | code >> 18);
            *out++ = static_cast<char>(0x80 | (code >> 12 & 0x3F));
            *out++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    bytes.resize(start + static_cast<std::size_t>(out - first));
}

} // namespace

ProfileEncoding EncodingOf(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        return ProfileEncoding::kUtf8;
    }
    if (bytes.substr(0, 2) == "\xFF\xFE") {
        return ProfileEncoding::kUtf16Le;
    }
    if (bytes.substr(0, 2) == "\xFE\xFF") {
        return ProfileEncoding::kUtf16Be;
    }
    return ProfileEncoding::kAnsi;
}

ProfileEncoding DecodeProfile(std::string_view bytes, std::u16string& text) {
    text.clear();
    const ProfileEncoding encoding = EncodingOf(bytes);
    switch (encoding) {
    case ProfileEncoding::kAnsi:
        AnsiToUtf16(bytes, text);
        break;
    case ProfileEncoding::kUtf8:
        DecodeUtf8(bytes.substr(3), text);
        break;
    case ProfileEncoding::kUtf16Le:
    case ProfileEncoding::kUtf16Be: {
        const bool little = encoding == ProfileEncoding::kUtf16Le;
        // A last odd byte is no character, and is left out.
        const std::size_t units = (bytes.size() - 2) / 2;
        text.resize(units);
        for (std::size_t i = 0; i < units; ++i) {
            const auto first = static_cast<std::uint8_t>(bytes[2 + 2 * i]);
            const auto second = static_cast<std::uint8_t>(bytes[3 + 2 * i]);
            text[i] = static_cast<char16_t>(little ? second << 8 | first : first << 8 | second);
        }
        break;
    }
    }
    return encoding;
}

void EncodeProfile(ProfileEncoding encoding, std::u16string_view text, std::string& bytes) {
    bytes.clear();
    switch (encoding) {
    case ProfileEncoding::kAnsi:
        Utf16ToAnsi(text, bytes);
        return;
    case ProfileEncoding::kUtf8:
        bytes = "\xEF\xBB\xBF";
        EncodeUtf8(text, bytes);
        return;
    case ProfileEncoding::kUtf16Le:
    case ProfileEncoding::kUtf16Be: {
        const bool little = encoding == ProfileEncoding::kUtf16Le;
        bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        bytes.resize(2 + 2 * text.size());
        char* out = bytes.data() + 2;
        for (const char16_t c : text) {
            const auto low = static_cast<char>(c & 0xFF);
            const auto high = static_cast<char>(c >> 8);
            *out++ = little ? low : high;
            *out++ = little ? high : low;
        }
        return;
    }
    }
}

char16_t AnsiCharacter(char byte) {
    return kAnsi[static_cast<std::uint8_t>(byte)];
}

void AnsiToUtf16(std::string_view ansi, std::u16string& text) {
    const std::size_t start = text.size();
    text.resize(start + ansi.size());
    char16_t* out = text.data() + start;
    const char* in = ansi.data();
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        out[i] = kAnsi[static_cast<std::uint8_t>(in[i])];
    }
}

void Utf16ToAnsi(std::u16string_view text, std::string& ansi) {
    const std::size_t start = ansi.size();
    ansi.resize(start + text.size());
    char* const first = ansi.data() + start;
    char* out = first;
    for (std::size_t i = 0; i < text.size(); ++i) {
        *out++ = AnsiOf(text[i]);
        // A pair of surrogates is one character, and one '?'.
        if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            ++i;
        }
    }
    ansi.resize(start + static_cast<std::size_t>(out - first));
}

} // namespace platform
