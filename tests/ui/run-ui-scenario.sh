#!/usr/bin/env bash
# Runs the installer window's scenario: a fresh Wine prefix, a virtual
# display, VexaS.exe driven by the driver program, which asks this script
# for real mouse gestures (xdotool) and screenshots (ImageMagick).
#
#   run-ui-scenario.sh BUILD_DIR VEXAS_EXE DRIVER_EXE [LC_ALL [DRIVER_ARGS...]]
#
# Further arguments go to the driver after the program's path.
# VEXA_UI_PREPARE names a script sourced once the prefix and its drives are
# ready, before the driver starts.
#
# VEXA_WINE_LOADER names Wine's loader (wine, or /usr/lib/wine/wine64 for
# an x86_64 build). VEXA_UI_DISPLAY=:N runs Xvfb on that display number;
# without it Xvfb picks a free one itself. Screenshots and logs go to
# BUILD_DIR/ui-scenario-<locale>/ (VEXA_UI_NAME replaces "ui-scenario").
# VEXA_UI_DRIVES="d e" maps each drive letter named to a fresh folder
# BUILD_DIR/<name>-<locale>/drive-<letter>, for scenarios with fixed paths.
set -u
build=$1 exe=$2 driver=$3 lc=${4:-zh_CN.UTF-8}
loader=${VEXA_WINE_LOADER:-wine}
driver_args=("${@:5}")
out=$build/${VEXA_UI_NAME:-ui-scenario}-${lc%%.*}
rm -rf "$out"
mkdir -p "$out"
export WINEPREFIX=$out/prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=' LC_ALL=$lc
# Wine links the prefix's Desktop and Documents to $HOME: give each run a home
# of its own, so parallel runs never share a desktop and nothing lands in the
# real home folder. (Links, not real folders: the folder browser resolves a
# desktop item through them.)
export HOME=$out/home
mkdir -p "$HOME"

xvfb=
cleanup() {
  wineserver -k >/dev/null 2>&1
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
  fi
}
trap cleanup EXIT

if [ -n "${VEXA_UI_DISPLAY:-}" ]; then
  Xvfb "$VEXA_UI_DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
  xvfb=$!
  export DISPLAY=$VEXA_UI_DISPLAY
else
  # Xvfb writes the display number it took to the descriptor given.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$out/display" >"$out/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(tr -d '[:space:]' <"$out/display")
fi
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
if ! xdpyinfo >/dev/null 2>&1; then
  echo "ui-scenario: the virtual display did not start"
  exit 1
fi

"$loader" wineboot -i >"$out/wineboot.log" 2>&1
bash "$(dirname "$0")/../../scripts/wine-cjk-fonts.sh" "$loader"
wineserver -w
for d in ${VEXA_UI_DRIVES:-}; do
  mkdir -p "$out/drive-$d"
  ln -sfn "$out/drive-$d" "$WINEPREFIX/dosdevices/$d:"
done
if [ -n "${VEXA_UI_PREPARE:-}" ]; then
  # shellcheck disable=SC1090
  source "$VEXA_UI_PREPARE"
fi

winpath() { local p=$1; echo "Z:${p//\//\\}"; }

coproc DRIVER { "$loader" "$driver" "$(winpath "$exe")" "${driver_args[@]}" 2>"$out/driver-stderr.log"; }
to_driver=${DRIVER[1]}
driver_pid=$DRIVER_PID  # bash forgets DRIVER_PID when the driver ends
while IFS= read -r line <&"${DRIVER[0]}"; do
  line=${line%$'\r'}
  case $line in
    @xdotool\ *)
      # shellcheck disable=SC2086  # the request is a word list for xdotool
      if xdotool ${line#@xdotool } >>"$out/xdotool.log" 2>&1; then echo ok; else echo "xdotool failed: $line"; fi >&"$to_driver"
      ;;
    @shot\ *)
      read -r _ name x y w h <<<"$line"
      if import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png" 2>>"$out/import.log"; then
        echo ok
      else
        echo "screenshot $name failed"
      fi >&"$to_driver"
      ;;
    *)
      echo "$line"
      ;;
  esac
done
wait "$driver_pid"
status=$?
echo "ui-scenario ($lc): screenshots in $out"
exit $status
