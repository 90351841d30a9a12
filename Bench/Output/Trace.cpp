#include "Bench/Output/Trace.h"

#include "Bench/Output/EventLog.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace bench {

namespace {
// Marks a cell whose variable did not exist at that step; no arithmetic yields this NaN.
constexpr std::uint64_t kAbsentBits = 0x7FF4DEADBEEF0001ull;

// An element's cells in the scratch file: its value, its flags (below) and its text, whose first
// eight bytes ride in the cell's bits.
constexpr std::size_t kElementCells = 3;
constexpr double kHiddenFlag = 1.0;
constexpr double kTextFlag = 2.0;

double TextCell(const std::array<char, 16>& text) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, text.data(), sizeof bits);
    return std::bit_cast<double>(bits);
}

// A text as a CSV cell: quoted only where a comma, a quote or a line break needs it.
void WriteTextCell(std::FILE* out, double cell) {
    char text[9] = {};
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(cell);
    std::memcpy(text, &bits, sizeof bits);
    if (std::strpbrk(text, ",\"\r\n") == nullptr) {
        std::fputs(text, out);
        return;
    }
    std::fputc('"', out);
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '"') {
            std::fputc('"', out);
        }
        std::fputc(*c, out);
    }
    std::fputc('"', out);
}
} // namespace

Trace::~Trace() {
    if (scratch != nullptr) {
        std::fclose(scratch);
    }
}

bool Trace::Open(const std::string& file) {
    path = file;
    // Check now that the CSV can be written, rather than after an hour of flight.
    std::FILE* probe = std::fopen(path.c_str(), "w");
    if (probe == nullptr) {
        return false;
    }
    std::fclose(probe);
    scratch = std::tmpfile();
    row.reserve(1024);
    return scratch != nullptr;
}

void Trace::Row(double t, const std::vector<NamedVar>& vars, const PanelFrame* panel) {
    if (scratch == nullptr) {
        return;
    }
    row.clear();
    row.push_back(t);
    row.push_back(static_cast<double>(vars.size()));
    for (const auto& v : vars) {
        row.push_back(v.live ? v.value : std::bit_cast<double>(kAbsentBits));
    }
    const std::size_t elements = panel != nullptr ? panel->size() : 0;
    if (elements > textElements.size()) {
        textElements.resize(elements, false);
    }
    row.push_back(static_cast<double>(elements));
    for (std::size_t i = 0; i < elements; ++i) {
        const PanelElement& e = (*panel)[i];
        textElements[i] = textElements[i] || e.isText;
        row.push_back(e.value);
        row.push_back((e.Hidden() ? kHiddenFlag : 0.0) + (e.isText ? kTextFlag : 0.0));
        row.push_back(e.isText ? TextCell(e.text) : 0.0);
    }
    std::fwrite(row.data(), sizeof(double), row.size(), scratch);
}

bool Trace::Finish(const std::vector<NamedVar>& vars) {
    if (scratch == nullptr) {
        return true;
    }
    std::vector<std::size_t> order(vars.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(),
              [&vars](std::size_t a, std::size_t b) { return vars[a].name < vars[b].name; });

    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        return false;
    }
    std::fputs("t", out);
    for (const std::size_t i : order) {
        std::fprintf(out, ",lvar:%s", vars[i].name.c_str());
    }
    for (std::size_t i = 0; i < textElements.size(); ++i) {
        std::fprintf(out, ",element:%zu,element:%zu:hidden", i + 1, i + 1);
        if (textElements[i]) {
            std::fprintf(out, ",element:%zu:text", i + 1);
        }
    }
    std::fputc('\n', out);

    std::rewind(scratch);
    std::vector<double> cells;
    double head[2];
    char text[32];
    while (std::fread(head, sizeof(double), 2, scratch) == 2) {
        const auto count = static_cast<std::size_t>(head[1]);
        cells.resize(count);
        if (count > 0 && std::fread(cells.data(), sizeof(double), count, scratch) != count) {
            break;
        }
        std::fwrite(text, 1, FormatShortest(head[0], text, sizeof text), out);
        for (const std::size_t i : order) {
            std::fputc(',', out);
            if (i < count && std::bit_cast<std::uint64_t>(cells[i]) != kAbsentBits) {
                std::fwrite(text, 1, FormatShortest(cells[i], text, sizeof text), out);
            }
        }
        double drawn = 0.0;
        if (std::fread(&drawn, sizeof(double), 1, scratch) != 1) {
            break;
        }
        const auto elements = static_cast<std::size_t>(drawn);
        cells.resize(elements * kElementCells);
        if (elements > 0 &&
            std::fread(cells.data(), sizeof(double), cells.size(), scratch) != cells.size()) {
            break;
        }
        for (std::size_t i = 0; i < textElements.size(); ++i) {
            const bool present = i < elements;
            const double* cell = present ? &cells[i * kElementCells] : nullptr;
            std::fputc(',', out);
            if (present) {
                std::fwrite(text, 1, FormatShortest(cell[0], text, sizeof text), out);
            }
            std::fputc(',', out);
            if (present) {
                std::fputc(std::fmod(cell[1], 2.0) != 0.0 ? '1' : '0', out);
            }
            if (textElements[i]) {
                std::fputc(',', out);
                if (present && cell[1] >= kTextFlag) {
                    WriteTextCell(out, cell[2]);
                }
            }
        }
        std::fputc('\n', out);
    }
    std::fclose(scratch);
    scratch = nullptr;
    return std::fclose(out) == 0;
}

} // namespace bench
