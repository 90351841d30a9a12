// Feeds arbitrary bytes to the bench's flight-record reader (CSV) and the derivation behind it,
// with the same expectations as the IGC target.
#include "Bench/Replay/Derivation.h"
#include "Bench/Replay/ReplayError.h"

#include "FuzzLogCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    fuzzlog::CheckLog(replay::ReadRecord(std::make_unique<replay::LineSource>("fuzz.csv", text)),
                      "fuzz.csv");
    return 0;
}
