# Path rules that only the Windows build meets: trailing dots and spaces dropped from names,
# case not counting, backslashes between folders.
load helper

@test "an extension that would make the backup the rc file or its log is refused, on long paths too" {
  long=$(printf '%0150d' 0)/$(printf '%0150d' 1)
  mkdir -p "$long"
  for name in a.rc "$long/a.rc"; do
    printf 'STRINGTABLE\r\nBEGIN\r\nA, ""\r\nEND\r\n' >"$name"
    for extension in "" . .. " " ". ." log. LOG log; do
      tm -e "$extension" -f "$name"
      assert_failure 255
      assert_output "$(printf 'Backup file [%s.%s] would be the rc file or its log.\nPlease use the -e or --extension option to choose another extension\nExiting.' "$name" "$extension")"
    done
    assert_equal "$(ls "$(dirname "$name")" | grep a.rc)" "a.rc"
  done
}

@test "backslashes separate folders, and a folder named as the file is refused" {
  mkdir -p res/en res/b.rc
  cp "$examples/app.rc" res/en/app.rc
  tm -f 'res\en\app.rc'
  assert_output "Complete."
  assert_files_equal res/en/app.rc "$golden/app.rc.expected"
  tm -f 'res\b.rc'
  assert_output "File given [res\b.rc] is not a regular file."$'\n'"Exiting."
  for extension in 'x\y' x:y; do
    tm -e "$extension" -f res/en/app.rc
    assert_output "Extension [$extension] holds a path separator."$'\n'"Please use the -e or --extension option to choose an extension without one"$'\n'"Exiting."
  done
  assert_equal "$(ls res res/en)" "$(printf 'res:\nb.rc\nen\n\nres/en:\napp.rc\napp.rc.log\napp.rc.original')"
}

@test "a resource compiler takes the converted example: placeholders where the strings were empty" {
  converted_example
  cp "$BATS_TEST_DIRNAME/resource.h" .
  "$TABLEMEND_WINDRES" -c 65001 -i app.rc -o app.res
  # The string tables read back from the compiled resources, "ID, text" a line. An empty string is
  # no resource at all, so IDS_UNTOUCHED (10), left "" where LANGUAGE stands between the keyword
  # and BEGIN, is not among them.
  run "$TABLEMEND_WINDRES" -i app.res -O rc
  assert_success
  diff <(sed -n '/^STRINGTABLE/,/^END/s/^  //p' <<<"$output") "$golden/app.res-strings.expected"
}
