#!/usr/bin/env bash
# Installs what building and testing needs from Debian's packages:
# the MinGW-w64 cross compilers (posix threads) for x86_64 and i686, Wine,
# Xvfb, CMake, GoogleTest's source and the screenshot tools.
# Run as root to install; otherwise it only says what is missing.
set -euo pipefail

# command-or-path  package
needs=(
  "x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix"
  "i686-w64-mingw32-g++-posix   g++-mingw-w64-i686-posix"
  "x86_64-w64-mingw32-windres   binutils-mingw-w64-x86-64"
  "i686-w64-mingw32-windres     binutils-mingw-w64-i686"
  "wine                         wine"
  "/usr/lib/wine/wine64         wine64"
  "xvfb-run                     xvfb"
  "xauth                        xauth"
  "cmake                        cmake"
  "/usr/src/googletest/CMakeLists.txt googletest"
  "xwd                          x11-apps"
  "/usr/bin/convert             imagemagick"
  "xdotool                      xdotool"
)

missing=()
for entry in "${needs[@]}"; do
  read -r what pkg <<<"$entry"
  if [[ "$what" == /* ]]; then
    [[ -e "$what" ]] || missing+=("$pkg")
  else
    command -v "$what" >/dev/null 2>&1 || missing+=("$pkg")
  fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them as root:  apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
