// What the baseline's two halves (recording and the stand-in gauge's replay) share.
#pragma once

#include "Bench/Flight/Baseline.h"

namespace bench {

namespace baseline {
// The one baseline of the run: the table's slots are plain functions.
extern Baseline* active;
} // namespace baseline

// The stand-in gauge's element callback: the value the module's element gave at the recorded
// draw, with its image flags and text.
struct BaselineStandin {
    static double ZV_STDCALL Value(fsx::ElementHeader* element);
};

} // namespace bench
