#include "Bench/Replay/LineSource.h"

#include "Bench/Replay/ReplayError.h"

#include <zlib.h>

#include <cstring>

namespace replay {

std::string Located(const std::string& file, std::size_t line, const std::string& what) {
    return line == 0 ? file + ": " + what : file + ":" + std::to_string(line) + ": " + what;
}

// zlib reads plain files through the same calls, so one reader serves both kinds.
struct LineSource::Compressed {
    gzFile handle = nullptr;
    ~Compressed() {
        if (handle != nullptr) {
            gzclose(handle);
        }
    }
};

LineSource::LineSource(std::string path)
    : name(std::move(path)), file(std::make_unique<Compressed>()) {
    file->handle = gzopen(name.c_str(), "rb");
    if (file->handle == nullptr) {
        throw ReplayError(Located(name, 0, "cannot be read"));
    }
    gzbuffer(file->handle, 1 << 16);
}

LineSource::LineSource(std::string sourceName, std::string content)
    : name(std::move(sourceName)), text(std::move(content)) {}

LineSource::~LineSource() = default;

bool LineSource::Read(std::string& line, std::size_t number) {
    line.clear();
    if (!file) {
        if (textAt >= text.size()) {
            return false;
        }
        const std::size_t end = text.find('\n', textAt);
        const std::size_t stop = end == std::string::npos ? text.size() : end;
        line.assign(text, textAt, stop - textAt);
        textAt = stop + 1;
    } else {
        char buffer[kLongestLine + 2];
        bool any = false;
        while (gzgets(file->handle, buffer, sizeof buffer) != nullptr) {
            any = true;
            line.append(buffer, std::strlen(buffer));
            if (!line.empty() && line.back() == '\n') {
                line.pop_back();
                break;
            }
            if (line.size() > kLongestLine) {
                break;
            }
        }
        int code = Z_OK;
        const char* what = gzerror(file->handle, &code);
        if (code != Z_OK && code != Z_STREAM_END) {
            throw ReplayError(Located(name, number,
                                      code == Z_BUF_ERROR ? "the compressed file is truncated"
                                                          : std::string("unreadable: ") + what));
        }
        if (!any) {
            return false;
        }
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

bool LineSource::Next(std::string& line) {
    if (emptyAhead > 0) {
        --emptyAhead;
        line.clear();
    } else if (lineAhead) {
        line = std::move(*lineAhead);
        lineAhead.reset();
    } else if (faultAhead) {
        throw ReplayError(*faultAhead);
    } else if (endAhead || !Read(line, lineNumber + 1)) {
        endAhead = true;
        return false;
    }
    ++lineNumber;
    if (line.size() > kLongestLine) {
        throw ReplayError(Located(
            name, lineNumber, "line longer than " + std::to_string(kLongestLine) + " characters"));
    }
    return true;
}

bool LineSource::AtLastLine() {
    while (!lineAhead && !faultAhead && !endAhead) {
        std::string line;
        try {
            if (!Read(line, lineNumber + emptyAhead + 1)) {
                endAhead = true;
            } else if (line.empty()) {
                ++emptyAhead;
            } else {
                lineAhead = std::move(line);
            }
        } catch (const ReplayError& fault) {
            faultAhead = fault.what();
        }
    }
    return endAhead;
}

} // namespace replay
