#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace replay {

// The lines of a text file, plain or gzip-compressed (told apart by its first bytes), one at a
// time, so that a log of any length takes the same memory. A line ends at "\n" or "\r\n".
// Faults (a file that cannot be opened, a damaged or truncated compressed stream, a line longer
// than any log writes) throw ReplayError naming the file and the line.
class LineSource {
public:
    explicit LineSource(std::string path);
    // In-memory text, for the readers' fuzz targets and tests; `name` is what messages call it.
    LineSource(std::string name, std::string text);
    ~LineSource();
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // The next line without its end; false at the end of the file.
    bool Next(std::string& line);
    // Whether the line Next returned last is the file's last one, empty lines after it aside.
    // Reads ahead as far as the next line with anything on it; a fault met there is kept for
    // the Next that reaches it.
    bool AtLastLine();
    // The number of the line Next returned last, from 1.
    std::size_t LineNumber() const { return lineNumber; }
    const std::string& Name() const { return name; }

    static constexpr std::size_t kLongestLine = 4096;

private:
    struct Compressed;
    // The next line of the file as it stands; false at the end. Throws on a damaged stream,
    // naming the line `number`.
    bool Read(std::string& line, std::size_t number);

    std::string name;
    std::unique_ptr<Compressed> file;
    std::string text; // the in-memory text
    std::size_t textAt = 0;
    std::size_t lineNumber = 0;
    // What AtLastLine read ahead: empty lines, then a line with something on it or a fault.
    std::size_t emptyAhead = 0;
    std::optional<std::string> lineAhead;
    std::optional<std::string> faultAhead;
    bool endAhead = false;
};

} // namespace replay
