#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace except {

// The one exception type of the module. It remembers where it was raised; what() is the
// report a maintainer reads in the diagnostic log.
class Exception : public std::exception {
public:
    Exception(std::string message, std::string file, std::string function, std::int32_t line,
              std::int32_t resultCode = 0);
    // The platform describes its errors in wide text; it is narrowed to the ANSI code page.
    Exception(const std::wstring& message, std::string file, std::string function,
              std::int32_t line);

    const char* what() const noexcept override { return report_.c_str(); }

    const std::string& Message() const noexcept { return message_; }
    const std::string& File() const noexcept { return file_; }
    const std::string& Function() const noexcept { return function_; }
    std::int32_t Line() const noexcept { return line_; }
    std::int32_t ResultCode() const noexcept { return resultCode_; }

private:
    void BuildReport();

    std::string message_;
    std::string file_;
    std::string function_;
    std::int32_t line_;
    std::int32_t resultCode_;
    std::string report_;
};

// Narrowing as the ANSI code page does it here: Latin-1 passes unchanged, the rest becomes '?'.
std::string NarrowToAnsi(const std::wstring& text);

} // namespace except
