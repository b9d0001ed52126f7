# Faults and file-system features of POSIX systems, met by the native build: whatever fails, the
# original text survives and no failure is reported as success.
load helper

# The shim is preloaded into a sanitized program too, ahead of the sanitizer's own library.
export ASAN_OPTIONS=verify_asan_link_order=0

# Checks what must hold after any run that started from the files in start/: the original text
# is in the backup (or, before the backup was made, still in the rc file), the log kept every
# earlier byte, and "Complete." stands for a whole converted file.
assert_nothing_lost() {
  local kept=app.rc.original
  [ -e $kept ] || kept=app.rc
  assert_files_equal $kept ../original
  [ ! -e ../start/app.rc.log ] || cmp -n "$(stat -c %s ../start/app.rc.log)" ../start/app.rc.log app.rc.log
  if [ "$output" = "Complete." ] || [[ "$output" == *"only its log is incomplete"* ]]; then
    assert_files_equal app.rc ../expected
  fi
  [ "$output" = "Complete." ] || [ "$status" -eq 255 ] || [ "$status" -eq 137 ]
}

# Runs in a fresh copy of start/ (and stays in it) with the fault shim preloaded.
run_in_copy() {
  rm -rf "$BATS_TEST_TMPDIR/run" && cp -a "$BATS_TEST_TMPDIR/start" "$BATS_TEST_TMPDIR/run"
  cd "$BATS_TEST_TMPDIR/run" && LD_PRELOAD=$TABLEMEND_FAULT_SHIM tm "$@"
}

@test "a run failing, or killed, at any file operation loses nothing; touching the backup recovers" {
  for encoding in UTF-8 UTF-16BE; do
    utf() { { printf '\xef\xbb\xbf'; cat "$1"; } | iconv -f UTF-8 -t $encoding; }
    cd "$BATS_TEST_TMPDIR" && rm -rf start && mkdir start && utf "$examples/app.rc" >start/app.rc
    cp start/app.rc original && utf "$golden/app.rc.expected" >expected
    for history in first later; do
      # Reads that stop anywhere, inside a UTF-16 character too, and renames that cannot refuse
      # to replace a file, change nothing.
      FAULT_SHORT_READS=1 FAULT_NO_NOREPLACE=1 run_in_copy -f app.rc
      assert_output "Complete."
      assert_files_equal app.rc ../expected
      FAULT_COUNT=$BATS_TEST_TMPDIR/count run_in_copy -s -f app.rc
      for operation in $(seq "$(cat ../count)"); do
        for no_noreplace in "" 1; do
          FAULT_NO_NOREPLACE=$no_noreplace FAULT_AT=$operation run_in_copy -f app.rc
          assert_nothing_lost
        done
        FAULT_KILL=1 FAULT_AT=$operation run_in_copy -f app.rc
        assert_nothing_lost
        # A first run that got as far as the backup left its log's header behind.
        [ $history = later ] || [ ! -e app.rc.original ] || grep -q "Starting New Log" app.rc.log
        # Killed between the rename and the new file, the text waits under the backup's name.
        [ -e app.rc ] || mv app.rc.original app.rc
        [ ! -e app.rc.original ] || touch app.rc.original
        tm -f app.rc
        assert_output "Complete."
        assert_files_equal app.rc ../expected
      done
      cd ../start && tm -s -f app.rc && assert_success
    done
  done
}

@test "a backup name that is a link to the rc file is refused, and a console that fails is a failure" {
  cp "$examples/app.rc" a.rc && ln -s a.rc a.rc.original
  tm -f a.rc
  assert_failure 255
  assert_output "$(printf 'Backup file [a.rc.original] would be the rc file or its log.\nPlease use the -e or --extension option to choose another extension\nExiting.')"
  run sh -c '"$@" >/dev/full' sh "$TABLEMEND" --version
  assert_failure 255
}

@test "closed standard streams keep the console's messages out of the files" {
  cp "$examples/app.rc" app.rc
  run sh -c 'exec "$@" <&- >&- 2>&-' sh "$TABLEMEND" -v -f app.rc
  assert_success
  assert_files_equal app.rc "$golden/app.rc.expected"
  assert_log app.rc.log "$golden/app.rc.log.expected"
}

@test "a full disk is reported, and the next run with room writes the whole file" {
  printf 'STRINGTABLE\r\nBEGIN\r\n' >a.rc
  for entry in $(seq 20000); do printf 'A, ""\r\n'; done >>a.rc
  cp a.rc original
  run sh -c 'ulimit -f 64 && trap "" XFSZ && exec "$@"' sh "$TABLEMEND" -f a.rc
  assert_failure 255
  assert_output "$(printf 'Unable to write a.rc\nThe rc file a.rc is incomplete; the backup file a.rc.original keeps the original text.\nExiting.')"
  assert_files_equal a.rc.original original
  tm -f a.rc
  assert_output "Complete."
  cmp a.rc <(sed 's/""/"--"/; 3s/--/EI/' original)
}

@test "files an unprivileged user may not read or write are reported, and nothing is touched" {
  folder=$(mktemp -d /tmp/tablemend-XXXXXX) && chmod 777 "$folder" && cd "$folder"
  while IFS='|' read -r name mode option report; do
    cp "$golden/app.rc.expected" app.rc && cp "$examples/app.rc" app.rc.original && : >app.rc.log
    chmod 666 app.rc app.rc.log && chmod 444 app.rc.original && chmod "$mode" "$name"
    run setpriv --reuid=65534 --regid=65534 --clear-groups "$TABLEMEND" "$option" -f app.rc
    assert_failure 255
    assert_output "$(printf '%b' "$report")"
    assert_files_equal app.rc "$golden/app.rc.expected"
    assert_files_equal app.rc.original "$examples/app.rc"
  done <<'EOF'
app.rc.log|444|-v|Unable to open app.rc.log for writing log information\nMake sure that you have permission to write to the file.\nExiting.
app.rc|444|-v|Unable to open app.rc for writing\nMake sure that you have permission to write to the file.\nExiting.
app.rc|222|-s|****ERROR: Unable to retrieve last time rc file was writen to.
app.rc.original|222|-s|ERROR: Unable to retrieve last time backup file was writen to.
EOF
  rm -rf "$folder"
}

@test "the new rc file takes its backup's permission bits, whatever the umask; the log the umask's" {
  cp "$examples/app.rc" app.rc && chmod 640 app.rc
  for round in first second; do
    run sh -c 'umask 077 && exec "$@"' sh "$TABLEMEND" -f app.rc
    assert_equal "$(stat -c %a app.rc app.rc.original app.rc.log)" "$(printf '640\n640\n600')"
  done
}

@test "pipes and devices are not regular files" {
  mkfifo pipe.rc
  for name in pipe.rc /dev/null; do
    tm -f "$name"
    assert_failure 255
    assert_output "File given [$name] is not a regular file."$'\n'"Exiting."
  done
}

@test "names may hold bytes that are not UTF-8" {
  cp "$examples/app.rc" $'cha\xee-\xff.rc'
  tm -f $'cha\xee-\xff.rc' -e $'\xe9t\xe9\xff'
  assert_output "Complete."
  assert_files_equal $'cha\xee-\xff.rc.\xe9t\xe9\xff' "$examples/app.rc"
}
