#include "Lib/Exception.h"

#include <cstdio>
#include <utility>

namespace except {

namespace {

struct ResultText {
    std::uint32_t code;
    const char* name;
    const char* description;
};

// The result codes the module's platform calls can report.
constexpr ResultText kResultTexts[] = {
    {0x80004001u, "E_NOTIMPL", "Not implemented."},
    {0x80004005u, "E_FAIL", "Unspecified error."},
    {0x8007000Eu, "E_OUTOFMEMORY", "Not enough storage is available to complete this operation."},
    {0x80070057u, "E_INVALIDARG", "An invalid parameter was passed to the returning function."},
    {0x88780096u, "DSERR_BUFFERLOST", "The buffer memory has been lost, and must be restored."},
    {0x88780064u, "DSERR_BADFORMAT", "The specified WAVE format is not supported."},
    {0x8878001Eu, "DSERR_CONTROLUNAVAIL",
     "The buffer control (volume, pan, and so on) requested by the caller is not available."},
    {0x88780078u, "DSERR_NODRIVER", "No sound driver is available for use."},
};

} // namespace

std::string NarrowToAnsi(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        out.push_back(static_cast<unsigned long>(c) < 0x100 ? static_cast<char>(c) : '?');
    }
    return out;
}

Exception::Exception(std::string message, std::string file, std::string function, std::int32_t line,
                     std::int32_t resultCode)
    : message_(std::move(message)), file_(std::move(file)), function_(std::move(function)),
      line_(line), resultCode_(resultCode) {
    BuildReport();
}

Exception::Exception(const std::wstring& message, std::string file, std::string function,
                     std::int32_t line)
    : Exception(NarrowToAnsi(message), std::move(file), std::move(function), line) {}

void Exception::BuildReport() {
    report_ = "Message : " + message_ + "\n";
    if (resultCode_ != 0) {
        const auto code = static_cast<std::uint32_t>(resultCode_);
        std::string name;
        std::string description = "Unknown error.";
        for (const ResultText& r : kResultTexts) {
            if (r.code == code) {
                name = r.name;
                description = r.description;
            }
        }
        if (name.empty()) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08X", code);
            name = hex;
        }
        report_ += "          " + name + ", " + description + "\n";
    }
    report_ += "File    : " + file_ + "\n";
    report_ += "Function: " + function_ + "\n";
    report_ += "Line    : " + std::to_string(line_) + "\n";
}

} // namespace except
