#pragma once

// The ballast that tips a glider standing on the ground onto one wing tip, as a real glider rests
// on the ground. The application rests the glider after a start or a position change, the covers
// system after the covers come off; both rest it the same way.
namespace wingrest {

// -1 (the right tip) or +1 (the left tip), drawn from the process's rand().
double DrawSide();

// Sets the wing-tip payload stations (3 left, 4 right) in kg; nothing without a connection.
void SetStations(double left, double right);

// One tick of resting on `side`: ballast on that tip, 20 kg once the bank reaches 6 degrees and
// 40 kg before, and both tips cleared once the bank passes 8 degrees. True when the wing is down
// and the tips were cleared.
bool Rest(double side);

} // namespace wingrest
