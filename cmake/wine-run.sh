#!/usr/bin/env bash
# Runs a Windows program under Wine in the build folder's own prefix.
# Used by CTest as the cross-compiling emulator. The prefix is created once
# (about 12 s) and reused; a lock keeps parallel tests from racing on it.
set -u
here=$(cd "$(dirname "$0")" && pwd)
: "${VEXA_WINE_BUILD_DIR:?VEXA_WINE_BUILD_DIR must name the build folder}"
export WINEPREFIX=${VEXA_WINEPREFIX:-$VEXA_WINE_BUILD_DIR/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LC_ALL=${VEXA_LC_ALL:-zh_CN.UTF-8}
loader=${VEXA_WINE_LOADER:-wine}
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.vexa-ready" ]; then
    "$loader" wineboot -i >/dev/null 2>&1
    wineserver -w
    bash "$here/../scripts/wine-private-folders.sh"
    touch "$WINEPREFIX/.vexa-ready"
  fi
) 9>"$WINEPREFIX.lock"
"$loader" "$@"
