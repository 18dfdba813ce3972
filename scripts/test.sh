#!/usr/bin/env bash
# Builds everything and runs every test: the native build (portable core,
# vexapack), then the Windows builds under Wine.
#
# The installer is a 32-bit program, so the i686 build is always made. Its
# tests run under Wine when this machine can execute 32-bit code; on a
# machine whose kernel refuses 32-bit programs (Wine's 32-bit loader then
# fails with "Exec format error") the same sources are also built for
# x86_64 and that build's tests run under 64-bit Wine instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
jobs=$(nproc)
out=${VEXA_BUILD:-$root/build}

cmake -S . -B "$out/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out/native" -j "$jobs"
status=0
(cd "$out/native" && ctest --output-on-failure -j "$jobs") || status=1

win_arches=(i686)
if ! bash scripts/can-run-32bit.sh; then
  echo "test: this machine cannot run 32-bit programs; Windows tests run on the x86_64 build"
  win_arches+=(x86_64)
  run_arch=x86_64
else
  run_arch=i686
fi
for arch in "${win_arches[@]}"; do
  cmake -S . -B "$out/win-$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" \
    -DVEXA_HOST_VEXAPACK="$out/native/tools/vexapack" >/dev/null
  cmake --build "$out/win-$arch" -j "$jobs"
done
(cd "$out/win-$run_arch" && ctest --output-on-failure -j "$jobs") || status=1
exit $status
