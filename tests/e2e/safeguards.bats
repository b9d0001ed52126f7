# What keeps the text safe: the hand-edit guard, read-only files, the program's own files never
# taken for scripts, and a script never missing or cut short while a run replaces it.
load helper

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

@test "a read-only script is converted and its backup stamped, as an ordinary user" {
  enter_user_folder
  cp "$examples/app.rc" app.rc && chmod 444 app.rc && give_to_user app.rc
  TM=tm_user expect_run 0 Complete. -f app.rc
  # The new script keeps the mode (on Windows, the read-only attribute), so the next run may not
  # write it, and says so before touching anything.
  assert_equal "$(stat -c %a app.rc app.rc.original)" "$(printf '444\n444')"
  local before=$(stat -c '%.9Y %n' app.rc*; cksum app.rc*)
  TM=tm_user expect_run 255 'Unable to open app.rc for writing\nMake sure that you have permission to write to the file.\nExiting.' -f app.rc
  assert_equal "$(stat -c '%.9Y %n' app.rc*; cksum app.rc*)" "$before"
  chmod u+w app.rc
  TM=tm_user expect_run 0 Complete. -f app.rc
  TM=tm_user expect_run 0 Restored. --restore -f app.rc
  assert_equal "$(ls && stat -c %a app.rc)" "$(printf 'app.rc\napp.rc.log\n444')"
  assert_files_equal app.rc "$examples/app.rc"
}

@test "a backup whose time cannot be set leaves the script as it was, which the next run takes" {
  [ "$(id -u)" -eq 0 ] || skip "only root can give the script to a user other than the one running"
  enter_user_folder
  cp "$examples/app.rc" app.rc
  # The backup's stamp comes before the new text takes the script's name: without it, the script
  # would be newer than its backup, and the next run would refuse it as edited by hand.
  TM=tm_user expect_run 255 'Unable to set the last-write time of the backup file app.rc.original\nMake sure that this user owns it or may write it.\napp.rc is unchanged.\nExiting.' -f app.rc
  assert_equal "$(ls -A)" "$(printf 'app.rc\napp.rc.log')"
  assert_files_equal app.rc "$examples/app.rc"
  assert_log app.rc.log <(head -n -3 "$golden/app.rc.log.expected")
  # A script this user may write (under Wine, which sets a time by its value, as only the owner
  # may: one it owns) lets the runs go on.
  [ -z "${TABLEMEND_LAUNCHER-}" ] && chmod 666 app.rc || give_to_user app.rc
  for round in first second; do
    TM=tm_user expect_run 0 Complete. -f app.rc
  done
  assert_files_equal app.rc "$golden/app.rc.expected"
}

@test "only text is converted: a program, a picture or text after a Ctrl-Z is left untouched" {
  printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' >pic.png && printf '\x7fELF\2\1\1\0\0\0\x1a\n' >program
  printf 'STRINGTABLE\r\nBEGIN\r\nA\0, ""\r\nEND\r\n' >zero.rc && cp pic.png old.rc.original && : >old.rc
  printf 'STRINGTABLE\r\nBEGIN\r\nA, ""\r\nEND\r\n\x1a\r\nSTRINGTABLE\r\nBEGIN\r\nB, ""\r\nEND\r\n' >after.rc
  # Still text: UTF-16 without a byte-order mark, and a Ctrl-Z followed by blanks and line ends.
  printf 'STRINGTABLE\r\nBEGIN\r\nA, ""\r\nEND\r\n' >expected
  utf16 UTF-16LE "" expected >wide.rc && { cat expected; printf '\x1a \r\n\x1a'; } >dos.rc
  cp -p after.rc after.before && local before=$(ls -l --time-style=+%s.%N)
  expect_rows <<'EOF'
255|pic.png is not a text file: not converted|pic.png
255|==> program <==\nprogram is not a text file: not converted\n==> zero.rc <==\nzero.rc is not a text file: not converted|program zero.rc
255|pic.png is not a text file: not converted|--diff pic.png
255|old.rc.original is not a text file: not converted|old.rc
255|after.rc:3: A, "EI"\nafter.rc holds text after an end-of-file mark (Ctrl-Z) on line 5\nExiting.|--check after.rc
255|after.rc holds text after an end-of-file mark (Ctrl-Z) on line 5\nExiting.|--diff after.rc
EOF
  assert_equal "$(ls -l --time-style=+%s.%N)" "$before"
  expect_run 255 'after.rc holds text after an end-of-file mark (Ctrl-Z) on line 5\nafter.rc is unchanged.\nExiting.' -f after.rc
  cmp after.rc after.before && assert_file_not_exists after.rc.original
  grep -q $'^Update of .rc Files failed: after.rc holds text after an end-of-file mark (Ctrl-Z) on line 5\r$' after.rc.log
  grep -q $'^Changing line number: 3\r$' after.rc.log
  expect_run 0 '==> wide.rc <==\nComplete.\n==> dos.rc <==\nComplete.' wide.rc dos.rc
  cmp wide.rc <(sed 's/""/"EI"/' expected | utf16 UTF-16LE "") && cmp dos.rc <(sed 's/""/"EI"/' expected)
}

@test "a backup, a log or a temporary file beside its script is never converted, nor left by a run" {
  cp "$examples/app.rc" a.rc && cp a.rc b.rc && : >.a.rc.tablemend-k1ll3d && : >.c.rc.tablemend-abcdef
  expect_run 255 '.a.rc.tablemend-k1ll3d is a temporary file of a.rc: not converted' .a.rc.tablemend-k1ll3d
  tm -s a.rc b.rc
  # A killed run's temporary file goes with the next run of its script.
  assert_equal "$(ls -A)" "$(printf '.c.rc.tablemend-abcdef\na.rc\na.rc.log\na.rc.original\nb.rc\nb.rc.log\nb.rc.original')"
  expect_run 255 '==> a.rc <==\nComplete.\n==> a.rc.log <==\na.rc.log is the log of a.rc: not converted\n==> a.rc.original <==\na.rc.original is the backup of a.rc: not converted\n==> b.rc <==\nComplete.\n==> b.rc.log <==\nb.rc.log is the log of b.rc: not converted\n==> b.rc.original <==\nb.rc.original is the backup of b.rc: not converted' *
  expect_run 255 "" -s --check a.rc.log b.rc.original
  assert_equal "$(ls -A)" "$(printf '.c.rc.tablemend-abcdef\na.rc\na.rc.log\na.rc.original\nb.rc\nb.rc.log\nb.rc.original')"
  assert_files_equal a.rc.original "$examples/app.rc"
  # The extension in force names the backup; a name whose script is missing is a script.
  mv a.rc.original a.rc.bak && rm b.rc
  expect_run 255 'a.rc.bak is the backup of a.rc: not converted' -e bak a.rc.bak
  expect_run 0 Complete. b.rc.original
  assert_files_equal b.rc.original "$golden/app.rc.expected"
}

@test "a reader of the script finds it whole, old or new, while a first run and three more replace it" {
  cp "$examples/app.rc" old.rc && for doubling in {1..9}; do cat old.rc old.rc >x && mv x old.rc; done
  mkdir new && cp old.rc new/app.rc && (cd new && tm -s app.rc) && cp old.rc app.rc
  { for run in 1 2 3 4; do $TABLEMEND_LAUNCHER "$TABLEMEND" -s app.rc; done; : >done; } &
  local reads=0
  until [ -e done ]; do
    cmp -s app.rc old.rc || cmp -s app.rc new/app.rc || fail "read $reads found app.rc missing or cut short"
    reads=$((reads + 1))
  done
  wait && [ "$reads" -gt 0 ] && cmp app.rc new/app.rc
}
