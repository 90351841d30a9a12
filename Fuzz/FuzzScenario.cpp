// Feeds arbitrary bytes to the bench's scenario reader. Whatever the file holds, the reader
// either returns a scenario or refuses it with one message on one line that names the file;
// any other exception, a crash or undefined behaviour is a finding.
#include "Bench/Flight/Scenario.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    try {
        const bench::Scenario scenario = bench::ParseScenario(text, "fuzz.json");
        if (scenario.duration < 0.0 || scenario.file != "fuzz.json") {
            std::fprintf(stderr, "accepted a scenario with a negative duration\n");
            std::abort();
        }
    } catch (const bench::ScenarioError& e) {
        const bool oneLine = e.message.find_first_of("\r\n") == std::string::npos;
        if (e.message.rfind("fuzz.json: ", 0) != 0 || !oneLine ||
            e.message.size() <= std::string("fuzz.json: ").size()) {
            std::fprintf(stderr, "not one message naming the file: [%s]\n", e.message.c_str());
            std::abort();
        }
    }
    return 0;
}
