# Whole runs over the bundled example: the console, the status and every byte left on disk.
load helper

@test "--check lists the lines a run would change and touches nothing; after a run, none are left" {
  cp "$examples/app.rc" app.rc && touch -d @1600000000.123456789 app.rc
  expect_run 1 check.expected -v --check -f app.rc
  expect_run 1 "" -s --check -f app.rc
  assert_equal "$(ls && stat -c %.9Y app.rc)" "$(printf 'app.rc\n1600000000.123456789')"
  assert_files_equal app.rc "$examples/app.rc"
  tm -s -f app.rc
  expect_run 0 "app.rc: nothing would change." --check -f app.rc
}

@test "a hand edit after a run is refused and kept, with the banner shown even with -s" {
  cp "$examples/app.rc" app.rc && expect_run 0 "" -s -f app.rc
  cp app.rc.log before.log
  echo "edited by hand" >app.rc
  set_time_after app.rc app.rc.original 1000
  expect_run 255 refusal.expected -v -f app.rc
  expect_run 255 refusal.expected -s -f app.rc
  assert_equal "$(cat app.rc)" "edited by hand"
  assert_files_equal app.rc.original "$examples/app.rc"
  local refusal=("$golden/log-header.expected" "$golden/refusal.log.expected" "$golden/log-footer.expected")
  assert_log app.rc.log before.log "${refusal[@]}" "${refusal[@]}"
  # Equal times are allowed: touching the backup throws the edit away.
  touch -r app.rc app.rc.original
  expect_run 0 Complete. -f app.rc
  assert_files_equal app.rc "$golden/app.rc.expected"
}

# The second run of each regenerates the same bytes from the untouched backup, and shows the
# changes with -v even with -s.
@test "runs convert the example, keep it as the backup and log every change, under names as given" {
  long=$(printf '%0150d' 0)/$(printf '%0150d' 1)
  mkdir -p "$long" ünï_名前
  while IFS='|' read -r name extension; do
    cp "$examples/app.rc" "./$name"
    local today=$(date '+%a %b %d ..:..:.. %Y')  # or tomorrow, past midnight
    expect_run 0 app.verbose.expected -v -f "$name" -e "${extension:-original}"
    expect_run 0 "$(sed '$d' "$golden/app.verbose.expected")" -s -v -f "$name" -e "${extension:-original}"
    grep -q -e "$today" -e "$(date '+%a %b %d ..:..:.. %Y')" "./$name.log"
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
    for mark in mark ""; do
      utf16 $encoding "$mark" "$examples/app.rc" >app.rc
      expect_run 1 check.expected --check -f app.rc
      expect_run 0 app.verbose.expected -v -f app.rc
      cmp app.rc <(utf16 $encoding "$mark" "$golden/app.rc.expected")
      cmp app.rc.original <(utf16 $encoding "$mark" "$examples/app.rc")
      assert_log app.rc.log "$golden/app.rc.log.expected"
      rm app.rc*
    done
  done
}

@test "in UTF-16 only whole code units count, and the log shows a lone surrogate as U+FFFD" {
  # U+0A0D holds the bytes of CR LF; D800 is half a surrogate pair.
  head() { printf 'STRINGTABLE\r\nBEGIN\r\n' | utf16 UTF-16LE mark; printf '\x00\xd8'; }
  { head; printf 'A, ""\r\n\xe0\xa8\x8d, ""' | utf16 UTF-16LE ""; } >a.rc
  expect_run 0 Complete. -f a.rc
  cmp a.rc <(head; printf 'A, "EI"\r\n\xe0\xa8\x8d, "--"\r\n' | utf16 UTF-16LE "")
  grep -q $'\t\xef\xbf\xbdA, "EI"\r$' a.rc.log
}

@test "a read-only script is converted and its backup stamped, as an ordinary user" {
  enter_user_folder
  cp "$examples/app.rc" app.rc && chmod 444 app.rc && give_to_user app.rc
  TM=tm_user expect_run 0 Complete. -f app.rc
  assert_equal "$(stat -c %a app.rc.original)" 444
  # A POSIX rc file keeps its backup's mode, so the next run may not write it, and says so before
  # touching anything; a Windows one is made writable.
  local before=$(stat -c '%.9Y %n' app.rc*; cksum app.rc*)
  if [ -z "${TABLEMEND_LAUNCHER-}" ]; then
    TM=tm_user expect_run 255 'Unable to open app.rc for writing\nMake sure that you have permission to write to the file.\nExiting.' -f app.rc
    assert_equal "$(stat -c '%.9Y %n' app.rc*; cksum app.rc*)" "$before"
    chmod u+w app.rc
  fi
  TM=tm_user expect_run 0 Complete. -f app.rc
  TM=tm_user expect_run 0 Restored. --restore -f app.rc
  assert_equal "$(ls && stat -c %a app.rc)" "$(printf 'app.rc\napp.rc.log\n444')"
  assert_files_equal app.rc "$examples/app.rc"
}

@test "--restore puts the original back after one run or two, logs it, and keeps a hand edit" {
  cp "$examples/app.rc" app.rc
  expect_run 255 'No backup file [app.rc.original] to restore app.rc from.\nExiting.' --restore app.rc
  for runs in "app.rc" "app.rc app.rc"; do
    tm -s $runs
    expect_run 0 Restored. --restore app.rc
    assert_files_equal app.rc "$examples/app.rc"
    assert_equal "$(ls)" "$(printf 'app.rc\napp.rc.log')"
  done
  assert_equal "$(grep -c 'Starting New Log' app.rc.log; grep -c '^Restore of the .rc File from app.rc.original complete' app.rc.log)" "$(printf '5\n2')"
  # Edited after the last run: the edit is never dropped, and nothing is touched.
  tm -s app.rc && echo "edited by hand" >>app.rc && set_time_after app.rc app.rc.original 1000
  local before=$(cksum app.rc*)
  expect_run 255 refusal.expected -s --restore app.rc
  assert_equal "$(cksum app.rc*)" "$before"
}

@test "a backup whose time cannot be set is reported even with -s, and every byte stays" {
  [ "$(id -u)" -eq 0 ] || skip "only root can give the backup to a user other than the one running"
  enter_user_folder
  cp "$examples/app.rc" app.rc
  TM=tm_user expect_run 255 'Unable to set the last-write time of the backup file app.rc.original\napp.rc was written, but the next run will refuse it as edited by hand.\nTo let it run, make app.rc.original writable by this user, or set its time to now.' -s -f app.rc
  assert_files_equal app.rc "$golden/app.rc.expected"
  assert_files_equal app.rc.original "$examples/app.rc"
  assert_log app.rc.log "$golden/app.rc.log.expected"
  # What the report says lets the runs go on: a backup this user may write (under Wine, which sets
  # a time by its value, as only the owner may: one it owns), its time set to now.
  [ -z "${TABLEMEND_LAUNCHER-}" ] && chmod 666 app.rc.original || give_to_user app.rc.original
  touch app.rc.original
  for round in first second; do
    TM=tm_user expect_run 0 Complete. -f app.rc
  done
}

@test "several files are processed in turn, each as if alone, past a failure, under one extension" {
  cp "$examples/app.rc" one.rc && cp "$examples/app.rc" two.rc
  expect_run 255 '==> one.rc <==\nComplete.\n==> missing.rc <==\nFile given [missing.rc] does not exist.\nExiting.\n==> two.rc <==\nComplete.' -e bak one.rc -f missing.rc two.rc
  for name in one two; do
    assert_files_equal $name.rc "$golden/app.rc.expected"
    assert_files_equal $name.rc.bak "$examples/app.rc"
    assert_log $name.rc.log "$golden/app.rc.log.expected"
  done
  expect_run 0 '==> one.rc <==\none.rc: nothing would change.\n==> two.rc <==\ntwo.rc: nothing would change.' --check one.rc two.rc
}

@test "a backup or a log beside its script is never converted, even when a wildcard names it" {
  cp "$examples/app.rc" a.rc && cp a.rc b.rc && tm -s a.rc b.rc
  expect_run 255 '==> a.rc <==\nComplete.\n==> a.rc.log <==\na.rc.log is the log of a.rc: not converted\n==> a.rc.original <==\na.rc.original is the backup of a.rc: not converted\n==> b.rc <==\nComplete.\n==> b.rc.log <==\nb.rc.log is the log of b.rc: not converted\n==> b.rc.original <==\nb.rc.original is the backup of b.rc: not converted' *
  expect_run 255 "" -s --check a.rc.log b.rc.original
  assert_equal "$(ls)" "$(printf 'a.rc\na.rc.log\na.rc.original\nb.rc\nb.rc.log\nb.rc.original')"
  assert_files_equal a.rc.original "$examples/app.rc"
  # The extension in force names the backup; a name whose script is missing is a script.
  mv a.rc.original a.rc.bak && rm b.rc
  expect_run 255 'a.rc.bak is the backup of a.rc: not converted' -e bak a.rc.bak
  expect_run 0 Complete. b.rc.original
  assert_files_equal b.rc.original "$golden/app.rc.expected"
}

@test "--diff shows a run's change as a patch that git apply and patch turn into a run's bytes" {
  # The example, with CR LF and with LF alone; the fuzzer's seeds (every kind of line end, Ctrl-Z,
  # NUL bytes, long lines, no line end at the end), without the first byte that sets the fuzzer's
  # buffer; a generated script where the generator is built. All in one call each.
  mkdir before && cp "$examples/app.rc" before/example.rc && tr -d '\r' <before/example.rc >before/lf.rc
  for seed in "$BATS_TEST_DIRNAME"/../../fuzz/corpus/converter/*; do
    tail -c +2 "$seed" >"before/seed-${seed##*/}.rc"
  done
  [ -z "${TABLEMEND_GENERATE_RC-}" ] || "$TABLEMEND_GENERATE_RC" 1 before/generated.rc 7
  cp -r before run && (cd run && tm -s *.rc)
  (cd before && $TABLEMEND_LAUNCHER "$TABLEMEND" --diff *.rc) >all.diff || [ $? -eq 1 ]
  cp -r before git && (cd git && git apply --whitespace=nowarn ../all.diff)
  cp -r before patch && (cd patch && patch -s -p1 <../all.diff)
  diff -r -x '*.original' -x '*.log' run git && diff -r -x '*.original' -x '*.log' run patch
  # The example's hunks as diff -u writes them; in UTF-16, the same lines as UTF-8.
  (cd before && $TABLEMEND_LAUNCHER "$TABLEMEND" --diff example.rc) >a.diff || [ $? -eq 1 ]
  cmp <(sed 1,2d a.diff) <(diff -u before/example.rc run/example.rc | sed 1,2d)
  for form in "UTF-16LE mark" "UTF-16BE none"; do
    utf16 $form before/example.rc >example.rc
    $TABLEMEND_LAUNCHER "$TABLEMEND" --diff example.rc >utf16.diff || [ $? -eq 1 ]
    cmp utf16.diff <(echo "example.rc is UTF-16 text, shown as UTF-8: this diff does not apply to it."; cat a.diff)
  done
}
