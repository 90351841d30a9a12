// The settings file as the platform keeps it: an INI text of sections and key=value lines, and
// the per-user folder it lives in.
#pragma once

#include <string>

namespace platform {

// The settings file is read and written as the simulator platform's profile functions do it: on
// Windows by them (GetPrivateProfileStringA, WritePrivateProfileStringA), elsewhere by the codec
// in Shared/ProfileText, which reads and edits a file as they do.

// The text of a key, or the default when the file, the section or the key is missing.
std::string ProfileRead(const std::string& path, const char* section, const char* key,
                        const char* defaultText);
// Writes one key. Outside a batch the file is rewritten at once. False when it could not be.
bool ProfileWrite(const std::string& path, const char* section, const char* key,
                  const std::string& value);

// Groups the reads and writes of one load or save. Where the codec keeps the file, it is read
// once when the batch opens and written once when it closes (without this a save would rewrite
// the file per key). On Windows every write is the system's own; the batch only terminates a
// damaged section header first.
class ProfileBatch {
public:
    explicit ProfileBatch(const std::string& path);
    ~ProfileBatch();
    ProfileBatch(const ProfileBatch&) = delete;
    ProfileBatch& operator=(const ProfileBatch&) = delete;
};

// A settings text held in memory in place of the file at `path`: while it lives, every read,
// write and batch of that path works on the text and nothing touches the disk (a codec check
// that runs thousands of loads and saves a second). Not on Windows. The file goes through the same
// text: it is read whole, parsed from the text, and written from the text a save makes.
class ProfileInMemory {
public:
    ProfileInMemory(std::string path, std::string text);
    ~ProfileInMemory();
    ProfileInMemory(const ProfileInMemory&) = delete;
    ProfileInMemory& operator=(const ProfileInMemory&) = delete;

    // What the last save wrote (or the text it started with).
    const std::string& Text() const { return text; }

private:
    friend struct ProfileStore;
    std::string path;
    std::string text;
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
