#!/usr/bin/env bash
# Cross-builds the 32-bit infotest.exe, the logic's tests and the Win32
# window's tests with mingw-w64, runs the tests under 32-bit Wine on a
# virtual X display (and the program once more on a netbook's 1024 x 600
# screen with a taskbar), checks that the .exe is a small 32-bit GUI program
# for Windows 7 and later that needs only DLLs every Windows has and imports
# only the functions on ui/win32/imports.txt, and makes the ZIP for
# teachers. Exits non-zero when any step fails. Prints how long each step
# took.
#
# Where the kernel runs no 32-bit x86 code (a 64-bit kernel built or booted
# without it, ia32_emulation=off), no 32-bit Wine starts. The 32-bit
# infotest.exe and its tests are then still built, and the .exe checked and
# packed as above, but the tests and the program's starts run as a 64-bit
# (x86-64) build under 64-bit Wine, and the output says so.
# INFOTEST_WINDOWS_X64=1 takes that way on any kernel, for trying it.
#
# Needs the Debian packages g++-mingw-w64-i686-posix,
# binutils-mingw-w64-i686, wine, wine32:i386, libxi6:i386, googletest,
# xvfb, x11-utils, icewm, unzip, cmake and ninja-build; the 64-bit way needs
# g++-mingw-w64-x86-64-posix, binutils-mingw-w64-x86-64, wine64 and libxi6
# instead of wine32:i386 and libxi6:i386.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
stage_name=windows
# shellcheck source=scripts/steps.sh
source scripts/steps.sh

# Whether the tests run as the 32-bit build that teachers get. Every 32-bit
# program, 32-bit Wine too, starts through the i386 C library's loader;
# where the kernel runs no 32-bit code, executing it fails with "Exec format
# error". Without that loader there is no 32-bit Wine either: the 32-bit way
# is taken, and the missing-tools check below says what to install.
i386_loader=/lib/ld-linux.so.2
why_x64=""
if [ "${INFOTEST_WINDOWS_X64:-}" = 1 ]; then
  why_x64="INFOTEST_WINDOWS_X64=1 asks for it"
elif [ -e "$i386_loader" ] && ! loader_error=$("$i386_loader" --version 2>&1 >/dev/null); then
  why_x64="this kernel runs no 32-bit x86 code ($i386_loader: ${loader_error##*: })"
fi

if [ -n "$why_x64" ]; then
  echo "=== windows: the tests run as a 64-bit (x86-64) build under 64-bit Wine:"
  echo "=== windows: $why_x64. The 32-bit infotest.exe is built and checked, not run."
fi

objdump=i686-w64-mingw32-objdump
if [ -z "$why_x64" ]; then
  wine=wine
  tools=(i686-w64-mingw32-g++-posix i686-w64-mingw32-windres "$objdump" wine)
  xi_abi=libc6
  packages="g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 libxi6:i386"
else
  # Debian's wine command would start the 32-bit loader; the 64-bit one
  # lies outside PATH.
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
  tools=(i686-w64-mingw32-g++-posix i686-w64-mingw32-windres "$objdump"
    x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres "$wine")
  xi_abi=libc6,x86-64
  packages="g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix"
  packages+=" binutils-mingw-w64-x86-64 wine wine64 libxi6"
fi
missing=()
for tool in "${tools[@]}" wineserver Xvfb xdpyinfo xprop icewm unzip; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
# Wine's X11 driver loads XInput 2 (libXi) of its own architecture; Debian's
# Wine only recommends it. Without it Wine 10 (not 8) never delivers a
# message to a window that covers the whole screen, as the window does at
# 144 dpi on the netbook's screen: it tries again and again to confine the
# pointer to that "full-screen" window, is refused each time, and the close
# request waits behind those attempts for ever.
library() {
  PATH=$PATH:/usr/sbin:/sbin ldconfig -p 2>/dev/null | grep -Eq "^[[:space:]]+${1//./\\.} \\($2\\)"
}
library libXi.so.6 "$xi_abi" || missing+=("libXi.so.6 ($xi_abi)")
if [ ${#missing[@]} -ne 0 ]; then
  fail "missing ${missing[*]}; install $packages xvfb x11-utils icewm unzip"
fi

# The 32-bit build, which teachers get; and the build whose tests run.
build_dir=build/windows
exe=$build_dir/infotest.exe
if [ -z "$why_x64" ]; then
  test_dir=$build_dir
else
  test_dir=build/windows-x64
fi

# Wine quiet, without the .NET and HTML engines it would offer to download.
# A 32-bit prefix is 32-bit Windows, which refuses a 64-bit program; the
# 64-bit build runs in a 64-bit prefix.
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
if [ -z "$why_x64" ]; then
  export WINEARCH=win32
else
  export WINEARCH=win64
fi
unset WAYLAND_DISPLAY
# A prefix of its own, so that no earlier run or user setting can change the
# results, and a scratch folder for the display; both are removed at the end.
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/infotest-wine.XXXXXX")
export WINEPREFIX
scratch=$(mktemp -d "${TMPDIR:-/tmp}/infotest-xvfb.XXXXXX")
background_pids=()
cleanup() {
  wineserver -k 2>/dev/null || true
  local pid
  for pid in "${background_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$WINEPREFIX" "$scratch"
}
trap cleanup EXIT

build() {
  cmake --preset windows
  cmake --build --preset windows -j "$jobs"
}
# The same program and tests for x86-64, with warnings as errors as in the
# preset. Not a preset of its own: every preset is configured on a bare
# Debian, which lacks the x86-64 compilers.
build_x64() {
  cmake -S . -B "$test_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DINFOTEST_WERROR=ON
  cmake --build "$test_dir" -j "$jobs"
}
# Starts a virtual X display of the given size and makes it $DISPLAY.
start_display() {
  local size=$1 name=$2 pid _
  # Xvfb picks a free display number and reports it; -noreset keeps it from
  # resetting, and refusing connections, when the last client leaves.
  Xvfb -screen 0 "${size}x24" -noreset -nolisten tcp -displayfd 3 \
    3>"$scratch/$name.display" 2>"$scratch/$name.log" &
  pid=$!
  background_pids+=("$pid")
  for _ in $(seq 100); do
    if [ -s "$scratch/$name.display" ] && xdpyinfo -display ":$(cat "$scratch/$name.display")" >/dev/null 2>&1; then
      DISPLAY=":$(cat "$scratch/$name.display")"
      export DISPLAY
      echo "display $DISPLAY, $size"
      return
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$scratch/$name.log" >&2
  fail "Xvfb did not start"
}
display() {
  # Wine creates no window without an X display, and the window tests open
  # windows.
  start_display 1280x1024 tests
}
prefix() {
  if [ -n "$why_x64" ]; then
    echo '(where the kernel runs no 32-bit code, Wine reports that it failed to open'
    printf '%s\n' 'C:\windows\syswow64\rundll32.exe: the 32-bit half of the prefix, which the 64-bit tests do not use)'
  fi
  "$wine" wineboot -i
  # There is no window manager on the virtual display: Wine draws the
  # windows' frames itself instead of waiting, two seconds each time a
  # window closes, for a window manager to withdraw it.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  wineserver -w
  # One Wine server for the whole run instead of one per test process, and
  # the prefix's background processes (service manager, device drivers, COM
  # server) started here: they keep the output of the process that started
  # them, and started by a test they would hold ctest's pipe open, so that
  # ctest waited for them after the test had ended.
  wineserver -p
  "$wine" wineboot
}
tests() {
  # One test at a time: the window tests share the display and its focus.
  if [ -z "$why_x64" ]; then
    ctest --preset windows
  else
    # The preset's test settings, for the 64-bit build.
    ctest --test-dir "$test_dir" --output-on-failure
  fi
  # The random-sequence summaries, for the log.
  grep -h -E '^(seed: |(window )?sequences: [0-9]+)' "$test_dir/Testing/Temporary/LastTest.log" || true
}
# Runs the real program's start test on the current display, at the dots per
# inch given, expecting the work area that the window manager reports.
start_test_at() {
  local dpi=$1 work_area=$2
  # A Wine server and desktop of the current display, so that the display
  # and the dots per inch are read afresh; the registry is written once the
  # server has ended.
  wineserver -k 2>/dev/null || true
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  wineserver -w
  (cd "$test_dir/tests/ui/win32" && INFOTEST_EXPECTED_WORK_AREA=$work_area "$wine" program_start_test.exe)
}
netbook_screen() {
  # A netbook's 1024 x 600 screen with a window manager whose taskbar takes
  # the bottom of it; Wine reports the work area it publishes
  # (_NET_WORKAREA) as the monitor's work area. The window must open wholly
  # inside it: at 96 dpi moved up just enough, at 144 dpi (larger than the
  # screen) at its top-left corner.
  start_display 1024x600 netbook
  icewm >"$scratch/icewm.log" 2>&1 &
  background_pids+=("$!")
  local work_area="" _
  for _ in $(seq 100); do
    work_area=$(xprop -root _NET_WORKAREA 2>/dev/null | sed -En 's/^_NET_WORKAREA\(CARDINAL\) = ([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+).*/\1 \2 \3 \4/p')
    [ -n "$work_area" ] && break
    sleep 0.1
  done
  [ -n "$work_area" ] || fail "the window manager published no work area"
  local left top width height
  read -r left top width height <<<"$work_area"
  [ "$height" -lt 600 ] || fail "the work area ($work_area) leaves no room for a taskbar"
  echo "work area: $width x $height at ($left, $top)"
  local expected="$left $top $((left + width)) $((top + height))"
  start_test_at 96 "$expected"
  start_test_at 144 "$expected"
}
# The lines "DLL<tab>function", sorted, of a list in the form that
# scripts/windows-imports.sh prints.
import_pairs() {
  awk '/^[^ ]/ { dll = $0; next } /^  / { print dll "\t" substr($0, 3) }' | LC_ALL=C sort -u
}
exe_checks() {
  [ -f "$exe" ] || fail "$exe was not built"
  local size headers dlls dll bad=()
  size=$(stat -c %s "$exe")
  echo "infotest.exe: $size bytes"
  # A program that a teacher copies to a USB stick or a shared folder.
  [ "$size" -le 1048576 ] || fail "infotest.exe is larger than 1 MiB"

  headers=$("$objdump" -p "$exe")
  # 32-bit: it runs on 32- and 64-bit Windows alike.
  grep -Eq '^Magic[[:space:]]+010b' <<<"$headers" || fail "infotest.exe is not a 32-bit (PE32) program"
  "$objdump" -f "$exe" | grep -q 'architecture: i386' || fail "infotest.exe is not an i386 program"
  # 2 is the GUI subsystem: no console window opens beside the program.
  grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "infotest.exe is not a GUI program"
  # Windows 7 (6.1) as the oldest system, in both version fields.
  local field
  for field in MajorOSystemVersion:6 MinorOSystemVersion:1 MajorSubsystemVersion:6 MinorSubsystemVersion:1; do
    grep -Eq "^${field%:*}[[:space:]]+${field#*:}\$" <<<"$headers" ||
      fail "infotest.exe: ${field%:*} is not ${field#*:}"
  done

  # Only DLLs that every Windows from 7 on has; the MinGW runtime and any
  # toolkit must be linked in, since the .exe is copied alone.
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
  [ -n "$dlls" ] || fail "no imports found in infotest.exe"
  echo "imports: $(tr '\n' ' ' <<<"$dlls")"
  for dll in $dlls; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | ole32.dll | oleaut32.dll | \
        comctl32.dll | advapi32.dll | shell32.dll | gdiplus.dll) ;;
      # Includes the universal C runtime's api-ms-win-crt-*, which Windows 7
      # lacks without an update.
      *) bad+=("$dll") ;;
    esac
  done
  [ ${#bad[@]} -eq 0 ] || fail "infotest.exe needs DLLs that Windows 7 does not have: ${bad[*]}"

  # Every imported function is one on the list, checked against Windows 7.
  # The list holds what Debian 12's and Debian 13's mingw-w64 runtimes
  # import, which differ a little: a listed function that this build does
  # not import is no fault.
  local imported unlisted
  imported=$(scripts/windows-imports.sh "$exe" "$objdump" | import_pairs)
  # Functions read from every DLL the header names: a list that objdump
  # printed in a form the script cannot read would pass the check below.
  [ "$(cut -f1 <<<"$imported" | LC_ALL=C sort -u)" = "$(LC_ALL=C sort -u <<<"$dlls")" ] ||
    fail "scripts/windows-imports.sh read no functions of some of infotest.exe's DLLs ($objdump's output changed?)"
  unlisted=$(LC_ALL=C comm -13 <(grep -v '^#' ui/win32/imports.txt | import_pairs) <(echo "$imported"))
  if [ -n "$unlisted" ]; then
    echo "$unlisted" >&2
    fail "infotest.exe imports the functions above, which ui/win32/imports.txt lacks; add an import only once Windows 7 is known to have it"
  fi
  echo "imports: $(wc -l <<<"$imported") functions, all on ui/win32/imports.txt"

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
  zip=infotest-$version-windows.zip
  rm -f "$build_dir"/infotest-*-windows*.zip
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

if [ -z "$why_x64" ]; then
  step "build" build
  step "X display" display
  step "Wine prefix" prefix
  step "tests under Wine" tests
else
  step "build (32-bit)" build
  step "build (64-bit, for the tests)" build_x64
  step "X display" display
  step "Wine prefix (64-bit)" prefix
  step "tests under 64-bit Wine" tests
fi
step "netbook screen" netbook_screen
step "exe checks" exe_checks
step "ZIP" zip_package
if [ -z "$why_x64" ]; then
  echo "=== windows: all passed in $((SECONDS - total_start)) s"
else
  echo "=== windows: all passed in $((SECONDS - total_start)) s; the tests ran as a 64-bit build, since $why_x64"
fi
