#!/usr/bin/env bash
# Runs the installer window under Wine. With a display it opens the window
# and waits until the program ends. Without one (DISPLAY unset) it starts a
# virtual display, opens the window there, saves a screenshot in the build
# folder and ends the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
out=${VEXA_BUILD:-$root/build}
cmake -S . -B "$out/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out/native" -j "$(nproc)" --target vexapack

# The i686 program where this machine runs 32-bit code, else the x86_64 one.
if bash scripts/can-run-32bit.sh; then arch=i686 loader=wine; else arch=x86_64 loader=/usr/lib/wine/wine64; fi
win=$out/win-$arch
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" \
  -DVEXA_HOST_VEXAPACK="$out/native/tools/vexapack" >/dev/null
cmake --build "$win" -j "$(nproc)" --target VexaS

export WINEPREFIX=$win/run-prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
export LC_ALL=${LC_ALL:-zh_CN.UTF-8}
xvfb=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  rm -f "$win/run-display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$win/run-display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$win/run-display" ] && break; sleep 0.1; done
  export DISPLAY=:$(tr -d '[:space:]' <"$win/run-display")
fi
if [ ! -f "$WINEPREFIX/.vexa-ready" ]; then
  mkdir -p "$WINEPREFIX"
  "$loader" wineboot -i >/dev/null 2>&1
  bash scripts/wine-cjk-fonts.sh "$loader"
  wineserver -w
  bash scripts/wine-private-folders.sh
  touch "$WINEPREFIX/.vexa-ready"
fi

"$loader" "$win/app/VexaS.exe" &
program=$!
if [ -n "$xvfb" ]; then
  window=$(timeout 60 xdotool search --sync --onlyvisible --name MiravoVexa | head -n 1)
  sleep 1
  import -window "$window" "$win/installer-window.png"
  echo "run-installer: the window opened on a virtual display; screenshot $win/installer-window.png"
else
  wait "$program" || true
fi
