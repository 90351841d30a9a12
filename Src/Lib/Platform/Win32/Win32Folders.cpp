// The settings file's place on the simulator's platform: the user's Saved Games folder, else
// Documents\My Games, else Documents; files replaced with MoveFileExA.
#include "Lib/Platform/FileReplace.h"
#include "Lib/Platform/Profile.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace platform {

namespace {

// FOLDERID_SavedGames.
constexpr GUID kSavedGames = {
    0x4C5C32FF, 0xBB9D, 0x43B0, {0xB5, 0xB4, 0x2D, 0x72, 0xE5, 0x4E, 0xAA, 0xA4}};
constexpr DWORD kKnownFolderCreateNoAlias = 0x9000;
constexpr int kDocumentsCreate = 0x8005; // CSIDL_PERSONAL | CSIDL_FLAG_CREATE

using GetKnownFolderPathFn = HRESULT(WINAPI*)(REFGUID, DWORD, HANDLE, PWSTR*);

// The file and folder functions take the ANSI code page, as the settings path is kept in.
std::string Narrow(const wchar_t* wide) {
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) {
        return {};
    }
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, out.data(), bytes, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(bytes - 1));
    return out;
}

// Looked up at run time: systems before the known folders lack the function.
std::string SavedGamesFolder() {
    HMODULE shell = GetModuleHandleA("shell32.dll");
    const auto getPath = reinterpret_cast<GetKnownFolderPathFn>(reinterpret_cast<void*>(
        shell != nullptr ? GetProcAddress(shell, "SHGetKnownFolderPath") : nullptr));
    if (getPath == nullptr) {
        return {};
    }
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string folder;
    PWSTR path = nullptr;
    if (SUCCEEDED(getPath(kSavedGames, kKnownFolderCreateNoAlias, nullptr, &path)) &&
        path != nullptr) {
        folder = Narrow(path);
    }
    CoTaskMemFree(path);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return folder;
}

std::wstring DocumentsFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, kDocumentsCreate, nullptr, 0, path))) {
        return {};
    }
    return path;
}

std::string MyGamesFolder(const std::wstring& documents) {
    if (documents.empty()) {
        return {};
    }
    const std::wstring folder = documents + L"\\My Games";
    const int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS) {
        return {};
    }
    return Narrow(folder.c_str());
}

} // namespace

bool ReplaceFileWith(const std::string& temporary, const std::string& path) {
    return MoveFileExA(temporary.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::string UserSettingsFolder() {
    if (std::string saved = SavedGamesFolder(); !saved.empty()) {
        return saved;
    }
    const std::wstring documents = DocumentsFolder();
    if (std::string myGames = MyGamesFolder(documents); !myGames.empty()) {
        return myGames;
    }
    return documents.empty() ? std::string() : Narrow(documents.c_str());
}

bool CreateFolderTree(const std::string& folder) {
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string AbsolutePath(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::string(full, length);
}

char FolderSeparator() {
    return '\\';
}

} // namespace platform
