// The host's records as the simulator lays them out, checked when the Windows suite is compiled:
// a 32-bit host reads them in 32-bit words, so a field in the wrong word or a double aligned the
// Linux i386 way instead of the Windows way would crash it on its first look.
#include "Lib/FSX/GaugeAbi.h"

#include <cstddef>

namespace {

using namespace fsx;
constexpr std::size_t kWord = sizeof(Word);

static_assert(sizeof(void*) == kWord, "a host word holds a pointer");
static_assert(sizeof(ImportTableRecord) == 4 * kWord);
static_assert(offsetof(ImportTableRecord, services) == 1 * kWord);
static_assert(sizeof(LinkageRecord) == 8 * kWord);
static_assert(offsetof(LinkageRecord, interfaceVersion) == 5 * kWord);
static_assert(offsetof(LinkageRecord, gauges) == 6 * kWord);
static_assert(offsetof(GaugeHeader, elementList) == 2 * kWord);
static_assert(offsetof(GaugeHeader, kill) == 9 * kWord);
static_assert(offsetof(GaugeHeader, sizeMm) == 11 * kWord);
static_assert(offsetof(GaugeHeader, mouseRects) == 20 * kWord);
static_assert(offsetof(GaugeHeader, callback) == 21 * kWord);
static_assert(offsetof(MouseRect, box) == kWord);
static_assert(offsetof(ElementHeader, position) == 2 * kWord);

#if defined(__i386__)
// At 32 bits the host's words are four bytes, and a double in a record starts on eight, as the
// Windows compilers lay it out (i386 Linux would put it on four).
static_assert(sizeof(LinkageRecord) == 32 && sizeof(ImportTableRecord) == 16);
static_assert(offsetof(GaugeHeader, mouseRects) == 80);
static_assert(offsetof(ModuleVar, value) == 16 && offsetof(ModuleVar, previous) == 24);
static_assert(sizeof(ModuleVar) == 32);
#endif

} // namespace
