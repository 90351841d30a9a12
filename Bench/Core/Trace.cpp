#include "Bench/Core/Trace.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace bench {

namespace {
// Marks a cell whose variable did not exist at that step; no arithmetic yields this NaN.
constexpr std::uint64_t kAbsentBits = 0x7FF4DEADBEEF0001ull;
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

void Trace::Row(double t, const HostServices& host) {
    if (scratch == nullptr) {
        return;
    }
    const auto& vars = host.NamedVars();
    row.clear();
    row.push_back(t);
    row.push_back(static_cast<double>(vars.size()));
    for (const auto& v : vars) {
        row.push_back(v.live ? v.value : std::bit_cast<double>(kAbsentBits));
    }
    std::fwrite(row.data(), sizeof(double), row.size(), scratch);
}

bool Trace::Finish(const HostServices& host) {
    if (scratch == nullptr) {
        return true;
    }
    const auto& vars = host.NamedVars();
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
        std::fputc('\n', out);
    }
    std::fclose(scratch);
    scratch = nullptr;
    return std::fclose(out) == 0;
}

} // namespace bench
