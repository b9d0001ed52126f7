# Looking before a run and undoing one: --check, --diff and --restore.
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
  # After a first run killed before its new text took the name, both names are the script's.
  ln app.rc app.rc.original && expect_run 0 "" -s --restore app.rc && assert_equal "$(ls)" "$(printf 'app.rc\napp.rc.log')"
  # Killed where the file system has no hard links, with the text under the backup's name alone.
  mv app.rc app.rc.original
  expect_run 255 'File given [app.rc] does not exist.\nIts text is in its backup [app.rc.original]: --restore puts it back.\nExiting.' app.rc
  expect_run 0 Restored. --restore app.rc && assert_files_equal app.rc "$examples/app.rc"
  # Edited after the last run: the edit is never dropped, and nothing is touched.
  tm -s app.rc && echo "edited by hand" >>app.rc && set_time_after app.rc app.rc.original 1000
  local before=$(cksum app.rc*)
  expect_run 255 refusal.expected -s --restore app.rc
  assert_equal "$(cksum app.rc*)" "$before"
}

@test "--diff shows a run's change as a patch that git apply and patch turn into a run's bytes" {
  # The example, with CR LF and with LF alone; the fuzzer's seeds (every kind of line end, long
  # lines, no line end at the end), without the first byte that sets the fuzzer's buffer, but for
  # those no run takes (a NUL byte, text after a Ctrl-Z); a generated script where the generator
  # is built. All in one call each.
  mkdir before && cp "$examples/app.rc" before/example.rc && tr -d '\r' <before/example.rc >before/lf.rc
  for seed in "$BATS_TEST_DIRNAME"/../../fuzz/corpus/converter/*; do
    case ${seed##*/} in lf-only-nul | lone-cr-and-ctrl-z | open-block-odd-bytes) continue ;; esac
    tail -c +2 "$seed" >"before/seed-${seed##*/}.rc"
  done
  [ -z "${TABLEMEND_GENERATE_RC-}" ] || "$TABLEMEND_GENERATE_RC" 1 before/generated.rc 7
  cp -r before run && (cd run && tm -s *.rc)
  (cd before && $TABLEMEND_LAUNCHER "$TABLEMEND" --diff *.rc) >all.diff || [ $? -eq 1 ]
  for tool in "git apply --whitespace=nowarn" "patch -s -p1"; do
    rm -rf tool && cp -r before tool && (cd tool && $tool <../all.diff) && diff -r -x '*.original' -x '*.log' run tool
  done
  # The example's hunks as diff -u writes them; in UTF-16, the same lines as UTF-8.
  (cd before && $TABLEMEND_LAUNCHER "$TABLEMEND" --diff example.rc) >a.diff || [ $? -eq 1 ]
  cmp <(sed 1,2d a.diff) <(diff -u before/example.rc run/example.rc | sed 1,2d)
  for form in "UTF-16LE mark" "UTF-16BE none"; do
    utf16 $form before/example.rc >example.rc
    $TABLEMEND_LAUNCHER "$TABLEMEND" --diff example.rc >utf16.diff || [ $? -eq 1 ]
    cmp utf16.diff <(echo "example.rc is UTF-16 text, shown as UTF-8: this diff does not apply to it."; cat a.diff)
  done
}
