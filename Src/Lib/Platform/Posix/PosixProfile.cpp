// The settings file on a platform without profile functions of its own: read and edited by
// ProfileText as the simulator platform's functions read and edit it. A load or save is one
// batch: the file is read once and written once (not at all when nothing changed), to a new file
// that then replaces the old one, so an interrupted save never leaves half a settings file behind.
// A damaged section header the batch's reading repairs is written back even by a load, as the
// Windows gauge does before its first read.
#include "Lib/Platform/Profile.h"

#include "Lib/Platform/Platform.h"
#include "Lib/Platform/Shared/ProfileText.h"
#include "Lib/Platform/Shared/WholeFile.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

namespace platform {

namespace {

struct OpenProfile {
    std::string path;
    ProfileText text;
    // The text `text` is the reading of, while no write has changed it (`current`).
    std::string readFrom;
    bool current = false;
    bool open = false;
    bool dirty = false;
};

// The profile of the batch in progress when open (UI thread only). It stays between batches:
// the next one reuses its storage, and its reading too when it finds the same text (a save
// right after a load, or a load after a save that changed nothing). A codec check runs
// thousands of batches a second.
OpenProfile batch;
// A text longer than this (no settings file is) is not kept for the next batch.
constexpr std::size_t kKeptText = 64 * 1024;
int batchDepth = 0;
// The text standing in for a file, if any (UI thread only).
ProfileInMemory* memory = nullptr;

} // namespace

// Where a path's text comes from and goes to: the text in memory for its path, else the file.
struct ProfileStore {
    static ProfileInMemory* For(const std::string& path) {
        return memory != nullptr && memory->path == path ? memory : nullptr;
    }
    // The text in memory for the path, read where it is held; null for a file.
    static const std::string* Held(const std::string& path) {
        const ProfileInMemory* m = For(path);
        return m != nullptr ? &m->text : nullptr;
    }
    // False when there is no file to read (none, or not a plain file).
    static bool Read(const std::string& path, std::string& text) {
        std::error_code ec;
        // Only a plain file is read: a folder or a device in its place reads as no file at all.
        if (!std::filesystem::is_regular_file(path, ec)) {
            return false;
        }
        return ReadWholeFile(path, text);
    }
    // A file is written to a new file that then replaces the old one.
    static bool Write(const std::string& path, std::string&& text) {
        if (ProfileInMemory* m = For(path)) {
            m->text = std::move(text);
            return true;
        }
        return WriteWholeFile(path, text);
    }
};

namespace {

// The path's text: the one held in memory, else the file's, read into `read`. No file reads as
// an empty text would: as nothing.
const std::string& TextOf(const std::string& path, std::string& read) {
    if (const std::string* held = ProfileStore::Held(path)) {
        return *held;
    }
    ProfileStore::Read(path, read);
    return read;
}

// Reads the path's text into the profile. With `kept` (the batch's), a text that is the one its
// reading was made from is not read again, and a new reading is kept for the next batch. A
// damaged file reads as far as it is readable; what cannot be read is missing.
void LoadInto(ProfileText& profile, const std::string& path, OpenProfile* kept = nullptr) {
    try {
        std::string read;
        const std::string& text = TextOf(path, read);
        if (kept != nullptr) {
            if (kept->current && text == kept->readFrom) {
                return;
            }
            kept->current = false;
        }
        profile.Parse(text);
        if (kept != nullptr && text.size() <= kKeptText) {
            kept->readFrom = text;
            kept->current = true;
        }
    } catch (const std::bad_alloc&) {
        profile.Clear();
        if (kept != nullptr) {
            kept->current = false;
        }
        WriteDiagnostic("zelvan: the settings file " + path + " is too large to read");
    }
}

std::string FirstValue(const ProfileText& profile, const char* section, const char* key,
                       const char* defaultText) {
    std::string value;
    if (!profile.Find(section, key, value)) {
        value = defaultText;
    }
    return value;
}

bool SaveAtomically(const ProfileText& profile, const std::string& path) {
    return ProfileStore::Write(path, profile.Serialise());
}

void ReportWriteFailure(const std::string& path) {
    WriteDiagnostic("zelvan: the settings file " + path + " could not be written");
}

} // namespace

std::string ProfileRead(const std::string& path, const char* section, const char* key,
                        const char* defaultText) {
    if (path.empty()) {
        return defaultText;
    }
    if (batch.open && batch.path == path) {
        return FirstValue(batch.text, section, key, defaultText);
    }
    ProfileText profile;
    LoadInto(profile, path);
    return FirstValue(profile, section, key, defaultText);
}

bool ProfileWrite(const std::string& path, const char* section, const char* key,
                  const std::string& value) {
    if (path.empty()) {
        return false;
    }
    if (batch.open && batch.path == path) {
        if (batch.text.Set(section, key, value)) {
            batch.dirty = true;
            batch.current = false;
        }
        return true;
    }
    ProfileText profile;
    LoadInto(profile, path);
    // A key that holds the value already is left alone, and so is the file.
    if (!profile.Set(section, key, value) && !profile.Repaired()) {
        return true;
    }
    if (!SaveAtomically(profile, path)) {
        ReportWriteFailure(path);
        return false;
    }
    return true;
}

ProfileBatch::ProfileBatch(const std::string& path) {
    if (batchDepth++ > 0 || path.empty()) {
        return; // nested batches join the outer one
    }
    batch.path = path;
    batch.open = true;
    LoadInto(batch.text, path, &batch);
    batch.dirty = batch.text.Repaired();
}

ProfileBatch::~ProfileBatch() {
    if (--batchDepth > 0 || !batch.open) {
        return;
    }
    if (batch.dirty && !SaveAtomically(batch.text, batch.path)) {
        ReportWriteFailure(batch.path);
    }
    batch.open = false;
    if (!batch.current) {
        batch.text.Clear();
    }
}

ProfileInMemory::ProfileInMemory(std::string p, std::string t)
    : path(std::move(p)), text(std::move(t)) {
    memory = this;
}

ProfileInMemory::~ProfileInMemory() {
    if (memory == this) {
        memory = nullptr;
    }
}

} // namespace platform
