#!/usr/bin/env bash
# Whole installations under Wine on a virtual display: the window scenario's
# runner (run-ui-scenario.sh) with drive D: mapped to a fresh folder, the
# desktop inside the prefix, and the installation driver.
#
#   run-install-scenarios.sh BUILD_DIR VEXAS_EXE DRIVER_EXE CLIENT_TREE LC_ALL SCENARIO...
#
# CLIENT_TREE is the sample client folder the payload was packed from; the
# installed tree must equal it. Output goes to BUILD_DIR/install-scenario-<locale>/.
set -u
build=$1 exe=$2 driver=$3 client=$4 lc=$5
shift 5
here=$(cd "$(dirname "$0")" && pwd)
export VEXA_UI_NAME=install-scenario VEXA_UI_DRIVES=d VEXA_UI_PREPARE=$here/install-prefix.sh
exec bash "$here/run-ui-scenario.sh" "$build" "$exe" "$driver" "$lc" "Z:${client//\//\\}" "$@"
