# The command line and the checks before a run: the text, the status, and no file touched.
load helper

# Runs each row of the table on standard input with expect_rows, for the command-line tests, in
# a folder holding a.rc, a folder folder.rc, the backup of a missing m.rc, UTF-16 text cut short,
# a file too short to tell its encoding, with a NUL byte, and an entry without a comma on a last line without a
# line end, and checks that no row wrote, renamed or logged anything.
check_answers() {
  printf 'STRINGTABLE\r\nBEGIN\r\nA, ""\r\nEND\r\n' >a.rc
  mkdir folder.rc a.rc.d && touch m.rc.original && printf '\xff\xfeA\0B' >cut.rc
  printf 'STRINGTABLE\r\nBEGIN\r\n  A  ""  // x' >last.rc && printf 'A\0B' >short.rc
  expect_rows
  cmp a.rc <(printf 'STRINGTABLE\r\nBEGIN\r\nA, ""\r\nEND\r\n')
  assert_equal "$(ls)" "$(printf 'a.rc\na.rc.d\ncut.rc\nfolder.rc\nlast.rc\nm.rc.original\nshort.rc')"
}

@test "help and version answer where they stand; unknown options and missing values refuse the line" {
  check_answers <<'EOF'
255|usage.expected|
0|usage.expected|-h
0|usage.expected|-f a.rc --help
0|usage.expected|-h --bogus
0|usage.expected|-sh
0|version.expected|-s --version -h
255|Unknown option [--chek]\nPlease use -h or --help for the options|--chek -f a.rc
255|Unknown option [--bogus]\nPlease use -h or --help for the options|--bogus -h
255|Unknown option [-H]\nPlease use -h or --help for the options|-s -H a.rc
255|Unknown option [--FILE]\nPlease use -h or --help for the options|--FILE a.rc
255|Unknown option [-x] in [-sx]\nPlease use -h or --help for the options|-sx a.rc
255|Unknown option [-x]\nPlease use -h or --help for the options|-x -h
255|Unknown option [--fil=a.rc]\nPlease use -h or --help for the options|--fil=a.rc
255|Option [-f] needs a value\nPlease use -h or --help for the options|-f
255|Option [--extension] needs a value\nPlease use -h or --help for the options|a.rc --extension
255|Options [--check] and [--diff] cannot be used together\nPlease use -h or --help for the options|--check a.rc --diff
255|Options [--restore] and [--diff] cannot be used together\nPlease use -h or --help for the options|--restore --restore --diff a.rc
255|Option [--format] shapes the lines of --check, and goes with it alone\nPlease use -h or --help for the options|--format=msvc a.rc
255|Unknown format [MSVC]: gnu, msvc or github\nPlease use -h or --help for the options|--check --format=MSVC a.rc
255|Option [--stdin-name] names standard input, which only [-] reads\nPlease use -h or --help for the options|--check --stdin-name x a.rc
255|Unknown line ends [lf]: keep or crlf\nPlease use -h or --help for the options|--line-ends=lf a.rc
EOF
  # The refusal is an error report, on standard error.
  run sh -c '$TABLEMEND_LAUNCHER "$TABLEMEND" --chek a.rc 2>/dev/null'
  assert_equal "$status: $output" "255: "
}

@test "a run refuses, before touching anything, what it cannot update safely" {
  check_answers <<'EOF'
255|File not given...\nPlease use the -f or --file option to specify a file\nExiting.|-v
255||-s -v
255|File given [-s] does not exist.\nExiting.|-f -s
255|File given [x] does not exist.\nExiting.|-vfx
255|File given [x.rc] does not exist.\nExiting.|-vf x.rc
255|File given [x.rc] does not exist.\nExiting.|--file=x.rc
255|File given [--help] does not exist.\nExiting.|-e --help -- --help
255|File given [missing.rc] does not exist.\nExiting.|-f missing.rc
255|File given [missing.rc] does not exist.\nExiting.|--check -f missing.rc
1|a.rc:3: A, "EI"\na.rc: 1 line would change.|--check -f a.rc
1|last.rc:3:   A  "EI"  // x\nlast.rc: 1 line would change.|--check last.rc
255|short.rc is not a text file: not converted|--check short.rc
255||-s -f missing.rc
255|File given [m.rc] does not exist.\nIts text is in its backup [m.rc.original]: --restore puts it back.\nExiting.|-f m.rc
255|File [cut.rc] is UTF-16 text whose last character is cut short.\nSave it whole and run again.\nExiting.|-f cut.rc
255|File [cut.rc] is UTF-16 text whose last character is cut short.\nSave it whole and run again.\nExiting.|--check -f cut.rc
0|folder.rc holds no .rc file|-f folder.rc
255|Backup file [a.rc.log] would be the rc file or its log.\nPlease use the -e or --extension option to choose another extension\nExiting.|-elog a.rc
255||-s --extension=log a.rc
255|==> a.rc <==\na.rc:3: A, "EI"\na.rc: 1 line would change.\n==> m.rc <==\nFile given [m.rc] does not exist.\nIts text is in its backup [m.rc.original]: --restore puts it back.\nExiting.|--check a.rc m.rc
1||-s --check a.rc a.rc
255|No backup file [a.rc.original] to restore a.rc from.\nExiting.|--restore --line-ends=keep a.rc
1|a.rc:3: A, "EI"\na.rc: 1 line would change.|--line-ends keep --check a.rc
1|--- a/last.rc\n+++ b/last.rc\n@@ -1,3 +1,3 @@\n STRINGTABLE\n BEGIN\n-  A  ""  // x\n\\ No newline at end of file\n+  A  "EI"  // x\n\\ No newline at end of file|--diff last.rc
255|Extension [d/../a.rc.log] holds a path separator.\nPlease use the -e or --extension option to choose an extension without one\nExiting.|-e d/../a.rc.log -f a.rc
EOF
}
