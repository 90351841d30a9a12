#!/bin/sh
# Replays the first 20 minutes of a real thermal flight (an IGC log) through the cockpit, then
# compares every instrument with the flight: a table a row a second, a summary on standard
# output and the picture docs/replay-napret.png. Run it from the top of the source tree after
# ./dev test; the shared flights sit beside the clone.
#
# In the picture the altimeters, variometers, airspeed indicators and compass follow the flight
# line for line; the attitude indicators are uncaged once the wings are level, erect over 20 s
# and then go off when the radio battery that feeds them runs flat, as the turn needles do
# later when theirs do.
set -e
flights="${FLIGHTS:-../shared/flights}"
build/default/bin/zelvan-bench replay "$flights/napret.igc" --to 1200 \
    --compare napret-compare.csv --plot docs/replay-napret.png --stats
