#!/usr/bin/env bash
# Builds everything and runs every test tier in one ctest run:
#   host  portable rules (native g++)      asan  the same under ASan and UBSan (clang)
#   fuzz  libFuzzer targets, bounded time  win   Win32 tests under Wine
#   e2e   the real TnVexa.exe under Wine against the stand-in publisher
# Extra arguments go to ctest (for example: -L host, -R e2e.test_startup).
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
source tools/deps.sh
tnvexa_ensure_packages || exit 1

export TNVEXA_WERROR=ON
# Cache hits across checkouts in other folders (CI clones afresh): paths relative to the root,
# and the working directory left out of the hash of debug-info builds.
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
JOBS=$(nproc)
mkdir -p build

# A private prefix made for this run, and a private display. The prefix is made while the trees
# build: Wine's first boot mostly waits.
export TNVEXA_WINEPREFIX="$ROOT/build/test-wineprefix"
rm -rf "$TNVEXA_WINEPREFIX"
export TNVEXA_XVFB=1
source tools/wine-env.sh
wine_env_display || exit 1
trap wine_env_stop EXIT
wine_env_make_prefix >build/wineprefix.log 2>&1 &
prefix_job=$!

# Three trees: the sanitizer tier's tests are built with the fuzzers, from one instrumented library.
for preset in host host-fuzz win64; do
    echo "== build $preset"
    log="build/$preset.log"
    if ! { tnvexa_configure "$preset" >"$log" 2>&1 && cmake --build "build/$preset" -j"$JOBS" >>"$log" 2>&1; }; then
        tail -n 60 "$log"
        echo "build of $preset failed (log: $log)" >&2
        exit 1
    fi
done

# One ctest run over all build trees.
cat >build/CTestTestfile.cmake <<'CT'
subdirs("host")
subdirs("host-fuzz")
subdirs("win64")
CT

echo "== wine prefix and display"
if ! wait "$prefix_job"; then
    cat build/wineprefix.log
    exit 1
fi
wine_env_serve || exit 1
echo "display $DISPLAY, prefix $WINEPREFIX"

ctest --test-dir build --output-on-failure -j2 "$@"
rc=$?
exit $rc
