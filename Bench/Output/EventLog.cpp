#include "Bench/Output/EventLog.h"

#include <charconv>
#include <cmath>

namespace bench {

std::size_t FormatShortest(double value, char* out, std::size_t size) {
    const auto result = std::to_chars(out, out + size, value);
    return result.ec == std::errc() ? static_cast<std::size_t>(result.ptr - out) : 0;
}

EventLog::~EventLog() {
    if (file != nullptr) {
        std::fclose(file);
    }
}

bool EventLog::Open(const std::string& path) {
    file = std::fopen(path.c_str(), "w");
    return file != nullptr;
}

void EventLog::Write(const char* type, std::initializer_list<Field> fields) {
    if (!Enabled()) {
        return;
    }
    std::fputs("{\"t\":", file);
    WriteDouble(now);
    std::fputs(",\"type\":", file);
    WriteString(type);
    for (const Field& f : fields) {
        std::fputc(',', file);
        WriteString(f.name);
        std::fputc(':', file);
        WriteField(f);
    }
    std::fputs("}\n", file);
}

void EventLog::WriteField(const Field& field) {
    switch (field.kind) {
    case Field::Kind::Int:
        std::fprintf(file, "%lld", static_cast<long long>(field.integer));
        break;
    case Field::Kind::Double:
        WriteDouble(field.number);
        break;
    case Field::Kind::Text:
        WriteString(field.text);
        break;
    case Field::Kind::Bool:
        std::fputs(field.flag ? "true" : "false", file);
        break;
    }
}

void EventLog::WriteDouble(double value) {
    if (!std::isfinite(value)) {
        std::fputs("null", file); // JSON has no infinities
        return;
    }
    char text[32];
    const std::size_t n = FormatShortest(value, text, sizeof text);
    std::fwrite(text, 1, n, file);
}

void EventLog::WriteString(std::string_view text) {
    std::fputc('"', file);
    for (const char c : text) {
        switch (c) {
        case '"':
            std::fputs("\\\"", file);
            break;
        case '\\':
            std::fputs("\\\\", file);
            break;
        case '\n':
            std::fputs("\\n", file);
            break;
        case '\t':
            std::fputs("\\t", file);
            break;
        case '\r':
            std::fputs("\\r", file);
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                std::fprintf(file, "\\u%04x", static_cast<unsigned>(c));
            } else {
                std::fputc(c, file);
            }
        }
    }
    std::fputc('"', file);
}

} // namespace bench
