# What a name stands for: a folder for the scripts below it, "-" for standard input; and the
# shapes of --check's lines that build tools read.
load helper

# The separator the program puts between a folder named and what it found below it, as the
# expected texts of expect_run spell it.
sep=/
[ -z "${TABLEMEND_LAUNCHER-}" ] || sep='\\'

# A source tree: scripts at three depths, one with an upper-case extension; a hidden folder, a
# vendored one, a link to a folder (walked, it would give a script twice), and files of other
# kinds, one named as the extension alone.
make_tree() {
  mkdir -p src/App src/Plugins/one/res src/.vs src/Setup src/third_party
  for script in App/App.rc Plugins/one/res/One.RC top.rc .vs/hidden.rc third_party/vendor.rc; do
    cp "$examples/app.rc" "src/$script"
  done
  echo notes >src/Setup/notes.txt && echo x >src/Setup/rc && ln -s ../App src/Setup/app
}

@test "a folder stands for the scripts below it, in name order, with their backups passed over" {
  make_tree && cp -r src before
  local found=(App/App.rc Plugins/one/res/One.RC top.rc) listed=""
  for script in "${found[@]}"; do listed+="==> src$sep${script//\//"$sep"} <==\nComplete.\n"; done
  expect_run 0 "${listed%\\n}" --exclude 'third_*' -e orig.rc src
  for script in "${found[@]}"; do
    assert_files_equal "src/$script" "$golden/app.rc.expected"
    assert_files_equal "src/$script.orig.rc" "$examples/app.rc"
  done
  diff -r before/.vs src/.vs && diff -r before/third_party src/third_party
  # The backups end in .rc too, and are never taken for scripts.
  expect_run 0 "" -s --check --exclude 'third_*' -e orig.rc src
  expect_run 0 "" -s --restore -e orig.rc src
  diff -r -x '*.log' before src
  # A patch of the whole tree gives a run's bytes, its names without the "." folders git refuses.
  (cd before && $TABLEMEND_LAUNCHER "$TABLEMEND" --diff --exclude third_party ./.) >tree.diff || [ $? -eq 1 ]
  (cd src && git apply ../tree.diff) && assert_files_equal src/Plugins/one/res/One.RC "$golden/app.rc.expected"
  mkdir empty && expect_run 0 "src/App${sep}App.rc: nothing would change.\nempty holds no .rc file" --check src/App empty
  # A link to a file is a file: one to a script that would change.
  mkdir linked && ln -s ../before/top.rc linked/top.rc && expect_run 1 "" -s --check linked
}

tm_crlf() { tm "$@" <crlf.rc; }

@test "standard input is converted to standard output, as a run would write it, touching nothing" {
  printf 'STRINGTABLE\nBEGIN\nA, ""\nEND\n' >lf.rc
  utf16 UTF-16LE mark "$examples/app.rc" >wide.rc
  for input in "$examples/app.rc" lf.rc wide.rc; do
    cp "$input" run.rc && tm -s run.rc && rm run.rc.*
    $TABLEMEND_LAUNCHER "$TABLEMEND" - <"$input" >out 2>err
    cmp out run.rc && assert_equal "$(tr -d '\r' <err)" "Complete."
  done
  $TABLEMEND_LAUNCHER "$TABLEMEND" -s --line-ends=keep - <lf.rc >out
  cmp out <(sed 's/""/"EI"/' lf.rc)
  # Messages go to standard error; a failure writes nothing to standard output.
  printf 'A\0B' | { $TABLEMEND_LAUNCHER "$TABLEMEND" -v - >out 2>err || echo "$?" >status; }
  assert_equal "$(cat status; wc -c <out; tr -d '\r' <err)" "$(printf '255\n0\n(standard input) is not a text file: not converted')"
  assert_equal "$(ls)" "$(printf 'err\nlf.rc\nout\nrun.rc\nstatus\nwide.rc')"
  # A check and a diff name it as asked.
  printf 'STRINGTABLE\r\nBEGIN\r\nA, ""\r\nEND\r\n' >crlf.rc
  TM=tm_crlf expect_rows <<'EOF'
1|App/x.rc:3: A, "EI"\nApp/x.rc: 1 line would change.|--check --stdin-name App/x.rc -
1|--- a/(standard input)\n+++ b/(standard input)\n@@ -1,4 +1,4 @@\n STRINGTABLE\n BEGIN\n-A, ""\n+A, "EI"\n END|--diff -
255|Standard input [-] stands alone: no file may be named with it\nPlease use -h or --help for the options|- crlf.rc
255|Options [--restore] and [-] cannot be used together\nPlease use -h or --help for the options|--restore -
255|File given [-] does not exist.\nExiting.|-- -
EOF
}

@test "--check's lines in the shapes MSBuild and GitHub Actions read, a failure on the first line" {
  # A name with the characters a workflow command escapes; under Wine, a drive's colon.
  local name='a,b%.rc' shown='a,b%.rc'
  [ -z "${TABLEMEND_LAUNCHER-}" ] && name='d:a,b%.rc' shown=$name || shown="Z:${PWD//\//\\}\\$name"
  printf 'STRINGTABLE\r\nBEGIN\r\n  A, ""\r\nB ""  // 100%%\r\nEND\r\n' >"$name" && printf 'x\0' >bin.rc
  tm --check --format=msvc "$shown" bin.rc
  assert_equal "$status" 255
  # MSBuild's canonical error pattern, and its pattern for a file's name and line.
  perl -ne 'chomp; s/\r$//; next if /^==>| would change\.$|^bin\.rc is not/;
    /^\s*(((?<ORIGIN>(((\d+>)?[a-zA-Z]?:[^:]*)|([^:]*))):)|())(?<SUBCATEGORY>(()|([^:]*? )))(?<CATEGORY>(error|warning))( \s*(?<CODE>[^: ]*))?\s*:(?<TEXT>.*)$/ or die "not canonical: $_\n";
    my ($code, $text) = ($+{CODE}, $+{TEXT});
    $+{ORIGIN} =~ /^(\d+>)?(?<FILENAME>.*)\((?<LOCATION>[\,,0-9,-]*)\)\s*$/ or die "no line: $_\n";
    print "$+{FILENAME}|$+{LOCATION}|$code|$text\n"' <<<"$output" >parsed
  assert_equal "$(cat parsed)" "$shown|3|TM0001| empty string; a run writes: A, \"EI\"
$shown|4|TM0001| empty string; a run writes: B \"--\"  // 100%
bin.rc|1|TM0002| bin.rc is not a text file: not converted"
  tm --check --format=github "$shown" bin.rc
  # The workflow command: "::error" and properties, "::", the message; escapes undone.
  perl -ne 'chomp; s/\r$//; next if /^==>| would change\.$|^bin\.rc is not/;
    /^::error file=([^,:]*),line=(\d+)::(.*)$/ or die "not a workflow command: $_\n";
    my ($file, $line, $text) = ($1, $2, $3);
    s/%2C/,/g, s/%3A/:/g, s/%0D/\r/g, s/%0A/\n/g, s/%25/%/g for $file, $text;
    print "$file|$line|$text\n"' <<<"$output" >parsed
  assert_equal "$(cat parsed)" "$shown|3|empty string; a run writes: A, \"EI\"
$shown|4|empty string; a run writes: B \"--\"  // 100%
bin.rc|1|bin.rc is not a text file: not converted"
}
