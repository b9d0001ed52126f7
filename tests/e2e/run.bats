# Whole runs over the bundled example: the console, the status and every byte left on disk.
load helper

# The second run of each regenerates the same bytes from the untouched backup, and shows the
# changes with -v even with -s.
@test "runs convert the example, keep it as the backup and log every change, under names as given" {
  local long today tomorrow verbose
  printf -v long '%0150d/%0150d' 0 1
  mkdir -p "$long" ünï_名前
  verbose=$(<"$golden/app.verbose.expected") && verbose=${verbose%$'\n'*}  # without "Complete."
  # The rows come on descriptor 4, out of reach of the programs started for them.
  while IFS='|' read -r -u 4 name extension; do
    cp "$examples/app.rc" "./$name"
    printf -v today '%(%a %b %d ..:..:.. %Y)T' -1  # or tomorrow, past midnight
    expect_run 0 app.verbose.expected -v -f "$name" -e "${extension:-original}"
    expect_run 0 "$verbose" -s -v -f "$name" -e "${extension:-original}"
    printf -v tomorrow '%(%a %b %d ..:..:.. %Y)T' -1
    grep -q -e "$today" -e "$tomorrow" "./$name.log"
    assert_files_equal "./$name" "$golden/app.rc.expected"
    assert_files_equal "./$name.${extension:-original}" "$examples/app.rc"
    assert_log "./$name.log" "$golden/app.rc.log.expected" "$golden/app.rc.log.expected"
  done 4<<EOF
my strings.rc|old copy
-strings.rc|
--file|-s
ünï_名前/chaîne.rc|été
$long/a.rc|$(printf '%0200d' 0)
EOF
}

@test "UTF-16 scripts are updated in their own encoding, with the byte-order mark they had" {
  # Both byte orders, with and without the mark (the converter's tests take every pairing).
  for form in "UTF-16LE mark" "UTF-16BE none"; do
    utf16 $form "$examples/app.rc" >app.rc
    expect_run 1 check.expected --check -f app.rc
    expect_run 0 app.verbose.expected -v -f app.rc
    cmp app.rc <(utf16 $form "$golden/app.rc.expected")
    cmp app.rc.original <(utf16 $form "$examples/app.rc")
    assert_log app.rc.log "$golden/app.rc.log.expected"
    rm app.rc*
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

@test "several files are processed in turn, each as if alone, past a failure, under one extension" {
  cp "$examples/app.rc" one.rc && cp "$examples/app.rc" two.rc
  expect_run 255 '==> one.rc <==\nComplete.\n==> missing.rc <==\nFile given [missing.rc] does not exist.\nExiting.\n==> two.rc <==\nComplete.\n==> one.rc <==\nComplete.' -e bak one.rc -f missing.rc two.rc one.rc
  for name in one two; do
    assert_files_equal $name.rc "$golden/app.rc.expected"
    assert_files_equal $name.rc.bak "$examples/app.rc"
  done
  # A file named twice runs twice, one run's log after the other's.
  assert_log one.rc.log "$golden/app.rc.log.expected" "$golden/app.rc.log.expected"
  assert_log two.rc.log "$golden/app.rc.log.expected"
  expect_run 0 '==> one.rc <==\none.rc: nothing would change.\n==> two.rc <==\ntwo.rc: nothing would change.' --check one.rc two.rc
}

@test "--line-ends=keep writes each line with its own line end, and only the rewritten lines change" {
  # Each script before and after a run that keeps line ends: LF alone, CR LF, the two mixed with
  # a lone CR inside a line, and a last line without a line end; as bytes and as UTF-16, in one
  # call each, and as a patch.
  mkdir bytes wide patched
  while IFS='|' read -r name before after; do
    printf "$before" >"bytes/$name" && printf "$before" | utf16 UTF-16LE mark >"wide/$name"
    printf "$before" >"patched/$name" && printf "$after" >"$name.after"
  done <<'EOF'
lf.rc|STRINGTABLE\nBEGIN\n  A, ""\n  B ""  // b\n  C, "c"\nEND\n|STRINGTABLE\nBEGIN\n  A, "EI"\n  B "--"  // b\n  C, "c"\nEND\n
crlf.rc|STRINGTABLE\r\nBEGIN\r\n  A, "", 1\r\nEND\r\n|STRINGTABLE\r\nBEGIN\r\n  A, "EI"\r\nEND\r\n
mixed.rc|x\ry\r\nSTRINGTABLE\nBEGIN\r\n  A\r, ""\n  B ""\r\nEND\n|x\ry\r\nSTRINGTABLE\nBEGIN\r\n  A\r, "EI"\n  B "--"\r\nEND\n
last.rc|STRINGTABLE\nBEGIN\n  A, ""|STRINGTABLE\nBEGIN\n  A, "EI"
EOF
  (cd patched && $TABLEMEND_LAUNCHER "$TABLEMEND" --diff --line-ends=keep *.rc) >keep.diff || [ $? -eq 1 ]
  (cd patched && git apply ../keep.diff)
  tm -s --line-ends=keep bytes wide
  for name in lf.rc crlf.rc mixed.rc last.rc; do
    cmp "bytes/$name" "$name.after" && cmp "patched/$name" "$name.after"
    cmp "wide/$name" <(utf16 UTF-16LE mark "$name.after")
  done
  # The log is the program's own, with CR LF whatever the option; a later run takes its own.
  [ "$(cat bytes/*.log wide/*.log | grep -vc $'\r$')" -eq 0 ]
  tm -s bytes && cmp <(sed 's/\r*$/\r/' lf.rc.after) bytes/lf.rc
}

@test "a call over more scripts than it holds open at once settles each group beside the next" {
  # s65.rc starts while s01-s64 settle; its second run waits for the first to end.
  local names=(s{01..65}.rc s65.rc) expected="" name run
  tee "${names[@]}" <"$examples/app.rc" >/dev/null
  for name in "${names[@]}"; do expected+="==> $name <==\nComplete.\n"; done
  for run in first later; do
    expect_run 0 "$expected" "${names[@]}"
    assert_equal "$(sha1sum s{01..65}.rc | cut -c1-40 | uniq)" "$(sha1sum <"$golden/app.rc.expected" | cut -c1-40)"
    assert_equal "$(ls -A | grep -c tablemend-)" 0
  done
  assert_files_equal s65.rc.original "$examples/app.rc"
  assert_log s64.rc.log "$golden/app.rc.log.expected" "$golden/app.rc.log.expected"
  assert_log s65.rc.log "$golden/app.rc.log.expected" "$golden/app.rc.log.expected" \
    "$golden/app.rc.log.expected" "$golden/app.rc.log.expected"
}
