#pragma once

#include <stdexcept>
#include <string>

namespace replay {

// A log that cannot be replayed: the message names the file, the line and what is wrong, on one
// line, ready for standard error.
class ReplayError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "FILE:LINE: WHAT", or "FILE: WHAT" for a fault of the whole file (line 0).
std::string Located(const std::string& file, std::size_t line, const std::string& what);

} // namespace replay
