#!/usr/bin/env bash
# Runs a Windows program of the 64-bit build under wine64, in a Wine prefix private to the build
# folder, without a sound card (ALSA's default device is its null device) and without dialogs.
#   wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift

# Debian's wine64 keeps its loader in wine's library folder, not on PATH.
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=$(command -v wine64 || true)
if [ -z "$loader" ] || [ ! -x "$loader" ]; then
    echo "wine-run.sh: no wine64 loader (install Debian's wine64)" >&2
    exit 1
fi

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko installer dialogs when the prefix is made, and no debugger on a crash (the
# test fails instead of waiting): nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d"
export DISPLAY=
export ALSA_CONFIG_PATH="$build/wine-alsa.conf"
if [ ! -f "$ALSA_CONFIG_PATH" ]; then
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$ALSA_CONFIG_PATH"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$loader" wineboot -i </dev/null >/dev/null 2>&1
    "${loader%/*}/wineserver64" -w 2>/dev/null || "${loader%/*}/wineserver" -w || true
    # No display here: windows are made by Wine's null driver; sound goes to ALSA only.
    "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f </dev/null >/dev/null 2>&1
fi

exec "$loader" "$@" </dev/null
