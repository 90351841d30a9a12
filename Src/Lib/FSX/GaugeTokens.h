#pragma once

// The host's gauge variables the module reads, by token (the host's numbering, 1 to 1030), and
// the readings of "on the ground" that the systems use.

#include <cstdint>

namespace fsx::token {

constexpr std::uint32_t kComFrequency = 23;    // the COM frequency, four BCD digits without the "1"
constexpr std::uint32_t kOnGround = 60;        // a number, not a flag: see the readings below
constexpr std::uint32_t kSpeed = 61;           // the airspeed, m/s
constexpr std::uint32_t kTurnBall = 69;        // the slip ball in flight, -127 to +127
constexpr std::uint32_t kPitch = 77;           // degrees
constexpr std::uint32_t kBank = 79;            // degrees
constexpr std::uint32_t kHeading = 83;         // degrees, magnetic
constexpr std::uint32_t kBrake = 321;          // the wheel brake, 0 to 32767
constexpr std::uint32_t kSimulationRate = 336; // 256 is real time
constexpr std::uint32_t kHostTime = 604;       // the host's clock, seconds
constexpr std::uint32_t kSideslip = 926;       // -250 to +250 spans the yaw string
constexpr std::uint32_t kCompassTiltSide = 932; // the card's sideways tilt, -5 to +5
constexpr std::uint32_t kCompassTiltFore = 933; // its fore-and-aft tilt, -2.5 to +2.5
constexpr std::uint32_t kTurnRate = 937;        // -10 to +10 spans a turn needle

// Every token above: the readers keep a tick's numbers in slots by token number, and these must
// not share one.
constexpr std::uint32_t kAll[] = {kComFrequency,    kOnGround, kSpeed,    kTurnBall,
                                  kPitch,           kBank,     kHeading,  kBrake,
                                  kSimulationRate,  kHostTime, kSideslip, kCompassTiltSide,
                                  kCompassTiltFore, kTurnRate};

} // namespace fsx::token

namespace fsx {

// The host reports kOnGround as a number. The systems answer different questions with it and so
// read it with different thresholds; the readings differ for values strictly between 0 and 1,
// which a glider rolling or bouncing on the ground can report. Each reading has its own name so
// that the difference is seen to be meant.

// Exactly 0: the gear, the wing-rest ballast and the slip ball treat only this as airborne.
constexpr bool AirborneExactly(double onGround) {
    return onGround == 0.0;
}
// Anything but exactly 0: the wings may be levelled for parking.
constexpr bool TouchingGround(double onGround) {
    return onGround != 0.0;
}
// Below a half: the application's tick, the service panel's guard, the parking state on
// load and the service window.
constexpr bool OffGround(double onGround) {
    return onGround < 0.5;
}
// A half or more: the settings loader's view of a glider standing on the ground.
constexpr bool OnGround(double onGround) {
    return onGround >= 0.5;
}
// More than a half: failures wait, and a released gyro keeps its references at zero.
constexpr bool OnGroundPastHalf(double onGround) {
    return onGround > 0.5;
}

} // namespace fsx
