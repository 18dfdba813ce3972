#!/usr/bin/env bash
# Runs the installer. Until the installer window exists this builds the tools
# and shows vexapack packing and unpacking a sample tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
out=${VEXA_BUILD:-$root/build}
cmake -S . -B "$out/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out/native" -j "$(nproc)" --target vexapack
demo=$(mktemp -d)
mkdir -p "$demo/tree/img" && printf ok > "$demo/tree/log.txt" && : > "$demo/tree/img/x.d"
"$out/native/tools/vexapack" pack "$demo/tree" "$demo/payload.da" --root 'D:\vexa\vevovidi\'
"$out/native/tools/vexapack" list "$demo/payload.da"
"$out/native/tools/vexapack" unpack "$demo/payload.da" "$demo/out"
echo "unpacked to $demo/out"
