#!/usr/bin/env bash
# Screenshot of the image controls gallery (examples/gallery) under Xvfb:
#   tools/gallery-screenshot.sh [build folder] [out.png]
# The build folder defaults to build/imctl and must hold bin/Gallery.exe;
# the picture defaults to build/screenshots/gallery.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/imctl}" && pwd)
out=${2:-$root/build/screenshots/gallery.png}
exe=$build/bin/Gallery.exe
title="Image controls gallery"
if [[ ! -f "$exe" ]]; then
  echo "missing $exe: cmake --build $build --target Gallery" >&2
  exit 1
fi
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 920x680x24" "$0" "$build" "$out"
fi
mkdir -p "$(dirname "$out")"

export WINEPREFIX=$build/wineprefix WINEARCH=win64 WINEDEBUG=-all
# Creates the prefix on first use.
"$root/tools/wine-run" "$WINEPREFIX" cmd /c exit 0 >/dev/null 2>&1 || true

# Keep the cursor away from the buttons, so that only the gallery's own
# hot buttons look hot.
xdotool mousemove 915 675 2>/dev/null || true
wine "$exe" >/dev/null 2>&1 </dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# Wait (bounded) for the gallery's window.
if ! window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$title\$" | head -n1) || [[ -z "$window" ]]; then
  echo "the gallery's window did not appear" >&2
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

xdotool windowclose "$window" 2>/dev/null || true
for _ in $(seq 1 40); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.25
done
echo "$out"
