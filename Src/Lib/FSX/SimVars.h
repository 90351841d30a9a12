#pragma once

#include "Lib/FSX/GaugeAbi.h"
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
    double getValue(Unit unit);

    std::uint32_t Token() const { return token; }

private:
    std::uint32_t token;
    fsx::ModuleVar record;
};

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
    GaugeVar* Reader(std::uint32_t token) const;
    // 0 for a token without a reader.
    double ReadToken(std::uint32_t token, Unit unit = Unit::Number) const;

private:
    bool initialised = false;
    std::array<std::unique_ptr<GaugeVar>, kReaders> readers;
};

} // namespace except

// The aircraft-variable and unit ids the connection looks up once.
class SimVarsVarget {
public:
    void LookupVargetIds();

    std::uint32_t indicatedAltitude = fsx::kInvalidId;
    std::uint32_t kohlsmanSettingMb = fsx::kInvalidId;
    std::uint32_t verticalSpeed = fsx::kInvalidId;
    std::uint32_t airspeedIndicated = fsx::kInvalidId;
    std::uint32_t waterBallastValve = fsx::kInvalidId;
    std::uint32_t pitotIcePct = fsx::kInvalidId;
    std::uint32_t unitPercent = fsx::kInvalidId;
    std::uint32_t unitBool = fsx::kInvalidId;
    std::uint32_t unitKph = fsx::kInvalidId;
    std::uint32_t unitMps = fsx::kInvalidId;
    std::uint32_t unitM = fsx::kInvalidId;
    std::uint32_t unitMbars = fsx::kInvalidId;
};
