#pragma once

#include "Lib/FSX/GaugeAbi.h"
#include "Lib/FSX/GaugeTokens.h"
#include "Lib/FSX/PanelServices.h"
#include "Lib/FSX/Units.h"

#include <array>
#include <cstdint>
#include <memory>

namespace except {

// One host gauge variable, addressed by its token. The host fills the record when the reader is
// made and refreshes it on every read.
class GaugeVar {
public:
    explicit GaugeVar(std::uint32_t token);
    GaugeVar(const GaugeVar&) = delete;
    GaugeVar& operator=(const GaugeVar&) = delete;

    // The unit id only selects the rule: "bool" truncates to 0 or 1, "fahrenheit" converts from
    // Celsius, "mbars" and ids outside the table read 0 without asking the host, and every other
    // unit of the table is the host's value as given.
    double getValue(std::uint32_t unitId);
    // Inline: the systems read a dozen variables a tick, nearly all of them as plain numbers.
    double getValue(Unit unit) {
        if (unit == Unit::Mbars) {
            return 0.0;
        }
        fsx::CallVoid<fsx::slot::LookupVar>(&record);
        return unit == Unit::Number ? record.value : Converted(record.value, unit);
    }

    std::uint32_t Token() const { return token; }

private:
    static double Converted(double value, Unit unit);

    std::uint32_t token;
    fsx::ModuleVar record;
};

// A tick's numbers are kept in slots by token number modulo this; the cockpit's tokens each have
// a slot of their own.
constexpr std::uint32_t kTokenTickSlots = 64;
constexpr bool TokensHaveSlotsOfTheirOwn() {
    std::array<bool, kTokenTickSlots> taken{};
    for (const std::uint32_t token : fsx::token::kAll) {
        if (taken[token % kTokenTickSlots]) {
            return false;
        }
        taken[token % kTokenTickSlots] = true;
    }
    return true;
}
static_assert(TokensHaveSlotsOfTheirOwn(), "two of the cockpit's tokens share a tick slot");

// The readers of every token the host knows, made at once so that a read is one index and one
// host refresh.
class SimVars {
public:
    static constexpr std::uint32_t kReaders = fsx::kLastToken + 1;

    SimVars();
    SimVars(const SimVars&) = delete;
    SimVars& operator=(const SimVars&) = delete;
    virtual ~SimVars() = default;

    void InitSimVars();

    // Null for token 0 and tokens outside 1 to 1030.
    GaugeVar* Reader(std::uint32_t token) const {
        return token < kReaders ? readers[token].get() : nullptr;
    }
    // 0 for a token without a reader. Within a tick a number is read from the host once; a
    // second read finds it in the token's slot without touching the reader.
    double ReadToken(std::uint32_t token, Unit unit = Unit::Number) const {
        if (token < kReaders && tick != 0 && unit == Unit::Number) {
            ReadInTick& slot = readInTick[token % kTickSlots];
            if (slot.tick != tick || slot.token != token) {
                GaugeVar* reader = readers[token].get();
                if (reader == nullptr) {
                    return 0.0;
                }
                slot.value = reader->getValue(unit);
                slot.tick = tick;
                slot.token = token;
            }
            return slot.value;
        }
        GaugeVar* reader = Reader(token);
        return reader != nullptr ? reader->getValue(unit) : 0.0;
    }

    // The host's variables hold still while a tick runs, so a variable several systems read is
    // asked for once between these two. Outside them every read asks the host.
    void BeginTick() { tick = ++ticks; }
    void EndTick() { tick = 0; }

private:
    bool initialised = false;
    std::array<std::unique_ptr<GaugeVar>, kReaders> readers;
    std::uint64_t ticks = 0;
    std::uint64_t tick = 0; // the tick in progress; 0 between ticks
    // The numbers read in this tick: the table stays in a few cache lines, and two tokens that
    // share a slot only cost a second host read.
    static constexpr std::uint32_t kTickSlots = kTokenTickSlots;
    struct ReadInTick {
        std::uint64_t tick = 0;
        double value = 0.0;
        std::uint32_t token = 0;
    };
    mutable std::array<ReadInTick, kTickSlots> readInTick{};
};

} // namespace except
