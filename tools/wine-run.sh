#!/usr/bin/env bash
# Runs one Windows executable under Wine in the project's prefix: the emulator of the cross
# build's tests. The test script sets up the prefix and display; run alone, it does it itself.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ -z "${DISPLAY:-}" ] || [ ! -f "$WINEPREFIX/.tnvexa-ready" ]; then
    exec 9>"$(dirname "$WINEPREFIX")/.wine-env.lock"
    flock 9
    trap wine_env_stop EXIT
    wine_env_start || exit 1
    wine64 "$@"
    exit $?
fi
exec wine64 "$@"
