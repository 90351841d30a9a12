// A settings file read and written whole: read at once into memory, written to a new file that
// then replaces the old one, so that a reader never sees half a save.
#pragma once

#include <string>

namespace platform {

// Appends the file's bytes to `bytes`; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes `bytes` to "PATH.new" and puts that in the place of `path`; false, with neither file
// left half-written, when that cannot be done.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

} // namespace platform
