#!/usr/bin/env bash
# Benchmark (not a test): the program's HTTP fetch and MD5 against curl and md5sum on one
# 100 MB download from the stand-in publisher on 127.0.0.1, in the same run.
# Needs the win64 build (build/win64/tests/win/fetch_bench.exe). Usage: tools/bench/fetch_bench.sh [MB]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
MB=${1:-100}
SIZE=$((MB * 1024 * 1024))
HELPER=$ROOT/build/win64/tests/win/fetch_bench.exe
[ -x "$HELPER" ] || { echo "build the win64 preset first ($HELPER missing)" >&2; exit 1; }
WORK=$(mktemp -d "${TMPDIR:-/tmp}/fetch_bench.XXXXXX")
trap 'touch "$WORK/stop"; sleep 0.3; rm -rf "$WORK"' EXIT

printf '{"routes": {"/bench.bin": {"size": %d}}}' "$SIZE" >"$WORK/scenario.json"
python3 "$ROOT/tools/publisher/server.py" --port 0 --log "$WORK/requests.jsonl" --scenario "$WORK/scenario.json" \
    --port-file "$WORK/port" --stop-file "$WORK/stop" --lifetime 1800 >/dev/null &
for _ in $(seq 1 100); do [ -s "$WORK/port" ] && break; sleep 0.1; done
URL="http://127.0.0.1:$(cat "$WORK/port")/bench.bin"
curl -s -o /dev/null "$URL"  # first answer builds the body in the server: keep it out of the timings

now() { date +%s.%N; }
t0=$(now); curl -s -o "$WORK/curl.bin" "$URL"; t1=$(now)
curl_s=$(echo "$t1 - $t0" | bc -l)
t0=$(now); md5sum_hex=$(md5sum "$WORK/curl.bin" | cut -c1-32); t1=$(now)
md5sum_s=$(echo "$t1 - $t0" | bc -l)

WINPATH="Z:$(echo "$WORK/prog.bin" | tr / '\\')"
for chunk in 512 1024; do
    line=$("$ROOT/tools/wine-run.sh" "$HELPER" "$URL" "$WINPATH" "$chunk" | tr -d '\r')
    echo "program: $line"
    fetch_s=$(sed -n 's/.*fetch_s=\([0-9.]*\).*/\1/p' <<<"$line")
    md5_s=$(sed -n 's/.*md5_s=\([0-9.]*\).*/\1/p' <<<"$line")
    md5_hex=$(sed -n 's/.*md5=\([0-9a-f]*\).*/\1/p' <<<"$line")
    printf 'chunk %4d: fetch %.2f s (%.1f MB/s), curl %.2f s (%.1f MB/s), ratio program/curl %.1f\n' "$chunk" \
        "$fetch_s" "$(echo "$MB / $fetch_s" | bc -l)" "$curl_s" "$(echo "$MB / $curl_s" | bc -l)" \
        "$(echo "$fetch_s / $curl_s" | bc -l)"
    printf '            md5 %.2f s (%.1f MB/s), md5sum %.2f s (%.1f MB/s), ratio %.1f, digests %s\n' "$md5_s" \
        "$(echo "$MB / $md5_s" | bc -l)" "$md5sum_s" "$(echo "$MB / $md5sum_s" | bc -l)" \
        "$(echo "$md5_s / $md5sum_s" | bc -l)" "$([ "$md5_hex" = "$md5sum_hex" ] && echo equal || echo DIFFER)"
done
