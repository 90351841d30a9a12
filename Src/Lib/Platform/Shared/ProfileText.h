// The settings file's text as the simulator platform's profile functions read and write it, and
// edited as they edit it: a write changes one key's value in place (or adds the key to its
// section, or the section to the file) and keeps every other byte of the file. The rules are in
// ProfileLines.cpp; this keeps the file's encoding, and edits a file in the ANSI code page (nearly
// every one) byte for byte and any other as UTF-16.
#pragma once

#include "Lib/Platform/Shared/ProfileEncoding.h"
#include "Lib/Platform/Shared/ProfileLines.h"

#include <string>
#include <string_view>

namespace platform {

class ProfileText {
public:
    // Replaces what is held with the file's bytes (any text reads; what cannot be read is
    // missing). A section header without its ']' is made whole: see Repaired.
    void Parse(std::string_view bytes);
    // Holds nothing, as a missing or empty file.
    void Clear();
    // The key's value as the module reads it (one pair of quotes around it dropped, at most
    // ProfileLines::kLongestValue bytes, in the ANSI code page); false when the section or the key
    // is missing or the key's line has no '='.
    bool Find(const char* section, const char* key, std::string& value) const;
    // Gives the key the value (ANSI text). False when it held exactly that value: nothing changed.
    bool Set(const char* section, const char* key, std::string_view value);
    // The file's bytes as a save writes them.
    std::string Serialise() const;
    // True when Parse terminated a damaged section header: the text is not the file's any more.
    bool Repaired() const;

private:
    bool Wide() const { return encoding != ProfileEncoding::kAnsi; }

    ProfileEncoding encoding = ProfileEncoding::kAnsi;
    // The file in the ANSI code page, as its bytes.
    ProfileLines<char> ansi;
    // The file in any other encoding, as UTF-16.
    ProfileLines<char16_t> wide;
    // Scratch space for a file's text decoded to UTF-16.
    std::u16string decoded;
};

} // namespace platform
