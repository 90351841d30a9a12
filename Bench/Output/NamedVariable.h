#pragma once

#include <string>

namespace bench {

// A named variable as the host keeps it and the trace writes it; `live` is false once the module
// that registered it has gone.
struct NamedVar {
    std::string name;
    double value;
    bool live;
};

} // namespace bench
