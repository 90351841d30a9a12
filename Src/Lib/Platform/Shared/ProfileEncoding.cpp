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

void DecodeUtf8(std::string_view bytes, std::u16string& text) {
    const auto byte = [&bytes](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::uint8_t lead = byte(i);
        if (lead < 0x80) {
            text += static_cast<char16_t>(lead);
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
            text += kReplacement;
            i += length == 0 ? 1 : got;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            text += static_cast<char16_t>(0xD800 | code >> 10);
            text += static_cast<char16_t>(0xDC00 | (code & 0x3FF));
        } else {
            text += static_cast<char16_t>(code);
        }
        i += length;
    }
}

void EncodeUtf8(std::u16string_view text, std::string& bytes) {
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
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | code >> 6);
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | code >> 12);
            bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | code >> 18);
            bytes += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
}

} // namespace

ProfileEncoding DecodeProfile(std::string_view bytes, std::u16string& text) {
    text.clear();
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        DecodeUtf8(bytes.substr(3), text);
        return ProfileEncoding::kUtf8;
    }
    const bool little = bytes.substr(0, 2) == "\xFF\xFE";
    if (little || bytes.substr(0, 2) == "\xFE\xFF") {
        // A last odd byte is no character, and is left out.
        const std::size_t units = (bytes.size() - 2) / 2;
        text.resize(units);
        for (std::size_t i = 0; i < units; ++i) {
            const auto first = static_cast<std::uint8_t>(bytes[2 + 2 * i]);
            const auto second = static_cast<std::uint8_t>(bytes[3 + 2 * i]);
            text[i] = static_cast<char16_t>(little ? second << 8 | first : first << 8 | second);
        }
        return little ? ProfileEncoding::kUtf16Le : ProfileEncoding::kUtf16Be;
    }
    AnsiToUtf16(bytes, text);
    return ProfileEncoding::kAnsi;
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
        bytes.reserve(2 + text.size() * 2);
        bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const char16_t c : text) {
            const auto low = static_cast<char>(c & 0xFF);
            const auto high = static_cast<char>(c >> 8);
            bytes += little ? low : high;
            bytes += little ? high : low;
        }
        return;
    }
    }
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
    ansi.reserve(ansi.size() + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        ansi += AnsiOf(text[i]);
        // A pair of surrogates is one character, and one '?'.
        if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            ++i;
        }
    }
}

} // namespace platform
