// The IGC flight-recorder format: an H record with the date, an I record naming the extensions
// each B record carries after its fixed part, and one B record a fix.
#include "Bench/Replay/IgcExtensions.h"
#include "Bench/Replay/LogReader.h"
#include "Bench/Replay/ReplayError.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace replay {

namespace {

// A fix may repeat or step back this far (loggers that resynchronise their clock); further
// back is a damaged log.
constexpr double kBackwardsToleranceS = 2.0;
constexpr double kDay = 86400.0;

// The digits of text[from, from + count) as a number; nullopt if any is not a digit.
std::optional<long> Digits(const std::string& text, std::size_t from, std::size_t count) {
    if (from + count > text.size() || count > 9) { // no field of a log is longer
        return std::nullopt;
    }
    if (count == 0) {
        return std::nullopt;
    }
    long value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// A signed field such as "-0012" or "00987".
std::optional<long> Signed(const std::string& text, std::size_t from, std::size_t count) {
    if (count > 1 && from < text.size() && (text[from] == '-' || text[from] == '+')) {
        const auto rest = Digits(text, from + 1, count - 1);
        if (!rest) {
            return std::nullopt;
        }
        return text[from] == '-' ? -*rest : *rest;
    }
    return Digits(text, from, count);
}

struct Extension {
    std::optional<ExtensionField> field; // none: a code or width the replay does not read
    std::size_t start;                   // 0-based
    std::size_t length;
};

class IgcReader : public LogReader {
public:
    IgcReader(std::unique_ptr<LineSource> source, IgcAltitude which)
        : lines(std::move(source)), altitude(which) {}

    bool Next(LoggedPoint& point) override;
    std::optional<double> StartEpoch() const override {
        if (!date || !firstTime) {
            return std::nullopt;
        }
        return *date + *firstTime;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw ReplayError(Located(lines->Name(), lines->LineNumber(), what));
    }
    void ReadDate(const std::string& line);
    void ReadExtensions(const std::string& line);
    bool ReadFix(const std::string& line, LoggedPoint& point);
    // One line of the log; true when it is a fix to give.
    bool ReadLine(const std::string& line, LoggedPoint& point);

    std::unique_ptr<LineSource> lines;
    IgcAltitude altitude;
    std::optional<double> date; // midnight UTC of the flight's day, seconds since 1970
    std::vector<Extension> extensions;
    // Seconds since midnight UTC of the log's first B record.
    std::optional<double> firstTime; // of the first valid fix
    double lastTime = 0.0;           // of the last valid fix
    double latestRecord = 0.0;       // the latest of any B record
    double dayOffset = 0.0;          // whole days passed since the first B record
    std::size_t records = 0;
};

void IgcReader::ReadDate(const std::string& line) {
    // "HFDTEDDMMYY" or "HFDTEDATE:DDMMYY,NN"
    std::size_t at = 5;
    if (line.compare(at, 5, "DATE:") == 0) {
        at += 5;
    }
    const auto day = Digits(line, at, 2);
    const auto month = Digits(line, at + 2, 2);
    const auto year = Digits(line, at + 4, 2);
    if (!day || !month || !year || *day < 1 || *day > 31 || *month < 1 || *month > 12) {
        Fail("bad date in the H record");
    }
    const int fullYear = static_cast<int>(*year < 80 ? 2000 + *year : 1900 + *year);
    const std::chrono::year_month_day ymd{std::chrono::year{fullYear},
                                          std::chrono::month{static_cast<unsigned>(*month)},
                                          std::chrono::day{static_cast<unsigned>(*day)}};
    if (!ymd.ok()) {
        Fail("bad date in the H record");
    }
    date = static_cast<double>(std::chrono::sys_days{ymd}.time_since_epoch() /
                               std::chrono::seconds{1});
}

void IgcReader::ReadExtensions(const std::string& line) {
    // "INNSSFFCCC...": NN extensions, each from byte SS to byte FF (1-based), code CCC.
    const auto count = Digits(line, 1, 2);
    if (!count) {
        Fail("bad I record");
    }
    extensions.clear();
    for (long i = 0; i < *count; ++i) {
        const std::size_t at = 3 + static_cast<std::size_t>(i) * 7;
        const auto start = Digits(line, at, 2);
        const auto finish = Digits(line, at + 2, 2);
        if (!start || !finish || *start < 36 || *finish < *start || at + 7 > line.size()) {
            Fail("bad I record");
        }
        const auto length = static_cast<std::size_t>(*finish - *start + 1);
        extensions.push_back({KnownExtension(std::string_view(line).substr(at + 4, 3), length),
                              static_cast<std::size_t>(*start - 1), length});
    }
}

bool IgcReader::ReadFix(const std::string& line, LoggedPoint& point) {
    // B HHMMSS DDMMmmm N DDDMMmmm E V PPPPP GGGGG
    if (line.size() < 35) {
        Fail("B record too short");
    }
    const auto hh = Digits(line, 1, 2);
    const auto mm = Digits(line, 3, 2);
    const auto ss = Digits(line, 5, 2);
    if (!hh || !mm || !ss || *hh > 23 || *mm > 59 || *ss > 59) {
        Fail("bad time in the B record");
    }
    const auto latD = Digits(line, 7, 2);
    const auto latM = Digits(line, 9, 5);
    const auto lonD = Digits(line, 15, 3);
    const auto lonM = Digits(line, 18, 5);
    const char ns = line[14];
    const char ew = line[23];
    if (!latD || !latM || !lonD || !lonM || *latD > 90 || *latM >= 60000 || *lonD > 180 ||
        *lonM >= 60000 || (ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W')) {
        Fail("bad coordinate in the B record");
    }
    const char validity = line[24];
    if (validity != 'A' && validity != 'V') {
        Fail("bad fix validity in the B record (A or V)");
    }
    const auto pressure = Signed(line, 25, 5);
    const auto gnss = Signed(line, 30, 5);
    if (!pressure || !gnss) {
        Fail("bad altitude in the B record");
    }

    // Time runs on through midnight UTC; every B record counts for that, valid or not.
    double time = static_cast<double>(*hh * 3600 + *mm * 60 + *ss) + dayOffset;
    if (records > 0 && time < latestRecord - kDay / 2.0) {
        dayOffset += kDay;
        time += kDay;
    }
    if (records > 0 && time < latestRecord - kBackwardsToleranceS) {
        Fail("time goes backwards");
    }
    ++records;
    latestRecord = std::max(latestRecord, time);
    if (validity == 'V') {
        return false; // no satellite fix: neither position nor GNSS altitude holds
    }
    if (firstTime && time <= lastTime) {
        return false; // a repeated or slightly early fix adds nothing
    }
    if (!firstTime) {
        firstTime = time;
    }
    lastTime = time;

    point = LoggedPoint{};
    point.t = time - *firstTime;
    point.line = lines->LineNumber();
    const double lat = static_cast<double>(*latD) + static_cast<double>(*latM) / 60000.0;
    const double lon = static_cast<double>(*lonD) + static_cast<double>(*lonM) / 60000.0;
    point.latitudeDeg = ns == 'S' ? -lat : lat;
    point.longitudeDeg = ew == 'W' ? -lon : lon;
    point.altitudeM = static_cast<double>(altitude == IgcAltitude::Pressure ? *pressure : *gnss);
    point.gnssAltitudeM = static_cast<double>(*gnss);
    if (*pressure != 0) {
        point.pressureAltitudeM = static_cast<double>(*pressure);
    }
    for (const Extension& e : extensions) {
        const auto digits = e.field ? Signed(line, e.start, e.length) : std::nullopt;
        if (!digits) {
            continue; // an extension not read, or one the logger left blank
        }
        const double v = static_cast<double>(*digits) * e.field->scale;
        switch (e.field->value) {
        case ExtensionValue::Ias:
            point.iasKph = v;
            break;
        case ExtensionValue::Tas:
            point.tasKph = v;
            break;
        case ExtensionValue::GroundSpeed:
            point.groundSpeedKph = v;
            break;
        case ExtensionValue::Vario:
            point.verticalSpeedMs = v;
            break;
        case ExtensionValue::TotalEnergyVario:
            point.totalEnergyMs = v;
            break;
        case ExtensionValue::Heading:
            point.headingDeg = std::fmod(v, 360.0);
            break;
        }
    }
    return true;
}

bool IgcReader::ReadLine(const std::string& line, LoggedPoint& point) {
    switch (line[0]) {
    case 'H':
        if (line.compare(0, 5, "HFDTE") == 0 || line.compare(0, 5, "HPDTE") == 0) {
            ReadDate(line);
        }
        return false;
    case 'I':
        ReadExtensions(line);
        return false;
    case 'B':
        return ReadFix(line, point);
    default:
        return false; // A, C, D, E, F, G, J, K, L records say nothing about the flight path
    }
}

bool IgcReader::Next(LoggedPoint& point) {
    std::string line;
    while (lines->Next(line)) {
        if (line.empty()) {
            continue;
        }
        try {
            if (ReadLine(line, point)) {
                return true;
            }
        } catch (const ReplayError& fault) {
            if (!PassOverCutLastLine(*lines, fault)) {
                throw;
            }
            break;
        }
    }
    if (!firstTime) {
        throw ReplayError(Located(lines->Name(), 0, "no B record with a valid fix"));
    }
    return false;
}

} // namespace

std::unique_ptr<LogReader> ReadIgc(std::unique_ptr<LineSource> lines, IgcAltitude altitude) {
    return std::make_unique<IgcReader>(std::move(lines), altitude);
}

} // namespace replay
