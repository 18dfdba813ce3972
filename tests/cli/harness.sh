# Shared by the vexapack command-line checks; sourced with the script's own
# arguments: VEXAPACK [RUNNER...] (RUNNER, e.g. Wine, runs it).
# Gives: $work (removed at exit), check, vp, expect_fail, report_fail, finish.
set -u
vexapack=$1
shift
runner=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 passes=0
check() {  # check NAME COMMAND...: the command must succeed
  local name=$1
  shift
  if "$@"; then passes=$((passes + 1)); else echo "FAILED: $name"; failures=$((failures + 1)); fi
}
# Under Wine, host paths are handed over as drive Z: paths.
vp() {
  if [ ${#runner[@]} = 0 ]; then "$vexapack" "$@"; return; fi
  local a out=()
  for a in "$@"; do
    if [[ $a == /* ]]; then a="Z:${a//\//\\}"; fi
    out+=("$a")
  done
  "${runner[@]}" "$vexapack" "${out[@]}"
}
# expect_fail NAME STATUS TEXT ARGS...: exit STATUS, stderr one line holding TEXT
expect_fail() {
  local name=$1 want=$2 text=$3
  shift 3
  vp "$@" >/dev/null 2>"$work/err" </dev/null
  report_fail "$name" "$want" "$text" $?
}
report_fail() {
  local name=$1 want=$2 text=$3 got=$4
  if [ "$got" = "$want" ] && grep -qF -- "$text" "$work/err" &&
    { [ "$want" = 2 ] || [ "$(wc -l <"$work/err")" = 1 ]; }; then
    passes=$((passes + 1))
  else
    echo "FAILED: $name (status $got, stderr: $(cat "$work/err"))"
    failures=$((failures + 1))
  fi
}
# Prints the closing count; the status says whether every check held.
finish() {
  echo "$passes passed, $failures failed"
  [ "$failures" = 0 ]
}
