#include "Bench/Host/SimRoot.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace bench {

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error(path + ": cannot be read");
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error(path.string() + ": cannot be written");
    }
}

// Makes the library lack one entry point: every copy of the name in its symbol tables gets a
// different last letter, so the dynamic loader no longer finds the name (its hash no longer
// matches either) while every other symbol stays as it was.
std::string WithoutEntryPoint(std::string bytes, const std::string& name) {
    const std::string needle = std::string(1, '\0') + name + std::string(1, '\0');
    std::size_t found = 0;
    for (std::size_t at = bytes.find(needle); at != std::string::npos;
         at = bytes.find(needle, at + 1)) {
        bytes[at + name.size()] = bytes[at + name.size()] == '#' ? '%' : '#';
        ++found;
    }
    if (found == 0) {
        throw std::invalid_argument("\"" + name + "\" is not a SimConnect entry point");
    }
    return bytes;
}

} // namespace

void LayOutSimRoot(const std::string& root, const SimRootLayout& layout) {
    const fs::path aircraft = fs::path(root) / kAircraftFolder;
    fs::create_directories(aircraft / "bin");
    fs::create_directories(aircraft / "sound");
    if (layout.simconnect) {
        std::string client = ReadFile(layout.standinLibrary);
        if (!layout.missingEntry.empty()) {
            client = WithoutEntryPoint(std::move(client), layout.missingEntry);
        }
        for (const char* name : {"sc_rtm.dll", "sc_sp1.dll", "sc_acc.dll"}) {
            WriteFile(aircraft / "bin" / name, client);
        }
    }
    if (layout.soundBank && !layout.soundBankFolder.empty()) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(layout.soundBankFolder, ec)) {
            if (entry.path().extension() == ".wav") {
                fs::copy_file(entry.path(), aircraft / "sound" / entry.path().filename(),
                              fs::copy_options::overwrite_existing);
            }
        }
    }
    if (!layout.damagedSound.empty()) {
        WriteFile(aircraft / "sound" / layout.damagedSound,
                  std::string("RIFF\x10\0\0\0WAVEjunk", 16));
    }
}

} // namespace bench
