#!/usr/bin/env bash
# Wine links the user's Desktop, Documents and the like to the host's home
# folder. A test prefix must not share them with the host or with another
# prefix (two scenario runs would see each other's desktop files, and
# shortcuts would land in the host's home): replace each link with a real
# folder inside the prefix. Needs WINEPREFIX; run after wineboot.
set -eu
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm "$link"
    mkdir -p "$link"
  fi
done
