// The gauge library the Windows bench has open, whose resources the panel is drawn from.
#pragma once

namespace bench::hostsystem {

// The module handle of the library OpenLibrary opened last and CloseLibrary has not closed; null
// while none is open.
void* LoadedGauge();

} // namespace bench::hostsystem
