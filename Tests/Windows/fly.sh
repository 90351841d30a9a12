#!/usr/bin/env bash
# Flies one scenario with the Windows bench under Wine, in real time, and checks what the run
# left behind: its exit status, lines of its event log and of the settings file.
#   fly.sh BUILD_DIR SCENARIO [--has TEXT | --lacks TEXT | --settings TEXT]...
set -euo pipefail
build=$(cd "$1" && pwd)
scenario=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
shift 2
here=$(cd "$(dirname "$0")" && pwd)

# A scratch folder of the build; Wine sees the Linux file system as drive Z:.
work="$build/windows-tests/$(basename "$scenario" .json)"
rm -rf "$work" && mkdir -p "$work/settings"
z() { printf 'Z:%s' "${1//\//\\}"; }

status=0
"$here/../../Bench/Windows/wine-run.sh" "$build" "$build/bin/zelvan-bench.exe" run \
    "$(z "$scenario")" --events "$(z "$work/events.jsonl")" --settings-dir "$(z "$work/settings")" \
    --root "$(z "$work/root")" --module "$(z "$build/bin/zelvan.dll")" || status=$?
if [ "$status" -ne 0 ]; then
    echo "FAIL: the bench exited with status $status" >&2
    exit 1
fi

settings="$work/settings/PelmoraGrp/zelvan/config.ini"
failed=0
while (($#)); do
    case "$1" in
    --has) grep -qF -- "$2" "$work/events.jsonl" || { echo "FAIL: no event with $2" >&2; failed=1; } ;;
    --lacks) ! grep -qF -- "$2" "$work/events.jsonl" || { echo "FAIL: an event with $2" >&2; failed=1; } ;;
    --settings) tr -d '\r' <"$settings" 2>/dev/null | grep -qxF -- "$2" || { echo "FAIL: $settings lacks the line $2" >&2; failed=1; } ;;
    *) echo "fly.sh: unknown check $1" >&2; exit 2 ;;
    esac
    shift 2
done
if ((failed)); then
    echo "--- event log (diagnostics and sounds):" >&2
    grep -E '"(diagnostic|sound|load|unload)"' "$work/events.jsonl" >&2 || true
fi
exit "$failed"
