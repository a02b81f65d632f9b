#!/usr/bin/env bash
# Configures and builds both targets: build/x86_64 (tested) and build/i686.
# The programs land in build/<arch>/bin. Pass "x86_64" or "i686" to build one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
archs=("${@:-x86_64 i686}")
read -r -a archs <<<"${archs[*]}"
jobs=$(nproc 2>/dev/null || echo 2)
for arch in "${archs[@]}"; do
  build=$root/build/$arch
  tests=ON
  # Only the x86_64 build is tested: 32-bit Wine cannot run on this kernel.
  [[ $arch == x86_64 ]] || tests=OFF
  if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" \
          -DCMAKE_BUILD_TYPE=Release -DVORNIX_TESTS=$tests >/dev/null
  fi
  echo "== building $arch"
  cmake --build "$build" -j "$jobs"
done
