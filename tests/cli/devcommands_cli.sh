#!/usr/bin/env bash
# vexapack's material, text and update sub-commands end to end, and their
# refusal of malformed input: exit status 1 and one line naming the file,
# with nothing written for it.
# Usage: devcommands_cli.sh VEXAPACK [RUNNER...]  (RUNNER, e.g. Wine, runs it)
source "$(dirname "$0")/harness.sh" "$@"
hex() { od -An -v -tx1 "$1" | tr -d ' \n'; }
# Every line but the last is 76 characters ended by CR LF; the last has no
# CR LF after it unless it is full.
lines_are_76() {
  tr -d '\r\n' <"$1" | awk '{ n = length($0)
    for (i = 1; i <= n; i += 76) { c = substr($0, i, 76); printf "%s", c; if (length(c) == 76) printf "\r\n" } }' \
    >"$work/lines"
  cmp -s "$work/lines" "$1"
}

tree=$work/tree
mkdir -p "$tree/img" "$tree/empty" "$tree/a/b"
printf 'ok\r\n' >"$tree/log.txt"
: >"$tree/img/zero.d"
head -c 20000 /dev/urandom >"$tree/a/b/random.bin"
printf '中文内容' >"$tree/a/说明.txt"

# Material files: written as Base64 of the payload, read in any line form.
check "material encode" vp material encode "$tree" "$work/m.da"
check "material text starts with the zlib header in Base64" test "$(head -c 2 "$work/m.da")" = eJ
check "material lines are 76 characters" lines_are_76 "$work/m.da"
check "material decode" vp material decode "$work/m.da" "$work/out"
check "material decode reproduces the tree" diff -r "$tree" "$work/out"
{ cat "$work/m.da"; printf '\r\n'; } >"$work/m-crlf.da"
check "material with CR LF after the last line" vp material decode "$work/m-crlf.da" "$work/out-crlf"
check "CR LF after the last line reads alike" diff -r "$tree" "$work/out-crlf"
tr -d '\r\n' <"$work/m.da" | fold -w 64 >"$work/m-64.da"
check "material in 64-character LF lines" vp material decode "$work/m-64.da" "$work/out-64"
check "other line lengths read alike" diff -r "$tree" "$work/out-64"
check "material under another root" vp material encode "$tree" "$work/r.da" --root 'C:\{a7684f6e}\resource\2'
check "another root decodes" vp material decode "$work/r.da" "$work/out-root"
check "another root reproduces the tree" diff -r "$tree" "$work/out-root"

printf 'this is not a material file\r\n' >"$work/junk.da"
expect_fail "material of junk" 1 "junk.da" material decode "$work/junk.da" "$work/o1"
check "material of junk writes nothing" test ! -e "$work/o1"
head -c 200 "$work/m.da" >"$work/cut.da"
expect_fail "material cut short" 1 "cut.da" material decode "$work/cut.da" "$work/o2"
check "material cut short writes nothing" test ! -e "$work/o2"
expect_fail "material missing input" 1 "missing.da" material decode "$work/missing.da" "$work/o3"
expect_fail "material missing folder" 1 "nosuch" material encode "$work/nosuch" "$work/o4.da"
check "failed material encode leaves no output" test ! -e "$work/o4.da"

# Memo texts through standard input and output.
printf 'Memo1\r\n第二行\r\n' >"$work/memo.in"
vp text encode <"$work/memo.in" >"$work/memo.b64"
check "text encode" test $? = 0
check "memo text is Base64 of a zlib stream" test "$(head -c 2 "$work/memo.b64")" = eJ
vp text decode <"$work/memo.b64" >"$work/memo.out"
check "text decode" test $? = 0
check "text round trip" cmp -s "$work/memo.in" "$work/memo.out"
printf 'Memo1' | vp text decode >"$work/memo.bad" 2>"$work/err"
report_fail "text decode of junk" 1 "standard input" $?
check "text decode of junk prints nothing" test ! -s "$work/memo.bad"

# Update files: one per input, named by the rule, restored byte for byte.
mkdir -p "$work/in/sub.d"
: >"$work/in/empty.bin"
printf 'plain' >"$work/in/README"
cp "$tree/a/b/random.bin" "$work/in/sub.d/random.dat"
printf 'already text' >"$work/in/notes.txt"
check "update encode" vp update encode "$work/in/empty.bin" "$work/in/README" "$work/in/sub.d/random.dat" \
  "$work/in/notes.txt" --out "$work/upd"
check "update outputs are named by the rule" test -f "$work/upd/empty.txt" -a -f "$work/upd/README.txt" \
  -a -f "$work/upd/random.txt" -a -f "$work/upd/notes.txt"
check "empty file gives length 0 and the empty zlib stream" \
  test "$(hex "$work/upd/empty.txt")" = 00000000789c030000000001
check "update decode" vp update decode "$work/upd/empty.txt" "$work/upd/README.txt" "$work/upd/random.txt" \
  "$work/upd/notes.txt" --out "$work/restored"
check "empty restored" cmp -s "$work/in/empty.bin" "$work/restored/empty.txt"
check "plain restored" cmp -s "$work/in/README" "$work/restored/README.txt"
check "random restored" cmp -s "$work/in/sub.d/random.dat" "$work/restored/random.txt"
check "text restored" cmp -s "$work/in/notes.txt" "$work/restored/notes.txt"

printf '\xff\xff\xff\xff' >"$work/neg.dat"
tail -c +5 "$work/upd/README.txt" >>"$work/neg.dat"
expect_fail "negative content length" 1 "neg.dat" update decode "$work/upd/README.txt" "$work/neg.dat" \
  "$work/upd/random.txt" --out "$work/bad"
check "files before the bad one are decoded" cmp -s "$work/in/README" "$work/bad/README.txt"
check "nothing is written for the bad one" test ! -e "$work/bad/neg.txt"
check "the run ends at the bad one" test ! -e "$work/bad/random.txt"
{ printf '\x40\x00\x00\x00'; tail -c +5 "$work/upd/README.txt"; } >"$work/long.dat"
expect_fail "stream ends before the content length" 1 "long.dat" update decode "$work/long.dat" --out "$work/bad"
check "nothing is written for a short stream" test ! -e "$work/bad/long.txt"
head -c 300 "$work/upd/random.txt" >"$work/cut.upd"
expect_fail "input ends inside the stream" 1 "cut.upd" update decode "$work/cut.upd" --out "$work/bad"
expect_fail "update of a missing file" 1 "missing.bin" update encode "$work/missing.bin" --out "$work/upd"

# Usage errors.
expect_fail "material without a verb" 2 "usage" material
expect_fail "material unknown verb" 2 "usage" material frob "$tree" "$work/x.da"
expect_fail "material unknown option" 2 "usage" material encode "$tree" "$work/x.da" --bogus x
expect_fail "text extra word" 2 "usage" text encode extra
expect_fail "update without --out" 2 "usage" update encode "$work/in/README"
expect_fail "update without inputs" 2 "usage" update decode --out "$work/upd"

finish
