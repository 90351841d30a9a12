// On Windows the gauge DLL carries its own C++ runtime: the bench cannot see the module's heap
// allocations, and reports none.
#include <cstdint>

namespace bench {
std::uint64_t CountedAllocations() {
    return 0;
}
} // namespace bench
