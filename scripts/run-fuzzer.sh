#!/usr/bin/env bash
# run-fuzzer.sh FUZZER CORPUS SECONDS [SEEDS]: runs a native libFuzzer target
# for a bounded time on its corpus (made if missing), read together with
# the checked-in SEEDS folder if given, and fails on any finding.
set -eu
fuzzer=$1 corpus=$2 seconds=$3 seeds=${4:-}
[ -x "$fuzzer" ] || { echo "run-fuzzer: $fuzzer was not built" >&2; exit 1; }
[ -z "$seeds" ] || [ -d "$seeds" ] || { echo "run-fuzzer: no seed folder $seeds" >&2; exit 1; }
mkdir -p "$corpus" "$corpus.crashes"
# New inputs go into the first folder only; the seeds stay as they are.
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$corpus.crashes/" -print_final_stats=1 "$corpus" ${seeds:+"$seeds"}
