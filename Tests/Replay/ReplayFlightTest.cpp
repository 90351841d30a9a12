// Real flights replayed through the cockpit: on a flight-model record every instrument reads
// what the model flew; on an IGC log the derived vertical speed is the log's own; a damaged log
// stops the bench with one line and leaves no compare file behind.
#include "Bench/Flight/BuiltinFlight.h"
#include "Bench/Replay/Replay.h"
#include "Support/Flight.h"

#include <gtest/gtest.h>

#include <algorithm>
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
// The compare file's airspeed sources, by their place in a Row.
const std::string kSources[] = {"logged", "wind", "ground"};
constexpr double kLogged = 0.0;
constexpr double kWind = 1.0;

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
            if (header[i] == "ias_source") {
                // A word; the row keeps its place among the sources.
                const auto at = std::find(std::begin(kSources), std::end(kSources), cell);
                row[header[i]] = static_cast<double>(at - std::begin(kSources));
                continue;
            }
            row[header[i]] = cell.empty() ? std::nan("") : std::stod(cell);
        }
        rows.push_back(row);
    }
    return rows;
}

// Replays with the replay command's defaults, unless a frame or a settings folder is given; the
// summary goes to `summaryOut` when asked for.
std::vector<Row> Replay(const std::string& log, double from, std::optional<double> to,
                        const fs::path& compare, std::optional<int> frameMs = std::nullopt,
                        const fs::path& settingsDir = {}, std::string* summaryOut = nullptr) {
    replay::ReplayOptions r;
    r.logPath = (kFlights / log).string();
    r.comparePath = compare.string();
    r.from = from;
    r.to = to;
    bench::RunOptions run;
    bench::FindCompanions(run);
    run.defaultFrameMs = bench::kModuleStepFrameMs;
    run.frameMs = frameMs;
    run.settingsDir = settingsDir.string();
    std::ostringstream summary;
    const bench::RunResult result = replay::RunReplay(r, run, summary);
    EXPECT_EQ(result.status, bench::kRunOk) << result.error;
    EXPECT_NE(summary.str().find("altimeter1_m"), std::string::npos) << summary.str();
    if (summaryOut != nullptr) {
        *summaryOut = summary.str();
    }
    return ReadCompare(compare);
}

// The first row's time from which `column` reads 0 to the end; NaN when it never does.
double OffFrom(const std::vector<Row>& rows, const char* column) {
    double from = std::nan("");
    for (const Row& r : rows) {
        if (r.at(column) == 0.0 && std::isnan(from)) {
            from = r.at("time_s");
        } else if (r.at(column) != 0.0) {
            from = std::nan("");
        }
    }
    return from;
}

} // namespace

TEST(ReplayFlight, TheInstrumentsReadTheFlightModelsRecord) {
    if (!FlightsPresent()) {
        GTEST_SKIP() << "no shared/flights beside the source tree at " << kFlights;
    }
    Scratch scratch;
    // The whole record: the circling and its roll-out, then the sideslips, push-over and
    // slow-down, on one charge of the batteries at the module's own time step.
    const auto rows = Replay("sgs_flight_stock.csv.gz", 0.0, std::nullopt, scratch.path / "c.csv");
    ASSERT_EQ(rows.size(), 541u);
    EXPECT_DOUBLE_EQ(rows.front().at("time_s"), 0.0);
    double largestBank = 0.0;
    int pegged = 0;
    for (const Row& r : rows) {
        const double t = r.at("time_s");
        // The cockpit draws a frame at most 55 ms before the second it is read at.
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
        // The gyros are uncaged within seconds, once the wings are level, take 20 s to erect and
        // keep their power to the end.
        if (t >= 30.0) {
            for (const char* bank : {"attitude1_bank_deg", "attitude2_bank_deg"}) {
                EXPECT_NEAR(r.at(bank), r.at("bank_deg"), 2.0) << bank << " t=" << t;
            }
        }
        EXPECT_EQ(r.at("attitude1_powered") + r.at("attitude2_powered"), 2.0) << t;
        // Circling at twice a standard-rate turn and more, the turn needles stand at their stops
        // and read the stop's 6 deg/s.
        for (const char* needle : {"turn1_needle", "turn2_needle"}) {
            if (std::fabs(r.at("turn_rate_dps")) > 6.5) {
                EXPECT_DOUBLE_EQ(r.at(needle), std::copysign(6.0, r.at("turn_rate_dps")))
                    << needle << " t=" << t;
                ++pegged;
            } else if (std::fabs(r.at("turn_rate_dps")) < 5.5) {
                EXPECT_NEAR(r.at(needle), r.at("turn_rate_dps"), 0.2) << needle << " t=" << t;
            }
        }
        largestBank = std::max(largestBank, std::fabs(r.at("bank_deg")));
        EXPECT_EQ(r.at("ias_source"), kLogged) << t;
    }
    EXPECT_GT(largestBank, 10.0); // the stretch banks: the attitude check saw something
    EXPECT_GT(pegged, 100);
}

TEST(ReplayFlight, TheBatteriesLastAsLongAsTheFlightsClockSaysAndTheSummaryReportsTheirLoss) {
    if (!FlightsPresent()) {
        GTEST_SKIP() << "no shared/flights beside the source tree at " << kFlights;
    }
    Scratch scratch;
    // 10 ms frames run the module's time 5.5 times fast: the radio battery, feeding both
    // attitude indicators and the radio (30 units a second of its 43200), is flat at 262 s.
    std::string summary;
    auto rows =
        Replay("sgs_flight_stock.csv.gz", 0.0, 300.0, scratch.path / "c.csv", 10, {}, &summary);
    for (const char* column : {"attitude1_powered", "attitude2_powered", "radio_powered"}) {
        EXPECT_NEAR(OffFrom(rows, column), 262.0, 5.0) << column;
    }
    EXPECT_TRUE(std::isnan(OffFrom(rows, "turn1_powered"))) << "battery 1 lasts longer";
    EXPECT_NE(summary.find("attitude1  lost power at 261 s: radio battery flat"), std::string::npos)
        << summary;
    EXPECT_NE(summary.find("(differences while powered: 261 of 301 s)"), std::string::npos)
        << summary;

    // At the module's own time step the same battery lasts the flight's 1440 s.
    rows = Replay("napret.igc", 0.0, 1500.0, scratch.path / "c.csv");
    EXPECT_GE(OffFrom(rows, "attitude1_powered"), 1400.0);
    EXPECT_GE(OffFrom(rows, "attitude2_powered"), 1400.0);

    // A pilot's settings with the radio battery nearly flat: the charge bar runs down to 0, the
    // attitude indicators lose their power a few seconds in, and only their powered seconds
    // are compared.
    const fs::path settings = scratch.path / "settings";
    fs::create_directories(settings / "PelmoraGrp" / "zelvan");
    std::ofstream(settings / "PelmoraGrp" / "zelvan" / "config.ini")
        << "[power]\nbattery1=1\nbattery2=1\nbatteryRadio=0.01\n";
    rows = Replay("sgs_flight_stock.csv.gz", 0.0, 60.0, scratch.path / "c.csv", std::nullopt,
                  settings, &summary);
    const double off = OffFrom(rows, "attitude1_powered");
    // 432 units at 30 a second from the lead-in's 1.7 s on.
    EXPECT_NEAR(off, 432.0 / 30.0 + 1.7 - 3.0, 1.5);
    EXPECT_LT(rows.front().at("radio_battery_pct"), 1.0);
    EXPECT_GT(rows.front().at("radio_battery_pct"), 0.0);
    EXPECT_EQ(rows.back().at("radio_battery_pct"), 0.0);
    EXPECT_GT(rows.back().at("battery1_pct"), 98.0); // 10 units a second
    EXPECT_EQ(rows.back().at("turn1_powered"), 1.0);
    EXPECT_NE(summary.find("attitude2  lost power at " + std::to_string(std::lround(off)) +
                           " s: radio battery flat"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("turn1_needle"), std::string::npos) << summary;
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
    std::string summary;
    const auto rows =
        Replay("napret.igc", 1000.0, 1600.0, scratch.path / "c.csv", std::nullopt, {}, &summary);
    // The log's circles tell a wind the summary gives.
    EXPECT_NE(summary.find("\nwind: "), std::string::npos) << summary;
    ASSERT_EQ(rows.size(), 601u);
    double sumOfSquares = 0.0;
    double sumOfAirspeeds = 0.0;
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
        // The needle was drawn in the frame the second falls in, up to 55 ms before it.
        EXPECT_NEAR(r.at("variometer1_ms"), r.at("vertical_speed_ms"), 0.1) << t;
        EXPECT_NEAR(r.at("altimeter1_m"), altitude[t], 0.5) << t;
        // No airspeed in the log: the wind from its circles (the first some minutes before)
        // taken from the ground velocity, a paraglider's airspeed.
        EXPECT_EQ(r.at("ias_source"), kWind) << t;
        EXPECT_GT(r.at("ias_kph"), 5.0) << t;
        EXPECT_LT(r.at("ias_kph"), 90.0) << t;
        sumOfAirspeeds += r.at("ias_kph");
    }
    ASSERT_GT(n, 550u);
    EXPECT_LT(std::sqrt(sumOfSquares / static_cast<double>(n)), 0.1);
    EXPECT_NEAR(sumOfAirspeeds / static_cast<double>(n), 35.0, 10.0);
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
    EXPECT_NE(out.find("airspeed: logged at 54001 of the log's 54001 points"), std::string::npos)
        << out;
    const std::string table = ReadAll(compare);
    EXPECT_EQ(table.substr(0, table.find('\n')),
              "time_s,altitude_m,altimeter1_m,altimeter2_m,vertical_speed_ms,variometer1_ms,"
              "variometer2_ms,precision1_ms,precision2_ms,ias_kph,airspeed1_kph,airspeed2_kph,"
              "heading_deg,compass_deg,bank_deg,attitude1_bank_deg,attitude2_bank_deg,pitch_deg,"
              "attitude1_pitch_deg,turn_rate_dps,turn1_needle,turn2_needle,slip_ball,"
              "battery1_pct,battery2_pct,radio_battery_pct,attitude1_powered,attitude2_powered,"
              "turn1_powered,turn2_powered,radio_powered,ias_source");
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

    // A logger that lost power: its last line cut off, the flight before it replayed, and a
    // warning that names the line.
    const std::string fixes = "HFDTE030416\nB1200004612584N01249706EA0098801046\n"
                              "B1200014612581N01249699EA0098701045\n"
                              "B1200024612579N01249692EA0098601044\n";
    const fs::path cut = scratch.path / "cut.igc";
    std::ofstream(cut) << fixes << "B12000346125";
    ASSERT_EQ(RunBenchProgram("replay " + cut.string() + " --compare " + compare.string(), err), 0)
        << err;
    EXPECT_EQ(err, "warning: " + cut.string() +
                       ":5: B record too short (the last line, cut off: the flight ends before "
                       "it)\n");
    EXPECT_EQ(ReadCompare(compare).size(), 3u);

    // Damaged logs: exit 2, one line naming file and line, no compare file at all.
    const fs::path badIgc = scratch.path / "bad.igc";
    std::ofstream(badIgc) << "HFDTE030416\nB1200004612584N01249706EA0098801046\n"
                             "B1200014612581N01249699EA0098701045\nB12000X\n"
                             "B1200034612576N01249685EA0098501043\n";
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
