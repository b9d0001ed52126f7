#!/usr/bin/env bash
# Kills a run at each of its system calls in turn, every call of every kind (strace's fault
# injection), on a first run and on a later one, in UTF-8 and UTF-16, and holds the next plain run
# to what an uninterrupted run leaves: status 0, the converted script, the original in the backup.
# The file operations alone, failed or killed, and power cuts, are the fault tests' (ctest -R
# faults); this covers every other call as well, from the loader's to the last.
# Usage: tests/faults/kill_at_every_syscall.sh PROGRAM     (needs strace and iconv)
set -euo pipefail
program=$(realpath "$1")
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

utf16() { iconv -f UTF-8 -t UTF-16 "$1"; }
fail() { echo "killed at $kind #$when ($encoding, $round run): $*" >&2; exit 1; }

kills=0
for encoding in utf8 utf16; do
  store=cat && [ "$encoding" = utf8 ] || store=utf16
  $store "$source_dir/examples/app.rc" >original && $store "$source_dir/tests/golden/app.rc.expected" >expected
  for round in first later; do
    rm -rf start && mkdir start && cp original start/app.rc
    [ "$round" = first ] || (cd start && "$program" -s app.rc)
    # Each kind of call, and how many times an uninterrupted run makes it.
    rm -rf work && cp -a start work
    (cd work && strace -f -qq -c -o ../summary "$program" -s app.rc)
    while read -r kind count; do
      for when in $(seq 1 "$count"); do
        rm -rf work && cp -a start work
        # Braces, so that the shell's word of the killed run goes where the run's output goes.
        { (cd work && strace -f -qq -o /dev/null -e "inject=$kind:signal=SIGKILL:when=$when" \
          "$program" -s app.rc); } >/dev/null 2>&1 || true
        output=$(cd work && "$program" app.rc) && status=0 || status=$?
        [ "$status" -eq 0 ] || fail "the next run ended $status: $output"
        [ "$output" = "Complete." ] || fail "the next run said: $output"
        cmp -s work/app.rc expected || fail "the next run left other bytes"
        cmp -s work/app.rc.original original || fail "the backup does not hold the original"
        kills=$((kills + 1))
      done
    done < <(awk 'NF >= 5 && $4 ~ /^[0-9]+$/ && $NF != "total" { print $NF, $4 }' summary)
  done
done
echo "killed at each of $kills system calls in turn: every next run completed as an uninterrupted run"
