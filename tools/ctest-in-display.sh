#!/usr/bin/env bash
# Runs CTest for one build inside an X display: prepares the build's Wine
# prefix once and keeps its wineserver up for the whole run.
#   tools/ctest-in-display.sh <build> [ctest args...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd); shift
export WINEPREFIX=$build/wineprefix WINEARCH=win64 WINEDEBUG=-all

# Creating the prefix is the first start of Wine (about ten seconds).
"$root/tools/wine-run" "$WINEPREFIX" cmd /c exit 0 >/dev/null 2>&1 || true
wineserver -w          # let the server of the first start go, then keep one up
wineserver -p
# Wine's own background processes start with the first program and outlive it;
# start them here, away from CTest's output pipes, which they would hold open.
wine cmd /c exit 0 >/dev/null 2>&1 </dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT

cd "$build"
ctest --output-on-failure "$@"
