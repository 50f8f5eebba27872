#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# only those that are missing. Usage: scripts/setup.sh [run|test]
set -euo pipefail

run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-translations-l10n fonts-liberation2 fonts-dejavu-core
)
test_packages=(
  libgtest-dev googletest clang-tidy
  xvfb xauth xdotool imagemagick x11-utils libx11-dev icewm
  python3 python3-pyatspi at-spi2-core dbus-x11
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 fonts-wine
  dpkg-dev file desktop-file-utils appstream unzip lintian man-db
  debootstrap clang-format
  emscripten binaryen nodejs node-acorn chromium firefox-esr
  python3-websocket python3-fonttools python3-brotli
)

packages=("${run_packages[@]}")
if [ "${1:-test}" = test ]; then packages+=("${test_packages[@]}"); fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
# The 32-bit Wine (wine32:i386) comes from Debian's i386 architecture,
# which this adds to the machine's package sources.
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
