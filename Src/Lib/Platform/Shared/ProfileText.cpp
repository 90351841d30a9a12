// The settings file in its encoding. A file in the ANSI code page is its own text: its bytes are
// read and edited as they stand. A file with a byte order mark is edited as UTF-16, and a value
// read is converted to ANSI. Both read and edit alike (ANSI converts to UTF-16 one to one and
// back), so which one a file goes through cannot be told from what it reads or what a save writes.
#include "Lib/Platform/Shared/ProfileText.h"

namespace platform {

void ProfileText::Clear() {
    if (decoded.capacity() > 64 * 1024) {
        decoded = std::u16string{};
    }
    encoding = ProfileEncoding::kAnsi;
    ansi.Clear();
    wide.Clear();
}

void ProfileText::Parse(std::string_view bytes) {
    Clear();
    encoding = EncodingOf(bytes);
    if (!Wide()) {
        ansi.Parse(bytes);
        return;
    }
    DecodeProfile(bytes, decoded);
    wide.Parse(decoded);
}

bool ProfileText::Find(const char* section, const char* key, std::string& value) const {
    if (!Wide()) {
        std::string_view found;
        if (!ansi.Find(section, key, found)) {
            return false;
        }
        value.assign(found);
        return true;
    }
    std::u16string_view found;
    if (!wide.Find(section, key, found)) {
        return false;
    }
    value.clear();
    Utf16ToAnsi(found, value);
    return true;
}

bool ProfileText::Set(const char* section, const char* key, std::string_view value) {
    return Wide() ? wide.Set(section, key, value) : ansi.Set(section, key, value);
}

std::string ProfileText::Serialise() const {
    if (!Wide()) {
        return ansi.Text();
    }
    std::string bytes;
    EncodeProfile(encoding, wide.Text(), bytes);
    return bytes;
}

bool ProfileText::Repaired() const {
    return Wide() ? wide.Repaired() : ansi.Repaired();
}

} // namespace platform
