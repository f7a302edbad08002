#!/usr/bin/env bash
# Runs the launcher under Wine against the stand-in publisher on 127.0.0.1.
#   tools/run.sh              the installed copy (as after an install), main window and pages
#   tools/run.sh --install    a fresh copy from the build folder: the player's first start
#   tools/run.sh -- ARGS      pass ARGS to the program (for example -- /TnVexaD)
# On a desktop (DISPLAY set) the program stays until you close it; without one it runs on a
# virtual display, a screenshot is saved to build/run/screenshot.png, and everything ends.
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

echo "== build"
{ cmake --preset win64 >/dev/null && cmake --build build/win64 -j"$(nproc)" --target TnVexa >/dev/null; } || {
    echo "build failed: cmake --build build/win64 --target TnVexa" >&2; exit 1; }

OUT="$ROOT/build/run"
mkdir -p "$OUT"
export TNVEXA_WINEPREFIX="$ROOT/build/run-wineprefix"
headless=
[ -z "${DISPLAY:-}" ] && headless=1
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

python3 tools/publisher/server.py --port 0 --log "$OUT/publisher-requests.jsonl" --port-file "$OUT/port" \
    >/dev/null 2>&1 &
publisher=$!
cleanup() {
    kill "$publisher" 2>/dev/null
    wine_env_stop
}
trap cleanup EXIT
for _ in $(seq 1 50); do [ -s "$OUT/port" ] && break; sleep 0.1; done
publisher_host="127.0.0.1:$(cat "$OUT/port")"
# The program's test switches are registry values only an administrator can write (as it runs
# elevated); in this private prefix they point every publisher address at the stand-in.
wine64 reg delete 'HKLM\Software\Vexa\GameLogin\TnVexaTest' /f /reg:64 >/dev/null 2>&1
wine64 reg add 'HKLM\Software\Vexa\GameLogin\TnVexaTest' /v Publisher /t REG_SZ /d "$publisher_host" /f /reg:64 \
    >/dev/null 2>&1 || { echo "could not set the Publisher test switch" >&2; exit 1; }
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
wine64 "$exe" "${args[@]}" &
program=$!

if [ -n "$headless" ]; then
    for _ in $(seq 1 30); do
        xdotool search --onlyvisible --name "Vexa" >/dev/null 2>&1 && break
        sleep 1
    done
    sleep 3
    import -window root "$OUT/screenshot.png" && echo "screenshot: $OUT/screenshot.png"
    wineserver -k >/dev/null 2>&1   # ends every process of this run's prefix
else
    wait "$program"
    # The installer has started the installed copy; page processes end by themselves once the
    # main window is gone.
    while program_running; do sleep 1; done
fi
