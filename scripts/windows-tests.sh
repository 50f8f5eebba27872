#!/usr/bin/env bash
# Cross-builds infotest.exe, the logic's tests and the Win32 window's tests
# with mingw-w64, runs the tests under Wine on a virtual X display, checks
# that the .exe is a small GUI program that needs only DLLs every Windows
# has, and makes the ZIP for teachers. Exits non-zero when any step fails.
# Prints how long each step took.
#
# Needs the Debian packages g++-mingw-w64-x86-64-posix,
# binutils-mingw-w64-x86-64, wine, wine64, googletest, xvfb, x11-utils,
# unzip, cmake and ninja-build.
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
fail() {
  echo "windows-tests.sh: $*" >&2
  exit 1
}

objdump=x86_64-w64-mingw32-objdump
missing=()
for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres "$objdump" \
  wine wineboot wineserver Xvfb xdpyinfo unzip; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -ne 0 ]; then
  fail "missing ${missing[*]}; install g++-mingw-w64-x86-64-posix" \
    "binutils-mingw-w64-x86-64 wine wine64 xvfb x11-utils unzip"
fi

build_dir=build/windows
exe=$build_dir/infotest.exe

# Wine quiet, 64-bit only, and without the .NET and HTML engines it would
# offer to download.
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
export WINEARCH=win64
unset WAYLAND_DISPLAY
# A prefix of its own, so that no earlier run or user setting can change the
# results, and a scratch folder for the display; both are removed at the end.
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/infotest-wine.XXXXXX")
export WINEPREFIX
scratch=$(mktemp -d "${TMPDIR:-/tmp}/infotest-xvfb.XXXXXX")
xvfb_pid=
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$WINEPREFIX" "$scratch"
}
trap cleanup EXIT

build() {
  cmake --preset windows
  cmake --build --preset windows -j "$jobs"
}
display() {
  # Wine creates no window without an X display, and the window tests open
  # windows. Xvfb picks a free display number and reports it; -noreset keeps
  # it from resetting, and refusing connections, when the last client leaves.
  Xvfb -screen 0 1280x1024x24 -noreset -nolisten tcp -displayfd 3 \
    3>"$scratch/display" 2>"$scratch/xvfb.log" &
  xvfb_pid=$!
  local _
  for _ in $(seq 100); do
    if [ -s "$scratch/display" ] && xdpyinfo -display ":$(cat "$scratch/display")" >/dev/null 2>&1; then
      DISPLAY=":$(cat "$scratch/display")"
      export DISPLAY
      echo "display $DISPLAY"
      return
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$scratch/xvfb.log" >&2
  fail "Xvfb did not start"
}
prefix() {
  # Without the 32-bit Wine (not needed here) this prints that it cannot
  # open syswow64\rundll32.exe; the 64-bit prefix is complete all the same.
  wineboot -i
  # There is no window manager on the virtual display: Wine draws the
  # windows' frames itself instead of waiting, two seconds each time a
  # window closes, for a window manager to withdraw it.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  wineserver -w
  # One Wine server for the whole run instead of one per test process, and
  # the prefix's background processes (service manager, device drivers, COM
  # server) started here: they keep the output of the process that started
  # them, and started by a test they would hold ctest's pipe open, so that
  # ctest waited for them after the test had ended.
  wineserver -p
  wineboot
}
tests() {
  # One test at a time: the window tests share the display and its focus.
  ctest --preset windows
  # The random-sequence summaries, for the log.
  grep -h -E '^(seed: |(window )?sequences: [0-9]+)' "$build_dir/Testing/Temporary/LastTest.log" || true
}
exe_checks() {
  [ -f "$exe" ] || fail "$exe was not built"
  local size headers dlls dll bad=()
  size=$(stat -c %s "$exe")
  echo "infotest.exe: $size bytes"
  # A program that a teacher copies to a USB stick or a shared folder.
  [ "$size" -le 1048576 ] || fail "infotest.exe is larger than 1 MiB"

  headers=$("$objdump" -p "$exe")
  grep -Eq '^Magic[[:space:]]+020b' <<<"$headers" || fail "infotest.exe is not a 64-bit (PE32+) program"
  # 2 is the GUI subsystem: no console window opens beside the program.
  grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "infotest.exe is not a GUI program"

  # Only DLLs that every Windows from 7 on has; the MinGW runtime and any
  # toolkit must be linked in, since the .exe is copied alone.
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
  [ -n "$dlls" ] || fail "no imports found in infotest.exe"
  echo "imports: $(tr '\n' ' ' <<<"$dlls")"
  for dll in $dlls; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | ole32.dll | oleaut32.dll | \
        comctl32.dll | advapi32.dll | shell32.dll | gdiplus.dll | api-ms-win-crt-*.dll) ;;
      *) bad+=("$dll") ;;
    esac
  done
  [ ${#bad[@]} -eq 0 ] || fail "infotest.exe needs DLLs that Windows does not have: ${bad[*]}"

  # The resources: the title image (raw data, type 10), the icon group (14)
  # that Explorer shows, the version details (16) of the file's properties
  # and the manifest (24). objdump lists the resource types at the first
  # level of the directory.
  "$objdump" -h "$exe" | grep -q ' \.rsrc ' || fail "infotest.exe has no resources"
  local types=() type
  mapfile -t types < <(sed -En 's/^[0-9a-f]+   Entry: ID: 0x0*([0-9a-f]+),.*/\1/p' <<<"$headers")
  echo "resource types (hex):" "${types[@]}"
  for type in a e 10 18; do
    printf '%s\n' "${types[@]}" | grep -qx "$type" || fail "infotest.exe lacks resource type 0x$type"
  done
}
zip_package() {
  local version zip listing file
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
  zip=infotest-$version-windows-x64.zip
  rm -f "$build_dir"/infotest-*-windows-x64.zip
  (cd "$build_dir" && cpack -G ZIP)
  [ -f "$build_dir/$zip" ] || fail "cpack made no $zip"
  unzip -l "$build_dir/$zip"
  # The program and the teacher's note lie at the top of the ZIP, not in a
  # folder; Zip file names have no leading "./".
  listing=$(unzip -Z1 "$build_dir/$zip")
  for file in infotest.exe README-ru.txt; do
    grep -qx "$file" <<<"$listing" || fail "$zip has no $file at its top"
  done
}

step "build" build
step "X display" display
step "Wine prefix" prefix
step "tests under Wine" tests
step "exe checks" exe_checks
step "ZIP" zip_package
echo "=== windows: all passed in $((SECONDS - total_start)) s"
