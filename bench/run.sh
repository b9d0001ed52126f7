#!/usr/bin/env bash
# End-to-end benchmark: the real program on fresh copies of generated resource scripts, against
# a plain user-space copy of the same file (dd bs=128K) measured in the same run, and on the same
# text saved as UTF-16; then one call over 2,000 scripts of 12 KB against a durable copy of the
# same files (each written and flushed); then the converter alone in memory (Google Benchmark).
#
# Usage: bench/run.sh [--runs N] [--smoke] [SIZE_MIB ...]     (default sizes: 1 256 1024)
#   --smoke   the smallest size once, to check that the benchmark works; no verdict on speed.
# Data and copies go to build/bench (about five times the largest size on disk).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=7
smoke=0
sizes=()
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --smoke) smoke=1; shift ;;
    *) sizes+=("$1"); shift ;;
  esac
done
if [ "$smoke" -eq 1 ]; then
  sizes=(1)
  runs=1
fi
[ ${#sizes[@]} -gt 0 ] || sizes=(1 256 1024)

cmake --preset release >/dev/null
cmake --build --preset release --target tablemend generate_rc measure_command durable_copy >/dev/null
bin=build/release
program=$PWD/$bin/src/tablemend
measure=$PWD/$bin/bench/measure_command
copier=$PWD/$bin/bench/durable_copy
data=build/bench
mkdir -p "$data"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo "machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)," \
  "$(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)"
printf '%-9s %-9s %-11s %-11s %-7s %-7s %-12s %-10s %-11s %-9s\n' "size" "dd (s)" "dd+fsync" \
  "program (s)" "to dd" "to sync" "peak RSS" "log size" "UTF-16 (s)" "to ANSI"
declare -A rss_of ratio_of utf16_of
for size in "${sizes[@]}"; do
  input="$data/input-$size.rc"
  utf16_input="$data/input-$size-utf16.rc"
  [ -f "$input" ] || "$bin/bench/generate_rc" "$size" "$input"
  [ -f "$utf16_input" ] || "$bin/bench/generate_rc" "$size" "$utf16_input" 1 utf16
  work="$data/work"
  cat "$input" "$utf16_input" >/dev/null  # the page cache warm for every run
  program_times=()
  dd_times=()
  durable_times=()
  utf16_times=()
  rss=0
  for run in $(seq 0 "$runs"); do  # run 0 is the warm-up
    rm -rf "$work" "$data/copy.rc"
    mkdir -p "$work"
    cp "$input" "$work/a.rc"
    sync
    read -r seconds kib status < <("$measure" "$program" -s -f "$work/a.rc")
    [ "$status" -eq 0 ] || { echo "the program failed with status $status" >&2; exit 1; }
    sync
    read -r copy_seconds _ _ < <("$measure" dd if="$input" of="$data/copy.rc" bs=128K status=none)
    rm -f "$data/copy.rc" && sync
    read -r durable_seconds _ _ < <("$measure" dd if="$input" of="$data/copy.rc" bs=128K \
      conv=fsync status=none)
    if [ "$run" -gt 0 ]; then
      program_times+=("$seconds")
      dd_times+=("$copy_seconds")
      durable_times+=("$durable_seconds")
      [ "$kib" -gt "$rss" ] && rss=$kib
    fi
  done
  log_share=$(awk -v l="$(stat -c %s "$work/a.rc.log")" -v i="$(stat -c %s "$input")" \
    'BEGIN { printf "%.0f%%", 100 * l / i }')
  # The UTF-16 runs in a round of their own, so that the other runs' writes do not weigh on them.
  for run in $(seq 0 "$runs"); do
    rm -rf "$work" && mkdir -p "$work" && cp "$utf16_input" "$work/a.rc" && sync
    read -r utf16_seconds _ status < <("$measure" "$program" -s -f "$work/a.rc")
    [ "$status" -eq 0 ] || { echo "the program failed with status $status" >&2; exit 1; }
    [ "$run" -eq 0 ] || utf16_times+=("$utf16_seconds")
  done
  program_median=$(printf '%s\n' "${program_times[@]}" | median)
  dd_median=$(printf '%s\n' "${dd_times[@]}" | median)
  durable_median=$(printf '%s\n' "${durable_times[@]}" | median)
  utf16_median=$(printf '%s\n' "${utf16_times[@]}" | median)
  ratio=$(awk -v p="$program_median" -v d="$dd_median" 'BEGIN { printf "%.2f", p / d }')
  durable_ratio=$(awk -v p="$program_median" -v d="$durable_median" 'BEGIN { printf "%.2f", p / d }')
  utf16_ratio=$(awk -v u="$utf16_median" -v p="$program_median" 'BEGIN { printf "%.2f", u / p }')
  printf '%-9s %-9.3f %-11.3f %-11.3f %-7s %-7s %-12s %-10s %-11.3f %-9s\n' "$size MiB" \
    "$dd_median" "$durable_median" "$program_median" "$ratio" "$durable_ratio" "$rss KiB" \
    "$log_share" "$utf16_median" "$utf16_ratio"
  rss_of[$size]=$rss
  ratio_of[$size]=$durable_ratio
  utf16_of[$size]=$utf16_ratio
done
rm -rf "$data/work" "$data/copy.rc"

# Many small scripts in one call: each is replaced durably, its new text flushed before it takes
# the script's name, so the fair floor is a copy that flushes each file too.
count=2000
[ "$smoke" -eq 0 ] || count=20
small="$data/small-$count"
if [ ! -d "$small" ]; then
  mkdir -p "$small"
  "$bin/bench/generate_rc" $((count * 12 / 1024 + 1)) "$data/small-source.rc" 3
  split -C 12K -a 4 -d --additional-suffix=.rc "$data/small-source.rc" "$small/s"
  ls "$small" | sort | tail -n +$((count + 1)) | sed "s|^|$small/|" | xargs -r rm
fi
program_times=()
copy_times=()
for run in $(seq 0 "$runs"); do
  rm -rf "$data/work" && cp -r "$small" "$data/work" && sync
  read -r seconds _ status < <(cd "$data/work" && "$measure" "$program" -s ./*.rc)
  [ "$status" -eq 0 ] || { echo "the program failed with status $status" >&2; exit 1; }
  rm -rf "$data/work" && cp -r "$small" "$data/work" && sync
  read -r copy_seconds _ _ < <(cd "$data/work" && "$measure" "$copier" ./*.rc)
  if [ "$run" -gt 0 ]; then
    program_times+=("$seconds")
    copy_times+=("$copy_seconds")
  fi
done
rm -rf "$data/work"
program_median=$(printf '%s\n' "${program_times[@]}" | median)
copy_median=$(printf '%s\n' "${copy_times[@]}" | median)
echo
many_ratio=$(awk -v p="$program_median" -v c="$copy_median" 'BEGIN { printf "%.2f", p / c }')
printf '%s scripts of 12 KB in one call: %.3f s; a durable copy of them: %.3f s; ratio %s\n' \
  "$count" "$program_median" "$copy_median" "$many_ratio"

if [ "$smoke" -eq 0 ]; then
  echo
  if [ -n "${ratio_of[256]:-}" ]; then
    awk -v r="${ratio_of[256]}" 'BEGIN {
      printf "target: the 256 MiB run takes at most 1.5 times a dd copy flushed to disk: %.2f, %s\n", r,
        (r <= 1.5 ? "met" : "NOT met") }'
  fi
  if [ -n "${utf16_of[256]:-}" ]; then
    awk -v r="${utf16_of[256]}" 'BEGIN {
      printf "target: the same text in UTF-16 takes at most twice the ANSI time at 256 MiB: %.2f, %s\n",
        r, (r <= 2 ? "met" : "NOT met") }'
  fi
  awk -v r="$many_ratio" 'BEGIN { printf "target: 2,000 scripts in one call take at most twice " \
    "their durable copy: %.2f, %s\n", r, (r <= 2 ? "met" : "NOT met") }'
  smallest=${sizes[0]}
  largest=${sizes[${#sizes[@]}-1]}
  awk -v a="${rss_of[$smallest]}" -v b="${rss_of[$largest]}" -v s="$smallest" -v l="$largest" 'BEGIN {
    change = 100 * (b - a) / a; if (change < 0) change = -change
    printf "target: peak RSS at most 4096 KiB (%d KiB), within 10%% from %s MiB to %s MiB " \
      "(%.1f%%): %s\n", (a > b ? a : b), s, l, change,
      ((a <= 4096 && b <= 4096 && change <= 10) ? "met" : "NOT met") }'
  echo
  cmake --build --preset release --target converter_benchmark >/dev/null
  "$bin/bench/converter_benchmark" --benchmark_counters_tabular=true 2>&1 |
    grep -v "Library was built as DEBUG"
else
  cmake --build --preset release --target converter_benchmark >/dev/null
  "$bin/bench/converter_benchmark" --benchmark_min_time=0.01 2>&1 | grep BM_ConvertStringTables
  echo "smoke run: the benchmark works (no verdict on speed)"
fi
