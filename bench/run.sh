#!/usr/bin/env bash
# End-to-end benchmark: the real program on fresh copies of generated resource scripts, against
# the least any program must do with the same bytes, measured in the same run. For a large script:
# a first run against reading it, finding its line feeds, writing and flushing it (scan_copy), and
# against dd (into the page cache, and flushed); the same text as UTF-16 in a round of its own.
# For many small scripts in one call (a first run, then a later one): against replacing each
# durably (durable_replace: a temporary file beside each, its writeback started, all flushed, each
# renamed over its file, the folder flushed once), against sed -i, which flushes nothing, and
# against a durable copy of each (durable_copy). Then the converter alone, in memory (Google
# Benchmark).
#
# Usage: bench/run.sh [--runs N] [--settle SECONDS] [--smoke] [SIZE_MIB ...]
#   --runs N       rounds after a warm-up (default 5); medians are reported
#   --settle S     seconds to wait between making the many scripts' copies and timing them
#                  (default 65; see bench/README.md for why)
#   --smoke        the smallest size once and twenty small scripts, to check that the benchmark
#                  works; no verdict on speed
# Data and copies go to build/bench (about five times the largest size on disk, and 25 MB for
# each copy of the small scripts).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=5
settle=65
smoke=0
sizes=()
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --settle) settle=$2; shift 2 ;;
    --smoke) smoke=1; shift ;;
    *) sizes+=("$1"); shift ;;
  esac
done
if [ "$smoke" -eq 1 ]; then
  sizes=(1)
  runs=1
  settle=0
fi
[ ${#sizes[@]} -gt 0 ] || sizes=(1 256 1024)

cmake --preset release >/dev/null
cmake --build --preset release --target tablemend generate_rc measure_command durable_copy \
  durable_replace scan_copy >/dev/null
bin=build/release
program=$PWD/$bin/src/tablemend
measure=$PWD/$bin/bench/measure_command
data=build/bench
mkdir -p "$data"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# Seconds of a command, its output dropped: the last line measure_command prints.
seconds_of() { "$measure" "$@" 2>/dev/null | tail -n 1 | cut -d' ' -f1; }
# Waits until what the last steps wrote is on disk, so that it does not weigh on the next one.
settle_disk() { sync && sleep "${1:-1}"; }

echo "machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)," \
  "$(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)," \
  "$(df -T "$data" | awk 'NR == 2 { print $2 }') under $data"
printf '%-9s %-8s %-9s %-9s %-11s %-8s %-8s %-8s %-12s %-9s %-10s %-8s\n' "size" "dd (s)" \
  "dd+fsync" "scan+sync" "program (s)" "to dd" "to sync" "to scan" "peak RSS" "log size" \
  "UTF-16 (s)" "to ANSI"
declare -A rss_of scan_ratio_of sync_ratio_of utf16_of
for size in "${sizes[@]}"; do
  input="$data/input-$size.rc"
  utf16_input="$data/input-$size-utf16.rc"
  [ -f "$input" ] || "$bin/bench/generate_rc" "$size" "$input"
  [ -f "$utf16_input" ] || "$bin/bench/generate_rc" "$size" "$utf16_input" 1 utf16
  work="$data/work"
  cat "$input" "$utf16_input" >/dev/null  # the page cache warm for every run
  program_times=() dd_times=() durable_times=() scan_times=() utf16_times=()
  rss=0
  for run in $(seq 0 "$runs"); do  # run 0 is the warm-up
    rm -rf "$work" "$data/copy.rc" && mkdir -p "$work" && cp "$input" "$work/a.rc" && settle_disk
    read -r seconds kib status < <("$measure" "$program" -s -f "$work/a.rc")
    [ "$status" -eq 0 ] || { echo "the program failed with status $status" >&2; exit 1; }
    settle_disk
    copy_seconds=$(seconds_of dd if="$input" of="$data/copy.rc" bs=128K status=none)
    rm -f "$data/copy.rc" && settle_disk
    durable_seconds=$(seconds_of dd if="$input" of="$data/copy.rc" bs=128K conv=fsync status=none)
    rm -f "$data/copy.rc" && settle_disk
    scan_seconds=$(seconds_of "$bin/bench/scan_copy" "$input" "$data/copy.rc")
    if [ "$run" -gt 0 ]; then
      program_times+=("$seconds") dd_times+=("$copy_seconds") durable_times+=("$durable_seconds")
      scan_times+=("$scan_seconds")
      [ "$kib" -gt "$rss" ] && rss=$kib
    fi
  done
  log_share=$(awk -v l="$(stat -c %s "$work/a.rc.log")" -v i="$(stat -c %s "$input")" \
    'BEGIN { printf "%.0f%%", 100 * l / i }')
  # The UTF-16 runs in a round of their own, so that the other runs' writes do not weigh on them.
  for run in $(seq 0 "$runs"); do
    rm -rf "$work" && mkdir -p "$work" && cp "$utf16_input" "$work/a.rc" && settle_disk
    read -r utf16_seconds _ status < <("$measure" "$program" -s -f "$work/a.rc")
    [ "$status" -eq 0 ] || { echo "the program failed with status $status" >&2; exit 1; }
    [ "$run" -eq 0 ] || utf16_times+=("$utf16_seconds")
  done
  program_median=$(printf '%s\n' "${program_times[@]}" | median)
  dd_median=$(printf '%s\n' "${dd_times[@]}" | median)
  durable_median=$(printf '%s\n' "${durable_times[@]}" | median)
  scan_median=$(printf '%s\n' "${scan_times[@]}" | median)
  utf16_median=$(printf '%s\n' "${utf16_times[@]}" | median)
  sync_ratio_of[$size]=$(ratio "$program_median" "$durable_median")
  scan_ratio_of[$size]=$(ratio "$program_median" "$scan_median")
  utf16_of[$size]=$(ratio "$utf16_median" "$program_median")
  rss_of[$size]=$rss
  printf '%-9s %-8.3f %-9.3f %-9.3f %-11.3f %-8s %-8s %-8s %-12s %-9s %-10.3f %-8s\n' "$size MiB" \
    "$dd_median" "$durable_median" "$scan_median" "$program_median" \
    "$(ratio "$program_median" "$dd_median")" "${sync_ratio_of[$size]}" "${scan_ratio_of[$size]}" \
    "$rss KiB" "$log_share" "$utf16_median" "${utf16_of[$size]}"
done
rm -rf "$data/work" "$data/copy.rc"

# Many small scripts in one call: the first 12 KiB of the generated 1 MiB script, 2,000 times.
# Every round times each command on a copy of its own, all made before the first round: deleting
# a round's copies just before the next round is timed would weigh on the program more than on
# the floor (see bench/README.md).
count=2000
[ "$smoke" -eq 0 ] || count=20
small="$data/small-$count"
if [ ! -d "$small" ]; then
  mkdir -p "$small"
  "$bin/bench/generate_rc" 1 "$data/small-source.rc" 1
  head -c 12288 "$data/small-source.rc" >"$data/small-one.rc"
  for index in $(seq -w 1 "$count"); do cp "$data/small-one.rc" "$small/s$index.rc"; done
fi
converted="$data/small-$count-converted"
if [ ! -d "$converted" ]; then
  cp -a "$small" "$converted" && (cd "$converted" && "$program" -s ./*.rc)
fi
copies="$data/copies"
many() {
  local case=$1 source=$2
  local commands=("$program -s" "$PWD/$bin/bench/durable_replace" "sed -i s/\"\"/\"--\"/"
    "$PWD/$bin/bench/durable_copy")
  # Each copy in a block group of its own where the file system spreads folders (ext4's TOPDIR):
  # the files one command frees then do not slow the files the next one makes.
  rm -rf "$copies" && mkdir -p "$copies" && { chattr +T "$copies" 2>/dev/null || true; }
  for run in $(seq 1 "$runs"); do
    for index in "${!commands[@]}"; do cp -a "$source" "$copies/$run-$index"; done
  done
  settle_disk "$settle"
  declare -A times=()
  for run in $(seq 1 "$runs"); do
    for index in "${!commands[@]}"; do
      # shellcheck disable=SC2086 # a command line with its options
      times[$index]+="$(cd "$copies/$run-$index" && seconds_of ${commands[$index]} ./*.rc) "
    done
  done
  local program_median floor_median sed_median copy_median
  program_median=$(printf '%s\n' ${times[0]} | median)
  floor_median=$(printf '%s\n' ${times[1]} | median)
  sed_median=$(printf '%s\n' ${times[2]} | median)
  copy_median=$(printf '%s\n' ${times[3]} | median)
  printf '%-10s %-11.3f %-9.3f %-8.3f %-14.3f %-9s %-8s\n' "$case" "$program_median" \
    "$floor_median" "$sed_median" "$copy_median" "$(ratio "$program_median" "$floor_median")" \
    "$(ratio "$program_median" "$sed_median")"
  many_ratio_of[$case]=$(ratio "$program_median" "$floor_median")
  rm -rf "$copies"
}
echo
echo "$count scripts of 12 KiB in one call (medians of $runs rounds, after ${settle} s of settling):"
printf '%-10s %-11s %-9s %-8s %-14s %-9s %-8s\n' "run" "program (s)" "floor (s)" "sed -i" \
  "durable copy" "to floor" "to sed"
declare -A many_ratio_of
many first "$small"
many later "$converted"

if [ "$smoke" -eq 0 ]; then
  echo
  verdict() { awk -v r="$2" -v t="$3" -v what="$1" 'BEGIN {
    printf "target: %s at most %s: %.2f, %s\n", what, t, r, (r <= t ? "met" : "NOT met") }'; }
  if [ -n "${scan_ratio_of[256]:-}" ]; then
    verdict "the 256 MiB first run to reading, scanning, writing and flushing it" \
      "${scan_ratio_of[256]}" 1.15
    verdict "the 256 MiB first run to dd conv=fsync" "${sync_ratio_of[256]}" 1.5
  fi
  verdict "2,000 scripts in one first run to their durable replacement" "${many_ratio_of[first]}" 1.2
  verdict "2,000 scripts in one later run to their durable replacement" "${many_ratio_of[later]}" 1.2
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
