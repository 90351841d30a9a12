#pragma once

#include <string>

namespace bench {

struct Scenario;

// The simulator's root folder as the module finds it: the SimConnect client libraries in the
// aircraft's bin folder and the cockpit sounds in its sound folder.
struct SimRootLayout {
    std::string standinLibrary;  // the bench's SimConnect client library
    std::string soundBankFolder; // the bench's own sound bank, if built
};

inline constexpr const char* kAircraftFolder = "SimObjects/Airplanes/PelmoraG_Q-71_Zelvan";

// Lays out the root for a scenario. Throws ScenarioError when the scenario asks for something
// that cannot be laid out (an entry point the client library does not have).
void LayOutSimRoot(const std::string& root, const Scenario& scenario, const SimRootLayout& from);

} // namespace bench
