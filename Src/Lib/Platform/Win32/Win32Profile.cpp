// The settings file on the simulator's platform: every read is one GetPrivateProfileStringA with
// a buffer of 4096 characters and the default text, every write one WritePrivateProfileStringA,
// so the file is read and edited exactly as the system does it. The one thing added: a section
// header without its ']' is terminated once, when a load or save begins (ProfileLines.cpp says
// why), so that the keys under it are read and saved where they are.
#include "Lib/Platform/Platform.h"
#include "Lib/Platform/Profile.h"
#include "Lib/Platform/Shared/ProfileText.h"
#include "Lib/Platform/Shared/WholeFile.h"

#include <windows.h>

#include <cstdio>
#include <new>
#include <string>

namespace platform {

namespace {

constexpr DWORD kReadBuffer = 4096;

// A save that cannot be written is reported once, not once a key (UI thread only).
int batchDepth = 0;
bool reported = false;

// Terminates the file's damaged section headers, if it has any.
void RepairHeaders(const std::string& path) {
    try {
        std::string bytes;
        if (!ReadWholeFile(path, bytes) || bytes.empty()) {
            return;
        }
        ProfileText text;
        text.Parse(bytes);
        if (!text.Repaired()) {
            return;
        }
        // The system keeps the file it read last: it must read the repaired one.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
        if (!WriteWholeFile(path, text.Serialise())) {
            WriteDiagnostic("zelvan: the settings file " + path + " could not be repaired");
        }
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    } catch (const std::bad_alloc&) {
        WriteDiagnostic("zelvan: the settings file " + path + " is too large to read");
    }
}

} // namespace

std::string ProfileRead(const std::string& path, const char* section, const char* key,
                        const char* defaultText) {
    if (path.empty()) {
        return defaultText;
    }
    char buffer[kReadBuffer];
    const DWORD length =
        GetPrivateProfileStringA(section, key, defaultText, buffer, kReadBuffer, path.c_str());
    return std::string(buffer, length);
}

bool ProfileWrite(const std::string& path, const char* section, const char* key,
                  const std::string& value) {
    if (path.empty()) {
        return false;
    }
    if (WritePrivateProfileStringA(section, key, value.c_str(), path.c_str()) == 0) {
        if (!reported) {
            WriteDiagnostic("zelvan: the settings file " + path + " could not be written");
        }
        reported = batchDepth > 0;
        return false;
    }
    return true;
}

ProfileBatch::ProfileBatch(const std::string& path) {
    if (batchDepth++ == 0 && !path.empty()) {
        RepairHeaders(path);
    }
}

ProfileBatch::~ProfileBatch() {
    if (--batchDepth == 0) {
        reported = false;
    }
}

} // namespace platform
