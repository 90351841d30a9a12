#pragma once

#include "Bench/Replay/CockpitReading.h"

#include <array>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace replay {

// The compare file, a row a second, and the summary of how far each instrument strayed from
// the flight. The file is written under a temporary name and takes its own only when Finish
// is called, so a replay that stops early leaves no file that looks complete.
class Comparison {
public:
    // Empty path: no file, only the summary.
    explicit Comparison(std::string path);
    ~Comparison();
    Comparison(const Comparison&) = delete;
    Comparison& operator=(const Comparison&) = delete;

    // False when the file cannot be written.
    bool Open();
    void Add(const CockpitReading& reading);
    // Gives the file its name; false when it could not be written whole.
    bool Finish();

    // Per instrument: the largest and the root-mean-square difference, where the largest
    // happened, the seconds its needle stood at a stop and, for an electric instrument, over how
    // many seconds it had power (its differences count only those). Instruments that never
    // showed a value are left out. Then when each electric instrument lost power, and why.
    void PrintSummary(std::ostream& out) const;

    struct Spread {
        std::size_t instrument; // a Quantity
        std::size_t flight;     // the Quantity it shows, or kQuantities: the lateral acceleration
        bool heading;           // differences taken the short way round the compass
        double largest = 0.0;
        double largestAt = 0.0;
        double sumOfSquares = 0.0;
        std::size_t count = 0;
        std::size_t rows = 0;        // rows in which it showed a value, with power or without
        std::size_t stopSeconds = 0; // rows in which its needle stood at a stop
        double Rms() const;
    };
    const std::vector<Spread>& Spreads() const { return spreads; }

    // An electric instrument's power coming or going, as the cockpit showed it.
    struct PowerChange {
        std::size_t consumer;
        double t;
        bool powered;    // it has power from t on
        std::string why; // why not, when it has none
    };
    const std::vector<PowerChange>& PowerChanges() const { return powerChanges; }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::string path;
    std::string partPath;
    std::unique_ptr<std::FILE, FileCloser> file;
    std::vector<Spread> spreads;
    std::vector<PowerChange> powerChanges;
    std::array<bool, kConsumers> powered{};
    bool firstRow = true;
    bool finished = false;
};

} // namespace replay
