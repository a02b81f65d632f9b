#!/usr/bin/env bash
# Starts a built Windows program under Wine, waits until its window has
# painted, saves a screenshot of the screen and closes the program again.
#   tools/screenshot-program.sh <build folder> <program.exe> <window title> <out.png> <WxH> [cursor x y]
# Without a display it runs itself under an Xvfb screen of size WxH. The
# optional cursor position keeps the mouse away from hot controls.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
exe=$build/bin/$2
title=$3
out=$4
screen=$5
if [[ ! -f "$exe" ]]; then
  echo "missing $exe: cmake --build $build --target ${2%.exe}" >&2
  exit 1
fi
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 ${screen}x24" "$0" "$@"
fi
mkdir -p "$(dirname "$out")"

export WINEPREFIX=$build/wineprefix WINEARCH=win64 WINEDEBUG=-all
# Creates the prefix on first use.
"$root/tools/wine-run" "$WINEPREFIX" cmd /c exit 0 >/dev/null 2>&1 || true

if [[ $# -ge 7 ]]; then
  xdotool mousemove "$6" "$7" 2>/dev/null || true
fi
wine "$exe" >/dev/null 2>&1 </dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# Wait (bounded) for the program's window.
if ! window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$title\$" | head -n1) || [[ -z "$window" ]]; then
  echo "the window \"$title\" did not appear" >&2
  exit 1
fi
# Wait (bounded) until two pictures in a row are the same: everything has painted.
prev=""
for _ in $(seq 1 40); do
  xwd -root -silent | convert xwd:- png:"$out"
  sum=$(convert "$out" rgb:- | md5sum | cut -d' ' -f1)
  [[ "$sum" == "$prev" ]] && break
  prev=$sum
  sleep 0.25
done

# Close the window like a user would; the program ends its message loop.
xdotool windowclose "$window" 2>/dev/null || true
for _ in $(seq 1 40); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.25
done
echo "$out"
