#!/usr/bin/env bash
# Runs every fuzz harness for a bounded time, starting from the seed corpus in fuzz/corpus.
# Usage: fuzz/run.sh [seconds per harness, default 60] [build folder, default build/fuzz]
# New inputs go to a scratch corpus, so the repository's seeds stay as they are; an input that
# breaks a harness is kept in the build folder as crash-*, to be added to the seeds once fixed.
set -euo pipefail
seconds=${1:-60}
build=${2:-build/fuzz}
cd "$(dirname "$0")/.."
for harness in text_stream converter command_line; do
  work="$build/corpus/$harness"
  mkdir -p "$work" "$build/artifacts"
  echo "== $harness: $seconds s"
  log="$build/$harness.log"
  status=0
  "$build/fuzz/${harness}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="$build/artifacts/$harness-" \
    "$work" "fuzz/corpus/$harness" >"$log" 2>&1 || status=$?
  grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units)" "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    echo "fuzz: $harness failed (status $status); see $log and $build/artifacts" >&2
    exit 1
  fi
done
echo "fuzz: every harness ran clean"
