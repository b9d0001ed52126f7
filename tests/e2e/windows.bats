# Path rules that only the Windows build meets: trailing dots and spaces dropped from names,
# case not counting, backslashes between folders.
load helper

@test "an extension that would make the backup the rc file or its log is refused, on long paths too" {
  long=$(printf '%0150d' 0)/$(printf '%0150d' 1)
  mkdir -p "$long"
  for name in a.rc "$long/a.rc"; do
    printf 'STRINGTABLE\r\nBEGIN\r\nA, ""\r\nEND\r\n' >"$name"
    for extension in "" . .. " " ". ." log. LOG log; do
      expect_run 255 "Backup file [$name.$extension] would be the rc file or its log.\nPlease use the -e or --extension option to choose another extension\nExiting." -e "$extension" -f "$name"
    done
    assert_equal "$(ls "$(dirname "$name")" | grep a.rc)" "a.rc"
  done
}

@test "backslashes separate folders, and a folder named as the file is refused" {
  mkdir -p res/en res/b.rc
  cp "$examples/app.rc" res/en/app.rc
  tm --diff 'res\en\app.rc'
  assert_equal "${lines[0]} ${lines[1]}" "--- a/res/en/app.rc +++ b/res/en/app.rc"
  expect_run 0 Complete. -f 'res\en\app.rc'
  assert_files_equal res/en/app.rc "$golden/app.rc.expected"
  expect_rows <<'EOF'
0|res\\b.rc holds no .rc file|-f 'res\b.rc'
255|Extension [x\\y] holds a path separator.\nPlease use the -e or --extension option to choose an extension without one\nExiting.|-e 'x\y' -f res/en/app.rc
255|Extension [x:y] holds a path separator.\nPlease use the -e or --extension option to choose an extension without one\nExiting.|-e x:y -f res/en/app.rc
EOF
  assert_equal "$(ls res res/en)" "$(printf 'res:\nb.rc\nen\n\nres/en:\napp.rc\napp.rc.log\napp.rc.original')"
}

@test "a resource compiler takes the converted example: placeholders where the strings were empty" {
  cp "$examples/app.rc" app.rc && expect_run 0 "" -s -f app.rc
  cp "$BATS_TEST_DIRNAME/resource.h" .
  "$TABLEMEND_WINDRES" -c 65001 -i app.rc -o app.res
  # The string tables read back from the compiled resources, "ID, text" a line. An empty string is
  # no resource at all, so IDS_ONE_LINE_TABLE (14), left "" in a table written on one line, is
  # not among them.
  run "$TABLEMEND_WINDRES" -i app.res -O rc
  assert_success
  diff <(sed -n '/^STRINGTABLE/,/^END/s/^  //p' <<<"$output") "$golden/app.res-strings.expected"
}

# Runs the program from cmd.exe, which hands wildcards over as they were typed. cmd says a word
# before it starts the program, so that a cmd that stopped short of it is told apart from the
# program's own result: it is said on the test's output and tried once more.
tm_cmd() {
  local try
  for try in 1 2; do
    TABLEMEND=cmd tm /c "echo cmd:& Z:${TABLEMEND//\//\\} $*"
    if [[ "$output" == cmd:* ]]; then
      output=${output#cmd:} && output=${output#$'\n'} && lines=("${lines[@]:1}")
      return
    fi
    echo "# cmd.exe started nothing (status $status, output '$output')" >&3
  done
}

@test "from cmd.exe, wildcards match long names of files, in their order, folders are walked, and /? asks for help" {
  mkdir -p sub.rc tree/App tree/.vs && cp "$examples/app.rc" b.rc && cp b.rc A.rc && cp b.rc A.rc.txt
  cp b.rc tree/App/App.rc && cp b.rc tree/.vs/hidden.rc
  TM=tm_cmd expect_rows <<'EOF'
0|==> A.rc <==\nComplete.\n==> b.rc <==\nComplete.|'*.rc'
0|==> A.rc <==\nComplete.\n==> b.rc <==\nComplete.|'*.RC'
255|==> A.rc.log <==\nA.rc.log is the log of A.rc: not converted\n==> A.rc.original <==\nA.rc.original is the backup of A.rc: not converted|'a.rc.*g*'
1||-s --check '?.rc.t?t'
255|File given [x*.rc] does not exist.\nExiting.|'x*.rc'
0|usage.expected|-s '/?' '*.rc'
0|sub.rc holds no .rc file|sub.rc
EOF
  TM=tm_cmd expect_run 1 "$(sed 's/^app\.rc/tree\\\\App\\\\App.rc/' "$golden/check.expected")" --check tree
  assert_files_equal A.rc "$golden/app.rc.expected"
  assert_files_equal A.rc.original "$examples/app.rc"
  assert_files_equal A.rc.txt "$examples/app.rc"
}

# Starts the holder on the file for the milliseconds given after a run has begun, and waits until
# it holds the file.
hold() {
  $TABLEMEND_LAUNCHER "$TABLEMEND_FILE_HOLDER" "$1" "$2" holder &
  until [ -e holder.held ]; do sleep 0.02; done
}

@test "a script another program holds open is replaced once it lets go, or left whole after 2 s" {
  cp "$examples/app.rc" app.rc && expect_run 0 "" -s app.rc
  # Held past the run's first try, sharing reads only: the run waits, and completes.
  hold app.rc 800
  expect_run 0 Complete. app.rc
  assert_file_exists holder.released
  wait && rm holder.* app.rc.original && cp "$examples/app.rc" app.rc
  # Held for longer than the run waits, on a first run: the script stays whole, the backup name
  # given to it stays too, and the next run takes it as the backup.
  hold app.rc 4500
  tm app.rc
  assert_equal "$status" 255
  assert_output --regexp $'^Unable to replace app\\.rc with \\.app\\.rc\\.tablemend-[a-z0-9]{6}\napp\\.rc is unchanged\\.\nUnable to remove app\\.rc\\.original, the second name this run gave it: the next run takes it as the backup\\.\nExiting\\.$'
  assert_files_equal app.rc "$examples/app.rc"
  wait && expect_run 0 Complete. app.rc
  assert_files_equal app.rc "$golden/app.rc.expected"
  assert_files_equal app.rc.original "$examples/app.rc"
}
