// Replacing a file whole, as the settings file is saved: the one step of a save that each
// operating system spells its own way.
#pragma once

#include <string>

namespace platform {

// Puts the file `temporary` in the place of `path` in one step: a reader sees either the old
// file or the new one, never a part. False when it could not be done (`temporary` then stays).
bool ReplaceFileWith(const std::string& temporary, const std::string& path);

} // namespace platform
