// The Windows bench runs under Wine without Cairo: it records what the panel drew (element values,
// hidden bits, texts) as the native bench does, but paints no pictures of it.
#include "Bench/Core/PanelPicture.h"

namespace bench {

bool WritePanelPicture(const PanelFrame&, const std::string& path, std::string& error) {
    error = path + ": the Windows bench draws no panel pictures (the native bench does)";
    return false;
}

} // namespace bench
