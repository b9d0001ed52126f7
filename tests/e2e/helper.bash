# Shared by the end-to-end tests: each test runs in a scratch folder of its own, starts the
# program there as a user does, and compares the files it leaves with the expected bytes.
# TABLEMEND names the program and TABLEMEND_LAUNCHER what starts it (Wine for the Windows build,
# whose console ends its lines in CR LF).
# The assertion libraries' files, sourced as they are: their own load scripts fork a dirname for
# every file they source, which cost each test more than most of its runs of the program. Found
# where bats_load_library looks.
load_libraries() {
  local folder library file
  for library in bats-support bats-assert bats-file; do
    for folder in ${BATS_LIB_PATH//:/ } /usr/lib/bats; do
      [ -d "$folder/$library/src" ] || continue
      for file in "$folder/$library"/src/*.bash; do source "$file"; done
      continue 2
    done
    bats_load_library "$library"
  done
}
load_libraries

# Absolute already (bats makes the test's folder so), and without a fork each.
examples=${BATS_TEST_DIRNAME%/*/*}/examples
golden=${BATS_TEST_DIRNAME%/*}/golden

# Files stay under 64 MiB: a program that writes without end (a fault planted to try the tests)
# is stopped at once and fails its test, rather than filling the disk until the test times out.
setup() { ulimit -f 65536 && cd "$BATS_TEST_TMPDIR"; }

# Runs the program with these arguments; a console's CR LF line ends read as LF, and, as in any
# command substitution, line ends at the end are dropped.
tm() {
  run $TABLEMEND_LAUNCHER "$TABLEMEND" "$@"
  output=${output//$'\r\n'/$'\n'}
  while [[ "$output" == *[$'\r\n'] ]]; do output=${output%?}; done
}

# Runs the program (with tm, or with the runner TM names) and checks its status and its output
# at once; the output is the name of a golden file, or a text with printf's escapes.
expect_run() {
  local want=$1 text=$2
  shift 2
  if [ -f "$golden/$text" ]; then text=$(<"$golden/$text"); else printf -v text '%b' "$text"; fi
  while [[ "$text" == *$'\n' ]]; do text=${text%?}; done
  ${TM:-tm} "$@"
  assert_equal "$status: $output" "$want: $text"
}

# expect_run for each row of a table on standard input, "status|text|arguments", the arguments
# split as a shell splits them. The whole table is read before the first run: a program that
# reads its standard input, or a process it leaves behind, would otherwise take rows from it,
# and they would silently not run, or run with another row's expectations.
expect_rows() {
  local rows row want text arguments
  mapfile -t rows
  for row in "${rows[@]}"; do
    IFS='|' read -r want text arguments <<<"$row"
    eval "expect_run \"\$want\" \"\$text\" $arguments"
  done
}

# The UTF-8 text of the files as UTF-16 of the given byte order (UTF-16LE or UTF-16BE), after a
# byte-order mark when the second argument is "mark".
utf16() {
  local encoding=$1 mark=$2
  shift 2
  { [ "$mark" != mark ] || printf '\xef\xbb\xbf'; cat "$@"; } | iconv -f UTF-8 -t "$encoding"
}

# Runs the program as tm does, as an ordinary user: nobody when the tests run as root, whom no
# permission stops (under Wine, TABLEMEND_USER_LAUNCHER does the same). Files go to that user
# with give_to_user, in a folder it may write, which enter_user_folder makes and the test removes.
tm_user() {
  local user=${TABLEMEND_USER_LAUNCHER-}
  [ -n "$user" ] || [ "$(id -u)" -ne 0 ] || user="setpriv --reuid=65534 --regid=65534 --clear-groups"
  TABLEMEND_LAUNCHER=$user tm "$@"
}
give_to_user() { [ "$(id -u)" -ne 0 ] || chown 65534:65534 "$@"; }
enter_user_folder() { folder=$(mktemp -d /tmp/tablemend-XXXXXX) && chmod 777 "$folder" && cd "$folder"; }
teardown() { [ -z "${folder-}" ] || { chmod -R u+w "$folder" && rm -rf "$folder"; }; }

# Compares a log with the expected files one after the other, every time stamp ("Sat Dec 05
# 09:03:04 2026") masked.
assert_log() {
  local stamp='s/(Sun|Mon|Tue|Wed|Thu|Fri|Sat) [A-Z][a-z]{2} [0-3][0-9] [0-2][0-9](:[0-5][0-9]){2} [0-9]{4}/<time>/g'
  diff <(sed -E "$stamp" "$1") <(sed -E "$stamp" "${@:2}")
}

# Sets a file's last-write time the given nanoseconds after another file's.
set_time_after() {
  local nanoseconds
  nanoseconds=$(($(stat -c %.9Y "$2" | tr -d .) + $3))
  touch -d "@${nanoseconds:0:-9}.${nanoseconds: -9}" "$1"
}
