#pragma once

#include "Lib/Exception.h"

#include <exception>
#include <string_view>

namespace except {

// Writes a failure that reached a host entry point to the diagnostic sink.
void ReportFailure(std::string_view where, std::string_view report) noexcept;

// Every call the host makes into the module runs its body through this: no exception may
// travel into the host, whose frames know nothing of ours. Returns false when the body threw.
template <typename Body> bool GuardHostEntry(std::string_view where, Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        ReportFailure(where, e.what());
    } catch (...) {
        ReportFailure(where, "an exception of unknown type");
    }
    return false;
}

} // namespace except
