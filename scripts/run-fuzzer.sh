#!/usr/bin/env bash
# run-fuzzer.sh FUZZER CORPUS SECONDS: runs a native libFuzzer target for a
# bounded time on its corpus (made if missing) and fails on any finding.
set -eu
fuzzer=$1 corpus=$2 seconds=$3
[ -x "$fuzzer" ] || { echo "run-fuzzer: $fuzzer was not built" >&2; exit 1; }
mkdir -p "$corpus" "$corpus.crashes"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$corpus.crashes/" -print_final_stats=1 "$corpus"
