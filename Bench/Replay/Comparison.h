#pragma once

#include "Bench/Replay/CockpitReading.h"

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

    // Per instrument: the largest and the root-mean-square difference, and where the largest
    // happened. Instruments that never showed a value are left out.
    void PrintSummary(std::ostream& out) const;

    struct Spread {
        std::size_t instrument; // a Quantity
        std::size_t flight;     // the Quantity it shows, or kQuantities: the lateral acceleration
        bool heading;           // differences taken the short way round the compass
        double largest = 0.0;
        double largestAt = 0.0;
        double sumOfSquares = 0.0;
        std::size_t count = 0;
        double Rms() const;
    };
    const std::vector<Spread>& Spreads() const { return spreads; }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::string path;
    std::string partPath;
    std::unique_ptr<std::FILE, FileCloser> file;
    std::vector<Spread> spreads;
    bool finished = false;
};

} // namespace replay
