// Feeds arbitrary bytes to the bench's IGC reader and the derivation behind it. Whatever the
// log holds, the points come out in time order with finite values, or the log is refused with
// one message on one line that names the file; any other exception, a crash or undefined
// behaviour is a finding.
#include "Bench/Replay/Derivation.h"
#include "Bench/Replay/ReplayError.h"

#include "FuzzLogCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    for (const auto altitude : {replay::IgcAltitude::Pressure, replay::IgcAltitude::Gnss}) {
        fuzzlog::CheckLog(
            replay::ReadIgc(std::make_unique<replay::LineSource>("fuzz.igc", text), altitude),
            "fuzz.igc");
    }
    return 0;
}
