#!/usr/bin/env bash
# Screenshot of the windowing example (examples/windowing) under Xvfb:
#   tools/example-screenshot.sh [build folder] [out.png]
# The build folder defaults to build/windowing and must hold
# bin/WindowingExample.exe; the picture defaults to <build>/example.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/windowing}" && pwd)
out=${2:-$build/example.png}
exe=$build/bin/WindowingExample.exe
title="Windowing example"
if [[ ! -f "$exe" ]]; then
  echo "missing $exe: cmake --build $build --target WindowingExample" >&2
  exit 1
fi
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$build" "$out"
fi

export WINEPREFIX=$build/wineprefix WINEARCH=win64 WINEDEBUG=-all
# Creates the prefix on first use.
"$root/tools/wine-run" "$WINEPREFIX" cmd /c exit 0 >/dev/null 2>&1 || true

wine "$exe" >/dev/null 2>&1 </dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# Wait (bounded) for the dialog's window.
if ! window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$title\$" | head -n1) || [[ -z "$window" ]]; then
  echo "the example's window did not appear" >&2
  exit 1
fi
# Wait until two pictures in a row are the same: the dialog has painted.
prev=""
for _ in $(seq 1 40); do
  xwd -root -silent | convert xwd:- png:"$out"
  sum=$(convert "$out" rgb:- | md5sum | cut -d' ' -f1)
  [[ "$sum" == "$prev" ]] && break
  prev=$sum
  sleep 0.25
done

# Close the dialog like a user would; the program ends its message loop.
xdotool windowclose "$window" 2>/dev/null || true
for _ in $(seq 1 40); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.25
done
echo "$out"
