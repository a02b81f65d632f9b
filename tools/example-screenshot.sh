#!/usr/bin/env bash
# Screenshot of the windowing example (examples/windowing) under Xvfb:
#   tools/example-screenshot.sh [build folder] [out.png]
# The build folder defaults to build/x86_64 (tools/build.sh x86_64);
# the picture defaults to build/screenshots/example.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/x86_64}
out=${2:-$root/build/screenshots/example.png}
exec "$root/tools/screenshot-program.sh" "$build" WindowingExample.exe "Windowing example" "$out" 800x600
