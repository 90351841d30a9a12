// The settings file on SimpleIni, one reader and writer for every platform. Sections and keys are
// matched without regard to case, as the simulator's platform does. A write goes to a new file
// that then replaces the old one, so an interrupted save never leaves half a settings file behind.
#include "Lib/Platform/Profile.h"

#include "Lib/Platform/FileReplace.h"
#include "Lib/Platform/Platform.h"

// The file holds text in the ANSI code page, as the simulator platform's INI functions do.
#define SI_NO_CONVERSION
// This is the one translation unit that instantiates the reader (Debian ships it header-only
// behind this switch).
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

namespace platform {

namespace {

struct OpenProfile {
    std::string path;
    CSimpleIniA ini{false, false, false};
    bool dirty = false;
};

// The profile of the batch in progress, if any (UI thread only).
std::unique_ptr<OpenProfile> batch;
int batchDepth = 0;

void LoadInto(CSimpleIniA& ini, const std::string& path) {
    ini.SetSpaces(false);
    std::error_code ec;
    // Only a plain file is read: a folder or a device in its place reads as no file at all.
    if (!std::filesystem::is_regular_file(path, ec)) {
        return;
    }
    try {
        // A damaged file reads as far as it is readable; what cannot be read is missing.
        ini.LoadFile(path.c_str());
    } catch (const std::bad_alloc&) {
        ini.Reset();
        WriteDiagnostic("zelvan: the settings file " + path + " is too large to read");
    }
}

bool SaveAtomically(const CSimpleIniA& ini, const std::string& path) {
    std::string text;
    if (ini.Save(text) < 0) {
        return false;
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
        return batch->ini.GetValue(section, key, defaultText);
    }
    CSimpleIniA ini(false, false, false);
    LoadInto(ini, path);
    return ini.GetValue(section, key, defaultText);
}

bool ProfileWrite(const std::string& path, const char* section, const char* key,
                  const std::string& value) {
    if (path.empty()) {
        return false;
    }
    if (batch != nullptr && batch->path == path) {
        batch->ini.SetValue(section, key, value.c_str());
        batch->dirty = true;
        return true;
    }
    CSimpleIniA ini(false, false, false);
    LoadInto(ini, path);
    ini.SetValue(section, key, value.c_str());
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

} // namespace platform
