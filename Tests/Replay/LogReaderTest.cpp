// The log readers take what loggers write and refuse a damaged log with one line that names the
// file, the line and the fault.
#include "Bench/Replay/LogReader.h"
#include "Bench/Replay/ReplayError.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using replay::LoggedPoint;

std::vector<LoggedPoint> ReadAllIgc(const std::string& text) {
    auto reader = replay::ReadIgc(std::make_unique<replay::LineSource>("t.igc", text),
                                  replay::IgcAltitude::Pressure);
    std::vector<LoggedPoint> points;
    LoggedPoint p;
    while (reader->Next(p)) {
        points.push_back(p);
    }
    return points;
}

std::string IgcFault(const std::string& text) {
    try {
        ReadAllIgc(text);
    } catch (const replay::ReplayError& e) {
        return e.what();
    }
    return "accepted";
}

std::string RecordFault(const std::string& text) {
    try {
        auto reader = replay::ReadRecord(std::make_unique<replay::LineSource>("r.csv", text));
        LoggedPoint p;
        while (reader->Next(p)) {
        }
    } catch (const replay::ReplayError& e) {
        return e.what();
    }
    return "accepted";
}

} // namespace

TEST(IgcReader, ReadsFixesExtensionsDatesAndMidnight) {
    // New-style date, extensions for IAS and vario, a fix without satellites, a repeated fix,
    // southern and western coordinates, a flight past midnight UTC.
    const std::string log = "AXXX001\n"
                            "HFDTEDATE:311224,01\n"
                            "I023638IAS3941VAR\n"
                            "B2359584530000N00630000EA0100001050085+12\n"
                            "B2359594530000N00630000EV0100001050085+12\n"
                            "B2359584530000N00630000EA0100001050085+12\n"
                            "B0000004530060S00630060WA0100201052086-05\n";
    const auto points = ReadAllIgc(log);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_DOUBLE_EQ(points[0].t, 0.0);
    EXPECT_DOUBLE_EQ(points[1].t, 2.0);
    EXPECT_DOUBLE_EQ(points[0].altitudeM, 1000.0);
    EXPECT_DOUBLE_EQ(*points[0].gnssAltitudeM, 1050.0);
    EXPECT_DOUBLE_EQ(*points[0].latitudeDeg, 45.5);
    EXPECT_DOUBLE_EQ(*points[0].longitudeDeg, 6.5);
    EXPECT_DOUBLE_EQ(*points[1].latitudeDeg, -45.501);
    EXPECT_DOUBLE_EQ(*points[1].longitudeDeg, -6.501);
    EXPECT_DOUBLE_EQ(*points[0].iasKph, 85.0);
    EXPECT_DOUBLE_EQ(*points[0].verticalSpeedMs, 1.2);
    EXPECT_DOUBLE_EQ(*points[1].verticalSpeedMs, -0.5);
    EXPECT_EQ(points[1].line, 7u);

    auto reader = replay::ReadIgc(std::make_unique<replay::LineSource>("t.igc", log),
                                  replay::IgcAltitude::Gnss);
    LoggedPoint p;
    ASSERT_TRUE(reader->Next(p));
    EXPECT_DOUBLE_EQ(p.altitudeM, 1050.0);
    // 31 Dec 2024 23:59:58 UTC
    EXPECT_DOUBLE_EQ(*reader->StartEpoch(), 1735689598.0);

    // The old date form.
    auto old = replay::ReadIgc(std::make_unique<replay::LineSource>(
                                   "t.igc", "HFDTE030416\nB1200004612584N01249706EA0098801046\n"),
                               replay::IgcAltitude::Pressure);
    ASSERT_TRUE(old->Next(p));
    EXPECT_DOUBLE_EQ(*old->StartEpoch(), 1459684800.0); // 3 Apr 2016 12:00:00 UTC

    // A log that opens without satellites before midnight starts at its first valid fix, in
    // the next day.
    auto late = replay::ReadIgc(
        std::make_unique<replay::LineSource>("t.igc", "HFDTE311224\n"
                                                      "B2359584530000N00630000EV0100001050\n"
                                                      "B0000024530000N00630000EA0100001050\n"
                                                      "B0000034530000N00630000EA0100001050\n"),
        replay::IgcAltitude::Pressure);
    ASSERT_TRUE(late->Next(p));
    EXPECT_DOUBLE_EQ(p.t, 0.0);
    ASSERT_TRUE(late->Next(p));
    EXPECT_DOUBLE_EQ(p.t, 1.0);
    EXPECT_DOUBLE_EQ(*late->StartEpoch(), 1735689602.0); // 1 Jan 2025 00:00:02 UTC
}

TEST(IgcReader, ReadsExtensionFieldsInTheirUnits) {
    // An LX-type logger: TAS and GSP five digits in hundredths of km/h, VAT five characters in
    // hundredths of m/s, beside fields the replay does not read (FXA, SIU, ENL).
    const std::string fix = "B1200004612584N01249706EA0098801046";
    auto points = ReadAllIgc("ALXV\nI063638FXA3941SIU4246TAS4751GSP5254ENL5559VAT\n" + fix +
                             "0350081089711234001-0123\n");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_NEAR(*points[0].tasKph, 108.97, 1e-9);
    EXPECT_NEAR(*points[0].groundSpeedKph, 112.34, 1e-9);
    EXPECT_NEAR(*points[0].totalEnergyMs, -1.23, 1e-9);
    EXPECT_FALSE(points[0].iasKph.has_value());
    EXPECT_DOUBLE_EQ(*points[0].pressureAltitudeM, 988.0);
    // Three digits are whole km/h and tenths of m/s; a width whose decimals are not known is
    // passed over rather than guessed; so is a field left blank.
    points = ReadAllIgc("I033638TAS3941VAT4247GSP\n" + fix + "092-15001234\n" + fix.substr(0, 1) +
                        "120001" + fix.substr(7) + "   -15001234\n");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_DOUBLE_EQ(*points[0].tasKph, 92.0);
    EXPECT_DOUBLE_EQ(*points[0].totalEnergyMs, -1.5);
    EXPECT_FALSE(points[0].groundSpeedKph.has_value());
    EXPECT_FALSE(points[1].tasKph.has_value());
    // A logger without a pressure sensor writes zero.
    points = ReadAllIgc("B1200004612584N01249706EA0000001046\n");
    EXPECT_FALSE(points[0].pressureAltitudeM.has_value());
}

TEST(IgcReader, RefusesADamagedLogNamingFileAndLine) {
    const std::string good = "B1200004612584N01249706EA0098801046\n";
    const std::string later = "B1200304612584N01249706EA0098801046\n";
    EXPECT_EQ(IgcFault("AXXX\nHFDTE030416\n"), "t.igc: no B record with a valid fix");
    EXPECT_EQ(IgcFault(good + "B1260004612584N01249706EA0098801046\n" + later),
              "t.igc:2: bad time in the B record");
    EXPECT_EQ(IgcFault(good + "B1200014699999N01249706EA0098801046\n" + later),
              "t.igc:2: bad coordinate in the B record");
    EXPECT_EQ(IgcFault(good + "B1200014612584X01249706EA0098801046\n" + later),
              "t.igc:2: bad coordinate in the B record");
    EXPECT_EQ(IgcFault(good + "B12000146125\n\n" + later), "t.igc:2: B record too short");
    EXPECT_EQ(IgcFault(good +
                       "B1200104612584N01249706EA0098801046\n"
                       "B1200054612584N01249706EA0098801046\n" +
                       later),
              "t.igc:3: time goes backwards");
    EXPECT_EQ(IgcFault("HFDTE320416\n" + good), "t.igc:1: bad date in the H record");
    EXPECT_EQ(IgcFault(good + std::string(5000, 'L') + "\n"),
              "t.igc:2: line longer than 4096 characters");
    EXPECT_EQ(IgcFault("B12000146125\n"), "t.igc: no B record with a valid fix");
}

TEST(LogReaders, ALastLineCutOffEndsTheFlightWithAWarning) {
    // A logger that lost power mid-line, with or without empty lines after it.
    for (const std::string end : {"", "\r\n", "\n\n\n"}) {
        auto reader = replay::ReadIgc(
            std::make_unique<replay::LineSource>(
                "t.igc", "B1200004612584N01249706EA0098801046\n"
                         "B1200014612581N01249699EA0098701045\nB1200024612579N012496" +
                             end),
            replay::IgcAltitude::Pressure);
        LoggedPoint p;
        ASSERT_TRUE(reader->Next(p));
        ASSERT_TRUE(reader->Next(p));
        EXPECT_TRUE(reader->Warning().empty());
        EXPECT_FALSE(reader->Next(p));
        EXPECT_EQ(reader->Warning(), "t.igc:3: B record too short (the last line, cut off: the "
                                     "flight ends before it)");
    }
    auto record = replay::ReadRecord(
        std::make_unique<replay::LineSource>("r.csv", "time_s,altitude_m\n0,1\n1,2\n2,"));
    LoggedPoint p;
    ASSERT_TRUE(record->Next(p));
    ASSERT_TRUE(record->Next(p));
    EXPECT_FALSE(record->Next(p));
    EXPECT_EQ(
        record->Warning(),
        "r.csv:4: column 2 is not a number (the last line, cut off: the flight ends before it)");
}

TEST(RecordReader, ReadsItsColumnsAndRefusesOthers) {
    auto reader = replay::ReadRecord(std::make_unique<replay::LineSource>(
        "r.csv", "time_s, altitude_m,ias_kph,on_ground\r\n10.0,500,90.5,0\r\n10.5,499,91,1\r\n"));
    LoggedPoint p;
    ASSERT_TRUE(reader->Next(p));
    EXPECT_DOUBLE_EQ(p.t, 0.0);
    EXPECT_DOUBLE_EQ(p.altitudeM, 500.0);
    EXPECT_DOUBLE_EQ(*p.iasKph, 90.5);
    EXPECT_FALSE(p.bankDeg.has_value());
    ASSERT_TRUE(reader->Next(p));
    EXPECT_DOUBLE_EQ(p.t, 0.5);
    EXPECT_TRUE(*p.onGround);
    EXPECT_FALSE(reader->Next(p));

    EXPECT_EQ(RecordFault("time_s,altitude_m,speed\n0,1,2\n"),
              "r.csv:1: unknown column set: no column \"speed\" in a flight record");
    EXPECT_EQ(RecordFault("time_s,alti\x01tude\r_m\n0,1\n"),
              "r.csv:1: unknown column set: no column \"alti?tude?_m\" in a flight record");
    EXPECT_EQ(RecordFault("time_s,altitude_m,time_s\n0,1,0\n"),
              "r.csv:1: unknown column set: column \"time_s\" twice");
    const std::string more = "9,1\n";
    EXPECT_EQ(RecordFault("time_s,altitude_m\n0,1e12\n" + more),
              "r.csv:2: column 2 is out of range");
    EXPECT_EQ(RecordFault("time_s,ias_kph\n0,1\n"),
              "r.csv:1: unknown column set: a flight record needs time_s and altitude_m");
    EXPECT_EQ(RecordFault("time_s,altitude_m\n0,1\n1,x\n" + more),
              "r.csv:3: column 2 is not a number");
    EXPECT_EQ(RecordFault("time_s,altitude_m\n0,1\n1\n" + more),
              "r.csv:3: 1 cells where the header names 2");
    EXPECT_EQ(RecordFault("time_s,altitude_m\n5,1\n4,1\n" + more), "r.csv:3: time goes backwards");
    EXPECT_EQ(RecordFault("time_s,altitude_m\n"), "r.csv: no sample rows");
    EXPECT_EQ(RecordFault(""), "r.csv: empty: no header row");
}
