#!/usr/bin/env bash
# Flies the panel scenario with the native bench and with the Windows bench under Wine, each
# writing its pictures, and compares them: the Windows bench paints the gauge's own bitmap
# resources where the native bench paints the same drawings with Cairo, so both pictures of a
# state agree but for the texts' fonts; and a seat click changes the Windows picture.
#   compare-panel.sh BUILD_DIR NATIVE_BENCH COMPARE_TOOL SCENARIO
set -euo pipefail
build=$(cd "$1" && pwd)
native=$2
compare=$3
scenario=$(cd "$(dirname "$4")" && pwd)/$(basename "$4")
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -x "$native" ]; then
    echo "FAIL: no native bench at $native (build the default preset's zelvan-bench first;" \
        "./dev windows-test does)" >&2
    exit 1
fi

work="$build/windows-tests/panel-pictures"
rm -rf "$work" && mkdir -p "$work/native" "$work/windows/settings"
z() { printf 'Z:%s' "${1//\//\\}"; }

"$native" run "$scenario" --panel-png "$work/native/png" --root "$work/native/root" \
    --settings-dir "$work/native/settings" >"$work/native/out.txt" 2>&1 ||
    { echo "FAIL: the native bench's flight failed:" >&2; cat "$work/native/out.txt" >&2; exit 1; }
"$here/../../Bench/Windows/wine-run.sh" "$build" "$build/bin/zelvan-bench.exe" run \
    "$(z "$scenario")" --panel-png "$(z "$work/windows/png")" --root "$(z "$work/windows/root")" \
    --settings-dir "$(z "$work/windows/settings")" --module "$(z "$build/bin/zelvan.dll")" \
    >"$work/windows/out.txt" 2>&1 ||
    { echo "FAIL: the Windows bench's flight failed:" >&2; cat "$work/windows/out.txt" >&2; exit 1; }

# The two mass texts are drawn by different font engines (Cairo's, GDI's): left out.
texts=(420,303,23,18 592,303,23,18)
failed=0
for state in front seated; do
    echo "$state:"
    "$compare" same "$work/native/png/$state.png" "$work/windows/png/$state.png" "${texts[@]}" ||
        { echo "FAIL: the pictures of '$state' disagree" >&2; failed=1; }
done
echo "the seat click, in the top view:"
"$compare" differ "$work/windows/png/front.png" "$work/windows/png/seated.png" 279,193,396,164 ||
    { echo "FAIL: the Windows picture did not change with the seat click" >&2; failed=1; }
exit "$failed"
