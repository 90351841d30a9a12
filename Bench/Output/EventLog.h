#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace bench {

// One field of an event line.
struct Field {
    enum class Kind { Int, Double, Text, Bool };
    const char* name;
    Kind kind;
    std::int64_t integer = 0;
    double number = 0.0;
    std::string_view text;
    bool flag = false;

    static Field Int(const char* n, std::int64_t v) { return {n, Kind::Int, v, 0.0, {}, false}; }
    static Field Double(const char* n, double v) { return {n, Kind::Double, 0, v, {}, false}; }
    static Field Text(const char* n, std::string_view v) {
        return {n, Kind::Text, 0, 0.0, v, false};
    }
    static Field Bool(const char* n, bool v) { return {n, Kind::Bool, 0, 0.0, {}, v}; }
};

// The event log: what the module did to the host, one JSON object a line, in order. Writing a
// line allocates nothing, so a steady tick with logging stays free of heap traffic.
class EventLog {
public:
    EventLog() = default;
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    // False when the file cannot be made.
    bool Open(const std::string& path);
    bool Enabled() const { return file != nullptr && !muted; }
    // While muted nothing is written: calls made again for the baseline are no part of the run.
    void Mute(bool on) { muted = on; }
    void SetTime(double t) { now = t; }

    void Write(const char* type, std::initializer_list<Field> fields = {});

private:
    void WriteField(const Field& field);
    void WriteString(std::string_view text);
    void WriteDouble(double value);

    std::FILE* file = nullptr;
    bool muted = false;
    double now = 0.0;
};

// Shortest text that reads back to the same double.
std::size_t FormatShortest(double value, char* out, std::size_t size);

} // namespace bench
