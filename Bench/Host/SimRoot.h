#pragma once

#include <string>

namespace bench {

// The simulator's root folder as the module finds it: the SimConnect client libraries in the
// aircraft's bin folder and the cockpit sounds in its sound folder.
struct SimRootLayout {
    std::string standinLibrary;  // the bench's SimConnect client library
    std::string soundBankFolder; // the bench's own sound bank, if built
    bool simconnect = true;      // the client libraries are there
    std::string missingEntry{};  // an entry point the client libraries lack; empty: none
    bool soundBank = true;       // the sound bank is there
    std::string damagedSound{};  // a file of the sound folder with a damaged RIFF header
};

inline constexpr const char* kAircraftFolder = "SimObjects/Airplanes/PelmoraG_Q-71_Zelvan";

// Lays out the root. Throws std::invalid_argument when the missing entry point is no entry point
// of the client library, std::runtime_error when a file cannot be read or written.
void LayOutSimRoot(const std::string& root, const SimRootLayout& layout);

} // namespace bench
