#!/usr/bin/env bash
# Runs the fuzz harness for a bounded time, from the seeds in fuzz/corpus/converter.
# Usage: fuzz/run.sh [seconds, default 60] [build folder, default build/fuzz]
# New inputs go to a scratch corpus, so the repository's seeds stay as they are; an input that
# breaks the harness is kept in the build folder as crash-*, to be added to the seeds once fixed.
set -euo pipefail
seconds=${1:-60}
build=${2:-build/fuzz}
cd "$(dirname "$0")/.."
mkdir -p "$build/corpus" "$build/artifacts"
status=0
"$build/fuzz/converter_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=8192 -print_final_stats=1 -artifact_prefix="$build/artifacts/" \
  "$build/corpus" fuzz/corpus/converter >"$build/fuzz.log" 2>&1 || status=$?
grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units)" "$build/fuzz.log" || true
if [ "$status" -ne 0 ]; then
  tail -n 40 "$build/fuzz.log"
  echo "fuzz: the harness failed (status $status); see $build/fuzz.log and $build/artifacts" >&2
  exit 1
fi
echo "fuzz: the harness ran clean"
