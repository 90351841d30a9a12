// The settings file as the platform keeps it: an INI text of sections and key=value lines, and
// the per-user folder it lives in.
#pragma once

#include <string>

namespace platform {

// The text of a key, or the default when the file, the section or the key is missing.
std::string ProfileRead(const std::string& path, const char* section, const char* key,
                        const char* defaultText);
// Writes one key. Outside a batch the file is rewritten at once. False when it could not be.
bool ProfileWrite(const std::string& path, const char* section, const char* key,
                  const std::string& value);

// Groups the reads and writes of one load or save: the file is read once when the batch opens
// and written once, whole, when it closes. Without this a save would rewrite the file per key.
class ProfileBatch {
public:
    explicit ProfileBatch(const std::string& path);
    ~ProfileBatch();
    ProfileBatch(const ProfileBatch&) = delete;
    ProfileBatch& operator=(const ProfileBatch&) = delete;
};

// The per-user base folder for game settings; empty when the platform has none.
std::string UserSettingsFolder();
// Makes the folder and its parents; false when it does not exist afterwards.
bool CreateFolderTree(const std::string& folder);
// The path made absolute; empty when that is not possible.
std::string AbsolutePath(const std::string& path);
// The platform's folder separator.
char FolderSeparator();

} // namespace platform
