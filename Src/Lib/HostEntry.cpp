#include "Lib/HostEntry.h"

#include "Lib/Platform/Platform.h"

#include <string>

namespace except {

void ReportFailure(std::string_view where, std::string_view report) noexcept {
    try {
        std::string text = "zelvan: ";
        text += where;
        text += " failed:\n";
        text += report;
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        platform::WriteDiagnostic(text);
    } catch (...) {
        platform::WriteDiagnostic(report);
    }
}

} // namespace except
