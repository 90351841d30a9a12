// Flight-model records: a CSV table with a header row naming its columns, one row a sample.
#include "Bench/Replay/LogReader.h"
#include "Bench/Replay/ReplayError.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace replay {

namespace {

constexpr double kBackwardsToleranceS = 0.005;
// Samples closer together than this add nothing a 10 ms step could show.
constexpr double kClosestSamplesS = 0.001;
// No quantity of a flight comes near this; beyond it a cell is damage.
constexpr double kLargestValue = 1e9;

enum class Column {
    Time,
    Altitude,
    Ias,
    VerticalSpeed,
    Pitch,
    Bank,
    Heading,
    TurnRate,
    Slip,
    LateralAccel,
    OnGround
};

struct Known {
    std::string_view name;
    Column column;
};

constexpr std::array<Known, 11> kColumns = {{{"time_s", Column::Time},
                                             {"altitude_m", Column::Altitude},
                                             {"ias_kph", Column::Ias},
                                             {"vertical_speed_ms", Column::VerticalSpeed},
                                             {"pitch_deg", Column::Pitch},
                                             {"bank_deg", Column::Bank},
                                             {"heading_deg", Column::Heading},
                                             {"turn_rate_dps", Column::TurnRate},
                                             {"slip_deg", Column::Slip},
                                             {"lateral_accel_g", Column::LateralAccel},
                                             {"on_ground", Column::OnGround}}};

void Split(std::string_view line, std::vector<std::string_view>& cells) {
    cells.clear();
    std::size_t from = 0;
    while (true) {
        const std::size_t comma = line.find(',', from);
        cells.push_back(
            line.substr(from, comma == std::string_view::npos ? line.npos : comma - from));
        if (comma == std::string_view::npos) {
            return;
        }
        from = comma + 1;
    }
}

// A name from the file as a message can show it: one line of printable characters.
std::string Printable(std::string_view name) {
    std::string shown(name.substr(0, 40));
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
            c = '?';
        }
    }
    return shown;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

class RecordReader : public LogReader {
public:
    explicit RecordReader(std::unique_ptr<LineSource> source) : lines(std::move(source)) {}
    bool Next(LoggedPoint& point) override;

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw ReplayError(Located(lines->Name(), lines->LineNumber(), what));
    }
    void ReadHeader();
    // The row in `line`; false for a repeated sample.
    bool ReadRow(LoggedPoint& point);

    std::unique_ptr<LineSource> lines;
    std::vector<Column> header;
    std::vector<std::string_view> cells;
    std::string line;
    bool headerRead = false;
    std::optional<double> firstTime;
    double lastTime = 0.0;
    std::size_t rows = 0;
};

void RecordReader::ReadHeader() {
    headerRead = true;
    if (!lines->Next(line)) {
        throw ReplayError(Located(lines->Name(), 0, "empty: no header row"));
    }
    Split(line, cells);
    bool time = false;
    bool altitude = false;
    for (const std::string_view raw : cells) {
        const std::string_view name = Trim(raw);
        const Known* found = nullptr;
        for (const Known& k : kColumns) {
            if (k.name == name) {
                found = &k;
            }
        }
        if (found == nullptr) {
            Fail("unknown column set: no column \"" + Printable(name) + "\" in a flight record");
        }
        for (const Column c : header) {
            if (c == found->column) {
                Fail("unknown column set: column \"" + Printable(name) + "\" twice");
            }
        }
        time = time || found->column == Column::Time;
        altitude = altitude || found->column == Column::Altitude;
        header.push_back(found->column);
    }
    if (!time || !altitude) {
        Fail("unknown column set: a flight record needs time_s and altitude_m");
    }
}

bool RecordReader::Next(LoggedPoint& point) {
    if (!headerRead) {
        ReadHeader();
    }
    while (lines->Next(line)) {
        if (Trim(line).empty()) {
            continue;
        }
        try {
            if (ReadRow(point)) {
                ++rows;
                return true;
            }
        } catch (const ReplayError& fault) {
            if (!PassOverCutLastLine(*lines, fault)) {
                throw;
            }
            break;
        }
    }
    if (rows == 0) {
        throw ReplayError(Located(lines->Name(), 0, "no sample rows"));
    }
    return false;
}

bool RecordReader::ReadRow(LoggedPoint& point) {
    Split(line, cells);
    if (cells.size() != header.size()) {
        Fail(std::to_string(cells.size()) + " cells where the header names " +
             std::to_string(header.size()));
    }
    point = LoggedPoint{};
    double time = 0.0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::string_view cell = Trim(cells[i]);
        double v = 0.0;
        const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), v);
        if (error != std::errc() || end != cell.data() + cell.size() || cell.empty() ||
            !std::isfinite(v)) {
            Fail("column " + std::to_string(i + 1) + " is not a number");
        }
        if (std::fabs(v) > kLargestValue) {
            Fail("column " + std::to_string(i + 1) + " is out of range");
        }
        switch (header[i]) {
        case Column::Time:
            time = v;
            break;
        case Column::Altitude:
            point.altitudeM = v;
            break;
        case Column::Ias:
            point.iasKph = v;
            break;
        case Column::VerticalSpeed:
            point.verticalSpeedMs = v;
            break;
        case Column::Pitch:
            point.pitchDeg = v;
            break;
        case Column::Bank:
            point.bankDeg = v;
            break;
        case Column::Heading:
            point.headingDeg = v;
            break;
        case Column::TurnRate:
            point.turnRateDps = v;
            break;
        case Column::Slip:
            point.slipDeg = v;
            break;
        case Column::LateralAccel:
            point.lateralAccelG = v;
            break;
        case Column::OnGround:
            point.onGround = v > 0.5;
            break;
        }
    }
    if (firstTime && time < lastTime - kBackwardsToleranceS) {
        Fail("time goes backwards");
    }
    if (firstTime && time < lastTime + kClosestSamplesS) {
        return false; // a repeated sample
    }
    if (!firstTime) {
        firstTime = time;
    }
    lastTime = time;
    point.t = time - *firstTime;
    point.line = lines->LineNumber();
    return true;
}

} // namespace

std::unique_ptr<LogReader> ReadRecord(std::unique_ptr<LineSource> lines) {
    return std::make_unique<RecordReader>(std::move(lines));
}

std::unique_ptr<LogReader> OpenLog(const std::string& path, IgcAltitude altitude) {
    const auto endsWith = [&path](std::string_view end) {
        if (path.size() < end.size()) {
            return false;
        }
        std::string tail = path.substr(path.size() - end.size());
        for (char& c : tail) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return tail == end;
    };
    if (endsWith(".igc")) {
        return ReadIgc(std::make_unique<LineSource>(path), altitude);
    }
    if (endsWith(".csv") || endsWith(".csv.gz")) {
        return ReadRecord(std::make_unique<LineSource>(path));
    }
    throw ReplayError(Located(path, 0, "not a flight log (.igc, .csv or .csv.gz)"));
}

} // namespace replay
