# What only the native build meets: faults and file-system features of POSIX systems, where
# whatever fails, the original text survives and no failure is reported as success (each file
# operation failing in turn is tested by tests/faults), and the pre-commit hook, which runs the
# program installed on the PATH.
load helper

@test "a backup name that is a link to the rc file is refused, and a console that fails is a failure" {
  cp "$examples/app.rc" a.rc && ln -s a.rc a.rc.original
  expect_run 255 'Backup file [a.rc.original] would be the rc file or its log.\nPlease use the -e or --extension option to choose another extension\nExiting.' -f a.rc
  cp "$examples/app.rc" b.rc
  for call in --version "--check b.rc" -; do
    run sh -c '"$@" <b.rc >/dev/full' sh "$TABLEMEND" $call
    assert_failure 255
  done
}

@test "closed standard streams keep the console's messages out of the files" {
  cp "$examples/app.rc" app.rc
  run sh -c 'exec "$@" <&- >&- 2>&-' sh "$TABLEMEND" -v -f app.rc
  assert_success
  # Standard input closed reads as empty.
  run sh -c 'exec "$@" <&-' sh "$TABLEMEND" -
  assert_success "Complete."
  assert_files_equal app.rc "$golden/app.rc.expected"
  assert_log app.rc.log "$golden/app.rc.log.expected"
}

@test "a full disk leaves the script as it was, and the next run with room writes the whole file" {
  printf 'STRINGTABLE\r\nBEGIN\r\n' >a.rc
  yes 'A, ""' | head -n 20000 | sed 's/$/\r/' >>a.rc
  cp a.rc original
  run sh -c 'ulimit -f 64 && trap "" XFSZ && exec "$@"' sh "$TABLEMEND" -f a.rc
  assert_failure 255
  assert_output --regexp $'^Unable to write the new text to \\.a\\.rc\\.tablemend-[a-z0-9]{6}\na\\.rc is unchanged\\.\nExiting\\.$'
  # As before the run: no backup, no temporary file.
  assert_equal "$(ls -A)" "$(printf 'a.rc\na.rc.log\noriginal')"
  assert_files_equal a.rc original
  expect_run 0 Complete. -f a.rc
  cmp a.rc <(sed 's/""/"--"/; 3s/--/EI/' original)
}

@test "files an unprivileged user may not read or write are reported; --check needs only reading" {
  enter_user_folder
  while IFS='|' read -r name mode option report; do
    cp "$golden/app.rc.expected" app.rc && cp "$examples/app.rc" app.rc.original && : >app.rc.log
    chmod 666 app.rc app.rc.log && chmod 444 app.rc.original && chmod "$mode" "$name"
    TM=tm_user expect_run 255 "$report" "$option" -f app.rc
    assert_files_equal app.rc "$golden/app.rc.expected"
    assert_files_equal app.rc.original "$examples/app.rc"
  done <<'EOF'
app.rc.log|444|-v|Unable to open app.rc.log for writing log information\nMake sure that you have permission to write to the file.\nExiting.
app.rc|222|-s|****ERROR: Unable to retrieve last time rc file was writen to.
app.rc.original|222|-s|ERROR: Unable to retrieve last time backup file was writen to.
EOF
  rm app.rc* && cp "$examples/app.rc" app.rc && chmod 444 app.rc && chmod 555 .
  TM=tm_user expect_run 1 check.expected --check -f app.rc
}

@test "the new rc file takes its backup's permission bits, whatever the umask, and its owner" {
  cp "$examples/app.rc" app.rc && chmod 640 app.rc
  # Only root may give a file to another user: then the script keeps nobody's, as it had.
  local owner=$(id -u):$(id -g)
  [ "$(id -u)" -ne 0 ] || { chown 65534:65534 app.rc && owner=65534:65534; }
  for round in first second; do
    run sh -c 'umask 077 && exec "$@"' sh "$TABLEMEND" -f app.rc
    assert_equal "$(stat -c %a app.rc app.rc.original app.rc.log)" "$(printf '640\n640\n600')"
    assert_equal "$(stat -c %u:%g app.rc)" "$owner"
  done
}

@test "pipes and devices are not regular files" {
  mkfifo pipe.rc
  for name in pipe.rc /dev/null; do
    expect_run 255 "File given [$name] is not a regular file.\nExiting." -f "$name"
  done
}

# POSIX shells expand wildcards: a pattern that reaches the program is a name, and so is /?; and
# a backslash is a character of a name, which a patch keeps.
@test "names may hold bytes that are not UTF-8, backslashes, and wildcards that no shell expanded" {
  cp "$examples/app.rc" 'back\slash.rc' && tm --diff 'back\slash.rc'
  assert_equal "${lines[0]}" '--- a/back\slash.rc'
  cp "$examples/app.rc" $'cha\xee-\xff.rc' && cp "$examples/app.rc" '*.rc'
  expect_run 0 Complete. -f $'cha\xee-\xff.rc' -e $'\xe9t\xe9\xff'
  assert_files_equal $'cha\xee-\xff.rc.\xe9t\xe9\xff' "$examples/app.rc"
  expect_run 0 Complete. '*.rc'
  assert_files_equal $'cha\xee-\xff.rc' "$golden/app.rc.expected"
  expect_run 255 'File given [/?] does not exist.\nExiting.' '/?'
}

# The pre-commit hook this repository offers, tried as a user would, from a repository that holds
# the hook's file, over a scratch repository, with the native program on the PATH as tablemend.
@test "the pre-commit hook fails a commit of a script with an empty string, and takes scripts alone" {
  export PATH="${TABLEMEND%/*}:$PATH" PRE_COMMIT_HOME="$BATS_TEST_TMPDIR/cache"
  git init -q hooks && cp "$BATS_TEST_DIRNAME/../../.pre-commit-hooks.yaml" hooks/
  git -C hooks add . && git -C hooks -c user.name=t -c user.email=t@t commit -qm hooks
  git init -q . && cp "$examples/app.rc" app.rc && cp "$golden/app.rc.expected" Clean.RC
  echo 'A, ""' >notes.txt && git add app.rc Clean.RC notes.txt
  run pre-commit try-repo hooks tablemend-check --all-files
  assert_failure 1
  assert_output --partial "$(printf '==> app.rc <==\n'; cat "$golden/check.expected")"
  assert_output --partial "Clean.RC: nothing would change."
  refute_output --partial notes.txt
}
