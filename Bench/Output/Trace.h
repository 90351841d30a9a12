#pragma once

#include "Bench/Output/NamedVariable.h"
#include "Bench/Output/PanelFrame.h"

#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// The named variables and what the panel drew after every step. The set of variables is only
// known at the end of the run, so rows go to a scratch file first and become CSV, with one column
// per name and per element value, at the end.
class Trace {
public:
    Trace() = default;
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    // False when the scratch file cannot be made.
    bool Open(const std::string& path);
    bool Enabled() const { return scratch != nullptr; }
    // The host's named variables and its panel as last drawn (none before the first draw).
    void Row(double t, const std::vector<NamedVar>& vars, const PanelFrame* panel);
    // Writes the CSV; false when the file cannot be written.
    bool Finish(const std::vector<NamedVar>& vars);

private:
    std::string path;
    std::FILE* scratch = nullptr;
    std::vector<double> row;
    // The most elements a drawn panel had, and which of them were texts.
    std::vector<bool> textElements;
};

} // namespace bench
