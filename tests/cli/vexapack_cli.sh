#!/usr/bin/env bash
# vexapack driven as other checks call it: pack, list, unpack, and refusal
# of malformed input with exit status 1 and a message naming the file.
# Usage: vexapack_cli.sh VEXAPACK [RUNNER...]  (RUNNER, e.g. Wine, runs it)
source "$(dirname "$0")/harness.sh" "$@"

tree=$work/tree
mkdir -p "$tree/img" "$tree/empty" "$tree/a/b/c" "$tree/考试"
printf ok >"$tree/log.txt"
: >"$tree/img/x.d"
head -c 300000 /dev/urandom >"$tree/a/b/c/random.bin"
printf '中文内容' >"$tree/考试/说明.txt"

check "pack" vp pack "$tree" "$work/p.da" --root 'D:\vexa\vevovidi\'
check "payload is one zlib stream" test "$(head -c 2 "$work/p.da" | od -An -tx1 | tr -d ' ')" = 789c
check "unpack" vp unpack "$work/p.da" "$work/out"
check "unpack reproduces the tree" diff -r "$tree" "$work/out"
vp list "$work/p.da" >"$work/list" 2>&1
check "list names every record in order" grep -qxF "$(printf 'F\t2\tD:\\vexa\\vevovidi\\\\log.txt')" "$work/list"
check "list shows folders" grep -qxF "$(printf 'D\t0\tD:\\vexa\\vevovidi\\\\a\\b\\c')" "$work/list"
check "list counts records" test "$(wc -l <"$work/list")" = 10

check "raw pack" vp pack "$tree" "$work/p.raw" --root 'D:\vexa\vevovidi\' --raw
check "raw unpack" vp unpack "$work/p.raw" "$work/out-raw" --raw
check "raw unpack reproduces the tree" diff -r "$tree" "$work/out-raw"

mkdir -p "$work/源"
cp -r "$tree" "$work/源/树"
check "pack from a folder with a Chinese name" vp pack "$work/源/树" "$work/源/p.da"
check "unpack into a folder with a Chinese name" vp unpack "$work/源/p.da" "$work/源/出"
check "Chinese-named round trip" diff -r "$tree" "$work/源/出"

head -c 1000 "$work/p.da" >"$work/cut.da"
printf 'not a zlib stream' >"$work/junk.da"
head -c 50 "$work/p.raw" >"$work/cut.raw"
expect_fail "truncated payload" 1 "cut.da" unpack "$work/cut.da" "$work/o1"
expect_fail "not zlib" 1 "junk.da" unpack "$work/junk.da" "$work/o2"
expect_fail "truncated archive" 1 "truncated" unpack "$work/cut.raw" "$work/o3" --raw
expect_fail "list of junk" 1 "junk.da" list "$work/junk.da"
expect_fail "missing input" 1 "missing.da" unpack "$work/missing.da" "$work/o4"
expect_fail "missing folder" 1 "nosuch" pack "$work/nosuch" "$work/o5.da"
check "failed pack leaves no output" test ! -e "$work/o5.da"
expect_fail "no arguments" 2 "usage" ""
expect_fail "unknown option" 2 "usage" pack "$tree" "$work/x.da" --bogus
expect_fail "missing word" 2 "usage" unpack "$work/p.da"

finish
