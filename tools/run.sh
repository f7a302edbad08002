#!/usr/bin/env bash
# Runs the launcher under Wine against the stand-in publisher on 127.0.0.1.
#   tools/run.sh              the installed copy (as after an install), main window and pages
#   tools/run.sh --install    a fresh copy from the build folder: the player's first start
#   tools/run.sh -- ARGS      pass ARGS to the program (for example -- /TnVexaD)
# On a desktop (DISPLAY set) the program stays until you close it. Without one it runs on a
# virtual display and drives itself through the program's automation switch: launch, three
# logins against the stand-in, the main window with three tabs; it saves screenshots in
# build/run/ and names them, and everything ends (with --install, the installed copy that the
# first start starts is driven).
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
source tools/deps.sh
tnvexa_ensure_packages || exit 1

mode=installed
args=()
while [ $# -gt 0 ]; do
    case "$1" in
    --install) mode=install ;;
    --) shift; args=("$@"); break ;;
    *) echo "usage: $0 [--install] [-- program arguments]" >&2; exit 2 ;;
    esac
    shift
done

headless=
[ -z "${DISPLAY:-}" ] && headless=1
# The headless run reads and drives the windows with two of the Win32 test helpers.
targets=(TnVexa)
[ -n "$headless" ] && targets+=(post_msg page_automate)
echo "== build"
{ tnvexa_configure win64 >/dev/null && cmake --build build/win64 -j"$(nproc)" --target "${targets[@]}" >/dev/null; } ||
    { echo "build failed: cmake --build build/win64 --target ${targets[*]}" >&2; exit 1; }

OUT="$ROOT/build/run"
mkdir -p "$OUT"
export TNVEXA_WINEPREFIX="$ROOT/build/run-wineprefix"
source tools/wine-env.sh
# The install writes shortcuts: they stay inside the prefix instead of becoming menu entries of
# the desktop that runs this script.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-winemenubuilder.exe=d}"
wine_env_start || exit 1

# Whether a copy of the program still runs in this run's prefix (the installer's installed copy,
# page processes).
program_running() {
    local p
    for p in $(pgrep -f 'TnVexa\.exe'); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
    done
    return 1
}

rm -f "$OUT/publisher-requests.jsonl"
python3 tools/publisher/server.py --port 0 --log "$OUT/publisher-requests.jsonl" --port-file "$OUT/port" \
    >/dev/null 2>&1 &
publisher=$!
cleanup() {
    kill "$publisher" 2>/dev/null
    wine_env_stop
}
trap cleanup EXIT
rm -f "$OUT/port"
for _ in $(seq 1 100); do [ -s "$OUT/port" ] && break; sleep 0.1; done
[ -s "$OUT/port" ] || { echo "the stand-in publisher did not start" >&2; exit 1; }
publisher_host="127.0.0.1:$(cat "$OUT/port")"
# The program's test switches are registry values only an administrator can write (as it runs
# elevated); in this private prefix they point every publisher address at the stand-in.
wine64 reg delete 'HKLM\Software\Vexa\GameLogin\TnVexaTest' /f /reg:64 >/dev/null 2>&1
wine64 reg add 'HKLM\Software\Vexa\GameLogin\TnVexaTest' /v Publisher /t REG_SZ /d "$publisher_host" /f /reg:64 \
    >/dev/null 2>&1 || { echo "could not set the Publisher test switch" >&2; exit 1; }
# Wine keeps no access lists (every folder reads as the user's own): the user stands in for the
# Administrators group, or the install folder would be moved aside as untrusted at every run.
wine64 reg add 'HKLM\Software\Vexa\GameLogin\TnVexaTest' /v TrustOwnUser /t REG_SZ /d 1 /f /reg:64 \
    >/dev/null 2>&1 || { echo "could not set the TrustOwnUser test switch" >&2; exit 1; }
echo "stand-in publisher: http://$publisher_host/ (requests logged to $OUT/publisher-requests.jsonl)"

if [ "$mode" = installed ]; then
    dir="$WINEPREFIX/drive_c/ProgramData/Vexa/GameLogin"
    mkdir -p "$dir"
    cp -f build/win64/TnVexa.exe "$dir/TnVexa.exe"
    exe="$dir/TnVexa.exe"
else
    mkdir -p "$WINEPREFIX/drive_c/users/Public/Downloads"
    cp -f build/win64/TnVexa.exe "$WINEPREFIX/drive_c/users/Public/Downloads/TnVexa.exe"
    exe="$WINEPREFIX/drive_c/users/Public/Downloads/TnVexa.exe"
fi
echo "== starting $exe ${args[*]:-}"
if [ -z "$headless" ]; then
    wine64 "$exe" "${args[@]}"
    # The installer has started the installed copy; page processes end by themselves once the
    # main window is gone.
    while program_running; do sleep 1; done
else
    # The installer starts the installed copy, which the driver then finds as it finds a launch.
    rm -f "$OUT"/*.png
    python3 tools/drive_road.py "$exe" "$OUT" "http://$publisher_host" "${args[@]}"
    rc=$?
    wineserver -k >/dev/null 2>&1   # ends every process of this run's prefix
    exit $rc
fi
