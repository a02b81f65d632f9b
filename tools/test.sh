#!/usr/bin/env bash
# The test command: installs what is missing, builds both targets and runs
# every test of the x86_64 build under Wine, inside one Xvfb display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/tools/install-deps.sh"
"$root/tools/build.sh" x86_64 i686

build=$root/build/x86_64
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$root/tools/ctest-in-display.sh" "$build" "$@"
