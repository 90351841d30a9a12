#!/usr/bin/env bash
# Runs a Windows program of a Windows build under Wine, with the loader of the build's width
# (wine64, or wine32's loader for the 32-bit build), in a Wine prefix private to the build folder,
# without a sound card (ALSA's default device is its null device) and without dialogs.
#   wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -euo pipefail

# Debian keeps Wine's loaders in its library folder, not on PATH.
loader_for() {
    case "$1" in
    win32) echo /usr/lib/wine/wine ;;
    *) echo /usr/lib/wine/wine64 ;;
    esac
}
# The loader is a Linux program of the same width: a 32-bit one needs wine32:i386 installed and
# i386 programs to run, natively or under qemu user mode (setup-i386.sh).
can_run() {
    local loader
    loader=$(loader_for "$1")
    [ -x "$loader" ] && "$loader" --version >/dev/null 2>&1
}

build=$(cd "$1" && pwd)
shift
arch=$(cat "$build/wine-arch" 2>/dev/null || echo win64)
loader=$(loader_for "$arch")
if ! can_run "$arch"; then
    echo "wine-run.sh: $loader cannot run here (the $arch programs need it: Debian's" \
        "$([ "$arch" = win32 ] && echo "wine32:i386, and i386 programs to run:" \
            "Bench/Windows/setup-i386.sh sets that up" || echo wine64))" >&2
    exit 1
fi

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
# A 64-bit prefix runs 32-bit programs too (Wine's WoW64), as 64-bit Windows does.
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
    # The prefix is a 64-bit one whatever the program's width: wine64 makes and sets it up.
    /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
    /usr/lib/wine/wineserver64 -w 2>/dev/null || /usr/lib/wine/wineserver -w || true
    # No display here: windows are made by Wine's null driver; sound goes to ALSA only.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f </dev/null >/dev/null 2>&1
fi

exec "$loader" "$@" </dev/null
