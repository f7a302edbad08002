#!/usr/bin/env bash
# Benchmark (not a test): measures every performance figure of the program against its
# reference in one run and prints the table (see tools/bench/bench.py). Needs the win64 build.
# It runs in a Wine prefix of its own (build/bench-wineprefix) on a private 1920 x 1080 display.
# Usage: tools/bench/bench.sh [--runs N] [--idle-seconds S] [--only download,start,idle,paint,size]
#        [--against OTHER/TnVexa.exe]   (start: another build measured in the same rounds)
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
for f in TnVexa.exe tools/bench/fetch_bench.exe tools/bench/paint_bench.exe tools/bench/min_dialog.exe tools/bench/min_login.exe; do
    [ -f "$ROOT/build/win64/$f" ] || { echo "build the win64 preset first (build/win64/$f missing)" >&2; exit 1; }
done
export TNVEXA_WINEPREFIX=${TNVEXA_BENCH_WINEPREFIX:-$ROOT/build/bench-wineprefix}
export TNVEXA_SCREEN=1920x1080x24 TNVEXA_XVFB=1
unset DISPLAY
source "$ROOT/tools/wine-env.sh"
wine_env_start
trap wine_env_stop EXIT
python3 -u "$ROOT/tools/bench/bench.py" "$@"
