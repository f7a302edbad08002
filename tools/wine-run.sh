#!/usr/bin/env bash
# Runs one Windows executable under Wine in the project's prefix: the emulator of the cross
# build's tests. The test script sets up the prefix and display; run alone, it does it itself.
#
# The program's output goes through a file: Wine's helper processes (services, the desktop
# window) outlive a test and would otherwise hold the caller's pipe open until its time-out.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ -z "${DISPLAY:-}" ] || [ ! -f "$WINEPREFIX/.tnvexa-ready" ]; then
    exec 9>"$(dirname "$WINEPREFIX")/.wine-env.lock"
    flock 9
    trap wine_env_stop EXIT
    wine_env_start || exit 1
fi
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
wine64 "$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
