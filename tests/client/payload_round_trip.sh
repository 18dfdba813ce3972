#!/usr/bin/env bash
# The payload the Windows build embeds, read back by the native vexapack:
# unpacking it reproduces the assembled client folder exactly (empty folder
# and empty file included), every record is stored below the developer
# tools' root, and the Chinese file name is stored as code page 936 bytes.
# Usage: payload_round_trip.sh VEXAPACK PAYLOAD TREE
set -u
export LC_ALL=C
vexapack=$1 payload=$2 tree=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAILED: $*"; status=1; }

if ! "$vexapack" unpack "$payload" "$work/out"; then
  fail "vexapack unpack $payload"
elif ! diff -r "$tree" "$work/out"; then
  fail "the unpacked payload differs from $tree"
fi

if ! "$vexapack" list "$payload" >"$work/list"; then
  fail "vexapack list $payload"
else
  root='D:\vexa\vevovidi\'
  # Stored paths are FolderPath + "\" + Name; the top level's FolderPath is the root.
  while IFS=$'\t' read -r kind size path; do
    [[ $path == "$root\\"?* ]] || { fail "record $kind $size $path is not stored below $root"; break; }
  done <"$work/list"
  gbk=$(printf 'data\\考试说明.txt' | iconv -f UTF-8 -t GBK)
  grep -qF "$root\\$gbk" "$work/list" || fail "no record of data\\考试说明.txt in code page 936"
  grep -qxF "D"$'\t'"0"$'\t'"$root\\logs" "$work/list" || fail "no record of the empty folder logs"
fi
exit $status
