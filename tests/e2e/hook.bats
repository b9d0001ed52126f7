# The pre-commit hook this repository offers, tried as a user would, from a repository that holds
# the hook's file, over a scratch repository, with the program on the PATH.
load helper

@test "the pre-commit hook fails a commit of a script with an empty string and passes a clean one" {
  export PATH="$(dirname "$TABLEMEND"):$PATH" PRE_COMMIT_HOME="$BATS_TEST_TMPDIR/cache"
  git init -q hooks && cp "$BATS_TEST_DIRNAME/../../.pre-commit-hooks.yaml" hooks/
  git -C hooks add . && git -C hooks -c user.name=t -c user.email=t@t commit -qm hooks
  git init -q . && cp "$examples/app.rc" app.rc && git add app.rc
  run pre-commit try-repo hooks tablemend-check --files app.rc
  assert_failure 1
  assert_output --partial "$(cat "$golden/check.expected")"
  tablemend -s -f app.rc
  run pre-commit try-repo hooks tablemend-check --files app.rc
  assert_success
}
