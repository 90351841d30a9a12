// Real flights replayed through the cockpit: on a flight-model record every instrument reads
// what the model flew; on an IGC log the derived vertical speed is the log's own; a damaged log
// stops the bench with one line and leaves no compare file behind.
#include "Bench/Flight/BuiltinFlight.h"
#include "Bench/Replay/Replay.h"
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;
using testing_support::RunBenchProgram;

const fs::path kFlights = ZELVAN_FLIGHTS;

bool FlightsPresent() {
    std::error_code ec;
    return fs::exists(kFlights / "napret.igc", ec) &&
           fs::exists(kFlights / "sgs_flight_stock.csv.gz", ec);
}

// A fresh folder for one test's files, removed at its end.
struct Scratch {
    fs::path path;
    Scratch() {
        path = fs::temp_directory_path() /
               ("zelvan-replay-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

using Row = std::map<std::string, double>;

std::vector<Row> ReadCompare(const fs::path& file) {
    std::istringstream in(ReadAll(file));
    std::string line;
    std::getline(in, line);
    std::vector<std::string> header;
    std::istringstream h(line);
    for (std::string cell; std::getline(h, cell, ',');) {
        header.push_back(cell);
    }
    std::vector<Row> rows;
    while (std::getline(in, line)) {
        std::istringstream r(line);
        Row row;
        std::size_t i = 0;
        for (std::string cell; std::getline(r, cell, ',') && i < header.size(); ++i) {
            row[header[i]] = cell.empty() ? std::nan("") : std::stod(cell);
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<Row> Replay(const std::string& log, double from, double to, const fs::path& compare) {
    replay::ReplayOptions r;
    r.logPath = (kFlights / log).string();
    r.comparePath = compare.string();
    r.from = from;
    r.to = to;
    bench::RunOptions run;
    bench::FindCompanions(run);
    std::ostringstream summary;
    const bench::RunResult result = replay::RunReplay(r, run, summary);
    EXPECT_EQ(result.status, bench::kRunOk) << result.error;
    EXPECT_NE(summary.str().find("altimeter1_m"), std::string::npos) << summary.str();
    return ReadCompare(compare);
}

} // namespace

TEST(ReplayFlight, TheInstrumentsReadTheFlightModelsRecord) {
    if (!FlightsPresent()) {
        GTEST_SKIP() << "no shared/flights beside the source tree at " << kFlights;
    }
    Scratch scratch;
    // The circling and its roll-out, then the sideslips, push-over and slow-down, each on fresh
    // batteries.
    for (const auto& [from, to] : {std::pair{0.0, 250.0}, std::pair{255.0, 500.0}}) {
        const auto rows = Replay("sgs_flight_stock.csv.gz", from, to, scratch.path / "c.csv");
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(to - from) + 1);
        EXPECT_DOUBLE_EQ(rows.front().at("time_s"), from);
        double largestBank = 0.0;
        for (const Row& r : rows) {
            const double t = r.at("time_s");
            for (const char* altimeter : {"altimeter1_m", "altimeter2_m"}) {
                EXPECT_NEAR(r.at(altimeter), r.at("altitude_m"), 0.5) << altimeter << " t=" << t;
            }
            for (const char* airspeed : {"airspeed1_kph", "airspeed2_kph"}) {
                EXPECT_NEAR(r.at(airspeed), r.at("ias_kph"), 0.5) << airspeed << " t=" << t;
            }
            for (const char* vario :
                 {"variometer1_ms", "variometer2_ms", "precision1_ms", "precision2_ms"}) {
                EXPECT_NEAR(r.at(vario), r.at("vertical_speed_ms"), 0.05) << vario << " t=" << t;
            }
            // The gyros are uncaged within seconds, once the wings are level, and take 20 s to
            // erect.
            if (t >= from + 30.0) {
                for (const char* bank : {"attitude1_bank_deg", "attitude2_bank_deg"}) {
                    EXPECT_NEAR(r.at(bank), r.at("bank_deg"), 2.0) << bank << " t=" << t;
                }
            }
            largestBank = std::max(largestBank, std::fabs(r.at("bank_deg")));
        }
        EXPECT_GT(largestBank, 10.0); // the stretch banks: the attitude check saw something
    }
}

TEST(ReplayFlight, IgcVerticalSpeedIsTheLogsOwnCentralDifference) {
    if (!FlightsPresent()) {
        GTEST_SKIP() << "no shared/flights beside the source tree at " << kFlights;
    }
    // The log's pressure altitudes by whole second since its first fix.
    std::map<long, double> altitude;
    std::istringstream log(ReadAll(kFlights / "napret.igc"));
    long first = -1;
    for (std::string line; std::getline(log, line);) {
        if (line.size() >= 35 && line[0] == 'B') {
            const long s = std::stol(line.substr(1, 2)) * 3600 + std::stol(line.substr(3, 2)) * 60 +
                           std::stol(line.substr(5, 2));
            first = first < 0 ? s : first;
            altitude[s - first] = std::stod(line.substr(25, 5));
        }
    }
    ASSERT_GT(altitude.size(), 5000u);

    Scratch scratch;
    const auto rows = Replay("napret.igc", 1000.0, 1600.0, scratch.path / "c.csv");
    ASSERT_EQ(rows.size(), 601u);
    double sumOfSquares = 0.0;
    std::size_t n = 0;
    for (const Row& r : rows) {
        const long t = std::lround(r.at("time_s"));
        const long half = 2; // the derivation's half window, in the log's whole seconds
        if (!altitude.contains(t - half) || !altitude.contains(t + half)) {
            continue;
        }
        const double independent = (altitude[t + half] - altitude[t - half]) / (2.0 * half);
        const double d = r.at("vertical_speed_ms") - independent;
        sumOfSquares += d * d;
        ++n;
        EXPECT_NEAR(r.at("variometer1_ms"), r.at("vertical_speed_ms"), 0.05) << t;
        EXPECT_NEAR(r.at("altimeter1_m"), altitude[t], 0.5) << t;
    }
    ASSERT_GT(n, 550u);
    EXPECT_LT(std::sqrt(sumOfSquares / static_cast<double>(n)), 0.1);
}

TEST(ReplayFlight, TheProgramWritesComparePlotAndSummaryAndRefusesDamagedLogs) {
    if (!FlightsPresent()) {
        GTEST_SKIP() << "no shared/flights beside the source tree at " << kFlights;
    }
    Scratch scratch;
    const fs::path compare = scratch.path / "c.csv";
    const fs::path plot = scratch.path / "p.png";
    std::string err;
    std::string out;
    ASSERT_EQ(RunBenchProgram("replay " + (kFlights / "sgs_flight_stock.csv.gz").string() +
                                  " --to 5 --compare " + compare.string() + " --plot " +
                                  plot.string(),
                              err, "", &out),
              0)
        << err;
    EXPECT_EQ(err.find("replay"), std::string::npos) << err; // no terminal: no progress
    EXPECT_NE(out.find("attitude1_bank_deg"), std::string::npos) << out;
    const std::string table = ReadAll(compare);
    EXPECT_EQ(table.substr(0, table.find('\n')),
              "time_s,altitude_m,altimeter1_m,altimeter2_m,vertical_speed_ms,variometer1_ms,"
              "variometer2_ms,precision1_ms,precision2_ms,ias_kph,airspeed1_kph,airspeed2_kph,"
              "heading_deg,compass_deg,bank_deg,attitude1_bank_deg,attitude2_bank_deg,pitch_deg,"
              "attitude1_pitch_deg,turn_rate_dps,turn1_needle,turn2_needle,slip_ball");
    EXPECT_EQ(ReadCompare(compare).size(), 6u);
    // The picture's size from its PNG header.
    const std::string png = ReadAll(plot);
    ASSERT_GT(png.size(), 24u);
    const auto be32 = [&png](std::size_t at) {
        return (static_cast<unsigned char>(png[at]) << 24) |
               (static_cast<unsigned char>(png[at + 1]) << 16) |
               (static_cast<unsigned char>(png[at + 2]) << 8) |
               static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_GE(be32(16), 1600u);
    EXPECT_GE(be32(20), 1000u);

    // Damaged logs: exit 2, one line naming file and line, no compare file at all.
    const fs::path badIgc = scratch.path / "bad.igc";
    std::ofstream(badIgc) << "HFDTE030416\nB1200004612584N01249706EA0098801046\n"
                             "B1200014612581N01249699EA0098701045\nB12000X\n";
    const fs::path badCsv = scratch.path / "bad.csv";
    std::ofstream(badCsv) << "time_s,altitude_m,airspeed_kts\n0,1,2\n";
    const fs::path truncated = scratch.path / "cut.csv.gz";
    const std::string whole = ReadAll(kFlights / "sgs_flight_stock.csv.gz");
    std::ofstream(truncated, std::ios::binary) << whole.substr(0, whole.size() / 2);
    for (const auto& [file, message] :
         {std::pair{badIgc, badIgc.string() + ":4: B record too short\n"},
          std::pair{badCsv, badCsv.string() + ":1: unknown column set: no column \"airspeed_kts\" "
                                              "in a flight record\n"},
          std::pair{truncated, std::string()}}) {
        fs::remove(compare);
        EXPECT_EQ(
            RunBenchProgram("replay " + file.string() + " --compare " + compare.string(), err), 2)
            << file;
        if (!message.empty()) {
            EXPECT_EQ(err, message);
        } else {
            EXPECT_EQ(err.rfind(file.string() + ":", 0), 0u) << err;
            EXPECT_NE(err.find("truncated"), std::string::npos) << err;
            EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        }
        EXPECT_FALSE(fs::exists(compare)) << file;
        EXPECT_FALSE(fs::exists(compare.string() + ".part")) << file;
    }
}

TEST(ReplayFlight, AStretchOutsideTheFlightIsRefusedInSecondsAsAPilotWritesThem) {
    Scratch scratch;
    const fs::path record = scratch.path / "short.csv";
    {
        std::ofstream out(record);
        out << "time_s,altitude_m,ias_kph,heading_deg\n";
        for (int t = 0; t <= 100; ++t) {
            out << t << ",400,80,10\n";
        }
        out << "100.5,400,80,10\n";
    }
    const std::string log = record.string();
    for (const auto& [from, to, message] :
         {std::tuple{-5.0, std::optional<double>(3.0),
                     std::string("--from -5: seconds into the flight are never negative")},
          std::tuple{0.0, std::optional<double>(-2.25),
                     std::string("--to -2.25: seconds into the flight are never negative")},
          std::tuple{200.0, std::optional<double>(),
                     log + ": --from 200 and --to 100.5 leave nothing of its 100.5 s to fly"},
          std::tuple{10.0, std::optional<double>(10.0),
                     log + ": --from 10 and --to 10 leave nothing of its 100.5 s to fly"}}) {
        replay::ReplayOptions r;
        r.logPath = log;
        r.from = from;
        r.to = to;
        std::ostringstream out;
        const bench::RunResult result = replay::RunReplay(r, bench::RunOptions{}, out);
        EXPECT_EQ(result.status, bench::kBadInput) << message;
        EXPECT_EQ(result.error, message);
    }
}
