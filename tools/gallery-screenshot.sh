#!/usr/bin/env bash
# Screenshot of the image controls gallery (examples/gallery) under Xvfb:
#   tools/gallery-screenshot.sh [build folder] [out.png]
# The build folder defaults to build/x86_64 (tools/build.sh x86_64);
# the picture defaults to build/screenshots/gallery.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/x86_64}
out=${2:-$root/build/screenshots/gallery.png}
# The cursor waits in a corner, so that only the gallery's own hot buttons look hot.
exec "$root/tools/screenshot-program.sh" "$build" Gallery.exe "Image controls gallery" "$out" 920x680 915 675
