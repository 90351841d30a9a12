// The encodings a settings file may be kept in, as the simulator platform's profile functions
// tell them apart: a byte order mark makes it UTF-8 or UTF-16 (either byte order), anything else
// is the ANSI code page (Windows-1252 here). The file is edited as UTF-16 whatever it is kept
// in, and the module's names and values, which are ANSI text, are converted at the edges.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class ProfileEncoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

// The file's encoding, told by its first bytes.
ProfileEncoding EncodingOf(std::string_view bytes);
// The file's encoding, and its text in UTF-16 without the mark. ANSI bytes convert one to one and
// back (a file in the ANSI code page keeps every byte through a save); UTF-8 that is no UTF-8
// reads as U+FFFD, as the system's conversion has it.
ProfileEncoding DecodeProfile(std::string_view bytes, std::u16string& text);
// The text as the file keeps it, with the mark of its encoding.
void EncodeProfile(ProfileEncoding encoding, std::u16string_view text, std::string& bytes);

// The character an ANSI byte is.
char16_t AnsiCharacter(char byte);
// ANSI text to UTF-16 and back; a character the code page lacks becomes '?'.
void AnsiToUtf16(std::string_view ansi, std::u16string& text);
void Utf16ToAnsi(std::u16string_view text, std::string& ansi);

} // namespace platform
