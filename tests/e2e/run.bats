# Whole runs over the bundled example: the console, the status and every byte left on disk.
load helper

@test "the first run converts the example, keeps it as the backup and logs every change" {
  cp "$examples/app.rc" app.rc
  tm -v -f app.rc
  assert_success
  assert_output "$(cat "$golden/app.verbose.expected")"
  assert_files_equal app.rc "$golden/app.rc.expected"
  assert_files_equal app.rc.original "$examples/app.rc"
  assert_log app.rc.log "$golden/app.rc.log.expected"
  grep -q "$(date '+%a %b %d') [0-2][0-9]:[0-5][0-9]:[0-6][0-9] $(date +%Y)" app.rc.log
}

@test "--check lists the lines a run would change and touches nothing; after a run, none are left" {
  cp "$examples/app.rc" app.rc && touch -d @1600000000.123456789 app.rc
  for options in --check "-v --check" "-s --check"; do
    tm $options -f app.rc
    assert_failure 1
    assert_output "$([ "$options" = "-s --check" ] || cat "$golden/check.expected")"
  done
  assert_equal "$(ls && stat -c %.9Y app.rc)" "$(printf 'app.rc\n1600000000.123456789')"
  assert_files_equal app.rc "$examples/app.rc"
  tm -s -f app.rc
  tm --check -f app.rc
  assert_success
  assert_output "app.rc: nothing would change."
}

@test "a second run writes the same bytes from the untouched backup; -v shows even with -s" {
  converted_example
  tm -s -v -f app.rc
  assert_success
  assert_output "$(sed '$d' "$golden/app.verbose.expected")"
  assert_files_equal app.rc "$golden/app.rc.expected"
  assert_files_equal app.rc.original "$examples/app.rc"
  assert_log app.rc.log "$golden/app.rc.log.expected" "$golden/app.rc.log.expected"
}

@test "a hand edit after a run is refused and kept, with the banner shown even with -s" {
  converted_example
  cp app.rc.log before.log
  echo "edited by hand" >app.rc
  set_time_after app.rc app.rc.original 1000
  for silence in -v -s; do
    tm "$silence" -f app.rc
    assert_failure 255
    assert_output "$(cat "$golden/refusal.expected")"
  done
  assert_equal "$(cat app.rc)" "edited by hand"
  assert_files_equal app.rc.original "$examples/app.rc"
  local refusal=("$golden/log-header.expected" "$golden/refusal.log.expected" "$golden/log-footer.expected")
  assert_log app.rc.log before.log "${refusal[@]}" "${refusal[@]}"
  # Equal times are allowed: touching the backup throws the edit away.
  touch -r app.rc app.rc.original
  tm -f app.rc
  assert_output "Complete."
  assert_files_equal app.rc "$golden/app.rc.expected"
}

@test "a file shorter than the four bytes that tell its encoding is copied as it is" {
  printf 'A\0B' >short.rc
  tm -s -f short.rc
  assert_success
  cmp short.rc <(printf 'A\0B')
}

@test "names are used as given: spaces, dashes, any letters, long paths and extensions" {
  long=$(printf '%0150d' 0)/$(printf '%0150d' 1)
  mkdir -p "$long" ünï_名前
  while IFS='|' read -r name extension; do
    cp "$examples/app.rc" "./$name"
    for round in first second; do
      tm -f "$name" -e "${extension:-original}"
      assert_output "Complete."
    done
    assert_files_equal "./$name" "$golden/app.rc.expected"
    assert_files_equal "./$name.${extension:-original}" "$examples/app.rc"
    assert_log "./$name.log" "$golden/app.rc.log.expected" "$golden/app.rc.log.expected"
  done <<EOF
my strings.rc|old copy
-strings.rc|
--file|-s
chaîne.rc|été
a.rc|$(printf '%0200d' 0)
ünï_名前/b.rc|名前
$long/a.rc|
EOF
}

@test "UTF-16 scripts are updated in their own encoding, with the byte-order mark they had" {
  for encoding in UTF-16LE UTF-16BE; do
    for mark in $'\xef\xbb\xbf' ""; do
      utf16() { { printf '%s' "$mark"; cat "$1"; } | iconv -f UTF-8 -t "$encoding"; }
      utf16 "$examples/app.rc" >app.rc
      tm --check -f app.rc
      assert_failure 1
      assert_output "$(cat "$golden/check.expected")"
      for round in first second; do
        tm -v -f app.rc
        assert_output "$(cat "$golden/app.verbose.expected")"
        cmp app.rc <(utf16 "$golden/app.rc.expected")
        cmp app.rc.original <(utf16 "$examples/app.rc")
      done
      assert_log app.rc.log "$golden/app.rc.log.expected" "$golden/app.rc.log.expected"
      rm app.rc*
    done
  done
}

@test "in UTF-16 only whole code units count, and the log shows a lone surrogate as U+FFFD" {
  # U+0A0D holds the bytes of CR LF; D800 is half a surrogate pair.
  utf16() { printf "$@" | iconv -f UTF-8 -t UTF-16LE; }
  { printf '\xff\xfe'; utf16 'STRINGTABLE\r\nBEGIN\r\n'; printf '\x00\xd8'; utf16 'A, ""\r\n\xe0\xa8\x8d, ""'; } >a.rc
  tm -f a.rc
  assert_output "Complete."
  cmp a.rc <(printf '\xff\xfe'; utf16 'STRINGTABLE\r\nBEGIN\r\n'; printf '\x00\xd8'; utf16 'A, "EI"\r\n\xe0\xa8\x8d, "--"\r\n')
  grep -q $'\t\xef\xbf\xbdA, "EI"\r$' a.rc.log
}

@test "an entry without a comma on a last line without a line end keeps having none" {
  printf 'STRINGTABLE\r\nBEGIN\r\n  A  ""  // x' >a.rc
  tm --check -f a.rc
  assert_failure 1
  assert_output "$(printf 'a.rc:3:   A  "EI"  // x\na.rc: 1 line would change.')"
  tm -f a.rc
  assert_output "Complete."
  cmp a.rc <(printf 'STRINGTABLE\r\nBEGIN\r\n  A  "EI"  // x')
}

@test "a read-only script is converted and its backup stamped, as an ordinary user" {
  enter_user_folder
  cp "$examples/app.rc" app.rc && chmod 444 app.rc && give_to_user app.rc
  tm_user -f app.rc
  assert_equal "$output $(stat -c %a app.rc.original)" "Complete. 444"
  # A POSIX rc file keeps its backup's mode, so the next run may not write it, and says so before
  # touching anything; a Windows one is made writable.
  local before=$(stat -c '%.9Y %n' app.rc*; cksum app.rc*)
  tm_user -f app.rc
  if [ -z "${TABLEMEND_LAUNCHER-}" ]; then
    assert_output "$(printf 'Unable to open app.rc for writing\nMake sure that you have permission to write to the file.\nExiting.')"
    assert_equal "$(stat -c '%.9Y %n' app.rc*; cksum app.rc*)" "$before"
    chmod u+w app.rc && tm_user -f app.rc
  fi
  assert_output "Complete."
}

@test "a backup whose time cannot be set is reported even with -s, and every byte stays" {
  [ "$(id -u)" -eq 0 ] || skip "only root can give the backup to a user other than the one running"
  enter_user_folder
  cp "$examples/app.rc" app.rc
  tm_user -s -f app.rc
  assert_failure 255
  assert_output "$(printf 'Unable to set the last-write time of the backup file app.rc.original\napp.rc was written, but the next run will refuse it as edited by hand.\nTo let it run, make app.rc.original writable by this user, or set its time to now.')"
  assert_files_equal app.rc "$golden/app.rc.expected"
  assert_files_equal app.rc.original "$examples/app.rc"
  assert_log app.rc.log "$golden/app.rc.log.expected"
  # What the report says lets the runs go on: a backup this user may write (under Wine, which sets
  # a time by its value, as only the owner may: one it owns), its time set to now.
  [ -z "${TABLEMEND_LAUNCHER-}" ] && chmod 666 app.rc.original || give_to_user app.rc.original
  touch app.rc.original
  for round in first second; do
    tm_user -f app.rc
    assert_output "Complete."
  done
}

@test "several files are processed in turn, each as if alone, past a failure, under one extension" {
  cp "$examples/app.rc" one.rc && cp "$examples/app.rc" two.rc
  tm -e bak one.rc -f missing.rc two.rc
  assert_failure 255
  assert_output "$(printf '==> one.rc <==\nComplete.\n==> missing.rc <==\nFile given [missing.rc] does not exist.\nExiting.\n==> two.rc <==\nComplete.')"
  for name in one two; do
    assert_files_equal $name.rc "$golden/app.rc.expected"
    assert_files_equal $name.rc.bak "$examples/app.rc"
    assert_log $name.rc.log "$golden/app.rc.log.expected"
  done
  tm --check one.rc two.rc
  assert_success
  assert_output "$(printf '==> one.rc <==\none.rc: nothing would change.\n==> two.rc <==\ntwo.rc: nothing would change.')"
}
