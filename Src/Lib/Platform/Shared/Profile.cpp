// The settings file on SimpleIni, one reader and writer for every platform. Sections and keys are
// matched without regard to case, as the simulator's platform does. A key written twice in a
// section (a hand-edited file) reads as its first occurrence, as there too; the reader keeps every
// occurrence so that a save replaces them all with the one value written and leaves no stale copy
// behind. A write goes to a new file that then replaces the old one, so an interrupted save never
// leaves half a settings file behind.
#include "Lib/Platform/Profile.h"

#include "Lib/Platform/FileReplace.h"
#include "Lib/Platform/Platform.h"

// The file holds text in the ANSI code page, as the simulator platform's INI functions do.
#define SI_NO_CONVERSION
// This is the one translation unit that instantiates the reader (Debian ships it header-only
// behind this switch).
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <utility>

namespace platform {

namespace {

// Each byte's rank in the order of sections and keys: A-Z folded to a-z, every other byte ranked
// as the signed char it is, the terminator below them all. This is the reader's own
// case-insensitive order (the file's section and key order on save does not depend on it, but
// lookups do), made a table lookup per character instead of range tests: every load, read,
// write and save walks the reader's trees with it.
constexpr std::array<std::int16_t, 256> kRank = [] {
    std::array<std::int16_t, 256> rank{};
    for (int byte = 1; byte < 256; ++byte) {
        int folded = byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
        folded = folded > 127 ? folded - 256 : folded; // as a signed char
        rank[static_cast<std::size_t>(byte)] = static_cast<std::int16_t>(folded + 129);
    }
    return rank;
}();

struct NoCaseLess {
    bool operator()(const char* left, const char* right) const {
        // Through the table's pointer: a byte cannot index past it, so no checked access.
        const std::int16_t* rank = kRank.data();
        for (;; ++left, ++right) {
            const int l = rank[static_cast<unsigned char>(*left)];
            const int r = rank[static_cast<unsigned char>(*right)];
            if (l != r) {
                return l < r;
            }
            if (l == 0) {
                return false;
            }
        }
    }
};

using Ini = CSimpleIniTempl<char, NoCaseLess, SI_ConvertA<char>>;

struct OpenProfile {
    std::string path;
    Ini ini{false, true, false};
    bool dirty = false;
};

// The profile of the batch in progress, if any (UI thread only).
std::unique_ptr<OpenProfile> batch;
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
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr) {
            return false;
        }
        char chunk[4096];
        std::size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
            text.append(chunk, n);
        }
        std::fclose(f);
        return true;
    }
    // A file is written to a new file that then replaces the old one.
    static bool Write(const std::string& path, std::string&& text) {
        if (ProfileInMemory* m = For(path)) {
            m->text = std::move(text);
            return true;
        }
        const std::string temporary = path + ".new";
        std::FILE* f = std::fopen(temporary.c_str(), "wb");
        if (f == nullptr) {
            return false;
        }
        const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
        const bool closed = std::fclose(f) == 0;
        if (!written || !closed || !ReplaceFileWith(temporary, path)) {
            std::remove(temporary.c_str());
            return false;
        }
        return true;
    }
};

namespace {

void LoadInto(Ini& ini, const std::string& path) {
    ini.SetSpaces(false);
    try {
        // A damaged file reads as far as it is readable; what cannot be read is missing.
        if (const std::string* held = ProfileStore::Held(path)) {
            ini.LoadData(held->data(), held->size());
            return;
        }
        std::string text;
        if (ProfileStore::Read(path, text)) {
            ini.LoadData(text);
        }
    } catch (const std::bad_alloc&) {
        ini.Reset();
        WriteDiagnostic("zelvan: the settings file " + path + " is too large to read");
    }
}

// The first occurrence of the key in the file's order.
std::string FirstValue(const Ini& ini, const char* section, const char* key,
                       const char* defaultText) {
    bool several = false;
    const char* only = ini.GetValue(section, key, nullptr, &several);
    if (only == nullptr) {
        return defaultText;
    }
    if (!several) {
        return only; // the common case, without a list of every occurrence
    }
    Ini::TNamesDepend values;
    if (!ini.GetAllValues(section, key, values) || values.empty()) {
        return defaultText;
    }
    values.sort(Ini::Entry::LoadOrder());
    return values.front().pItem;
}

// Replaces every occurrence of the key with one entry where the first one was. A key that holds
// the value once already is left alone: false, nothing changed. (Most keys of a periodic save
// are unchanged, and a save that changes nothing leaves the file as it is.)
bool ReplaceValue(Ini& ini, const char* section, const char* key, const std::string& value) {
    bool several = false;
    const char* present = ini.GetValue(section, key, nullptr, &several);
    if (present != nullptr && !several && value == present) {
        return false;
    }
    ini.SetValue(section, key, value.c_str(), nullptr, true);
    return true;
}

bool SaveAtomically(const Ini& ini, const std::string& path) {
    std::string text;
    if (ini.Save(text) < 0) {
        return false;
    }
    return ProfileStore::Write(path, std::move(text));
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
    if (batch != nullptr && batch->path == path) {
        return FirstValue(batch->ini, section, key, defaultText);
    }
    Ini ini(false, true, false);
    LoadInto(ini, path);
    return FirstValue(ini, section, key, defaultText);
}

bool ProfileWrite(const std::string& path, const char* section, const char* key,
                  const std::string& value) {
    if (path.empty()) {
        return false;
    }
    if (batch != nullptr && batch->path == path) {
        if (ReplaceValue(batch->ini, section, key, value)) {
            batch->dirty = true;
        }
        return true;
    }
    Ini ini(false, true, false);
    LoadInto(ini, path);
    if (!ReplaceValue(ini, section, key, value)) {
        return true;
    }
    if (!SaveAtomically(ini, path)) {
        ReportWriteFailure(path);
        return false;
    }
    return true;
}

ProfileBatch::ProfileBatch(const std::string& path) {
    if (batchDepth++ > 0 || path.empty()) {
        return; // nested batches join the outer one
    }
    batch = std::make_unique<OpenProfile>();
    batch->path = path;
    LoadInto(batch->ini, path);
}

ProfileBatch::~ProfileBatch() {
    if (--batchDepth > 0 || batch == nullptr) {
        return;
    }
    if (batch->dirty && !SaveAtomically(batch->ini, batch->path)) {
        ReportWriteFailure(batch->path);
    }
    batch.reset();
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
