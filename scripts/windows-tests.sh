#!/usr/bin/env bash
# Cross-builds the logic, its tests and the Windows resources with mingw-w64,
# then runs the tests under Wine without a display. Exits non-zero when the
# build fails or any test fails. Prints how long each step took.
#
# Needs the Debian packages g++-mingw-w64-x86-64-posix,
# binutils-mingw-w64-x86-64, wine, wine64, googletest, cmake and ninja-build.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
total_start=$SECONDS
step() {
  local name=$1
  shift
  local start=$SECONDS
  echo "=== windows: $name"
  "$@"
  echo "=== windows: $name: $((SECONDS - start)) s"
}

missing=()
for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres wine wineboot wineserver; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "windows-tests.sh: missing ${missing[*]}; install g++-mingw-w64-x86-64-posix" \
    "binutils-mingw-w64-x86-64 wine wine64" >&2
  exit 1
fi

# Wine quiet, 64-bit only, without the .NET and HTML engines it would offer
# to download, and without a display: the tests open no window.
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
# A prefix of its own, so that no earlier run or user setting can change the
# results; it is removed at the end.
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/infotest-wine.XXXXXX")
export WINEPREFIX
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

build() {
  cmake --preset windows-core
  cmake --build --preset windows-core -j "$jobs"
}
prefix() {
  # One Wine server for the whole run instead of one per test process.
  wineserver -p
  # Without the 32-bit Wine (not needed here) this prints that it cannot
  # open syswow64\rundll32.exe; the 64-bit prefix is complete all the same.
  wineboot -i
}
tests() {
  ctest --preset windows-core -j "$jobs"
}

step "build" build
step "Wine prefix" prefix
step "tests under Wine" tests
echo "=== windows: all passed in $((SECONDS - total_start)) s"
