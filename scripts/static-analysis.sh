#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over every front-end, one
# timed part each: the Linux build (the logic, the layout, the window core
# and the Qt window), the Win32 window and its tests through the windows
# preset's compile database, and the browser window and its tests through
# the web preset's. Exits non-zero on the first part with findings.
# Usage: scripts/static-analysis.sh [linux] [win32] [web] (all three when
# none is named).
#
# Needs clang-tidy (with run-clang-tidy), cmake, python3 and the compilers of
# the presets it reads: g++ for ci, mingw-w64 for windows, emscripten for
# web. It gives the same verdict with Debian 12's clang-tidy 14 and Debian
# 13's clang-tidy 19: .clang-tidy names every check it runs.
set -euo pipefail
cd "$(dirname "$0")/.."

part() {
  local name=$1
  shift
  local start=$SECONDS
  echo "=== static analysis: $name"
  "$@"
  echo "=== static analysis: $name: $((SECONDS - start)) s"
}

# The compiler of the first entry of a compile database whose file matches.
compiler_of() {
  python3 - "$1" "$2" <<'EOF'
import json, re, shlex, sys
database, pattern = sys.argv[1], sys.argv[2]
for entry in json.load(open(database)):
    if re.search(pattern, entry["file"]):
        words = entry.get("arguments") or shlex.split(entry["command"])
        print(words[0])
        break
EOF
}

# The program's own code; the tests of the Qt window are mostly
# test-framework macros. clang does not know GCC's -Wno-error=restrict from
# the build flags.
linux_build() {
  [ -f build/ci/compile_commands.json ] || cmake --preset ci >/dev/null
  run-clang-tidy -quiet -p build/ci -extra-arg=-Wno-unknown-warning-option \
    "$PWD/(bank|run|ui)/.*\\.cpp\$"
}

# The Win32 sources as the cross-compiler builds them: clang is told the
# compiler's target (x86_64-w64-mingw32 or i686-w64-mingw32) and given the
# compiler's own C++ library headers, which clang does not find in Debian's
# versioned "12-posix" folders; clang's built-in headers and the mingw-w64
# system headers it finds itself. Configuring is enough: no build is needed.
win32_sources() {
  cmake --preset windows >/dev/null
  local database=build/windows/compile_commands.json
  local compiler triple
  compiler=$(compiler_of "$database" '/ui/win32/')
  [ -n "$compiler" ] || { echo "no Win32 sources in $database" >&2; return 1; }
  triple=$("$compiler" -dumpmachine)
  local args=(-extra-arg-before="--target=$triple" -extra-arg=-Wno-unknown-warning-option -extra-arg=-nostdinc++)
  local dir
  while read -r dir; do
    args+=(-extra-arg="-isystem$dir")
  done < <("$compiler" -E -x c++ -v - </dev/null 2>&1 | sed -n 's|^ \(/.*/include/c++.*\)$|\1|p')
  run-clang-tidy -quiet -p build/windows "${args[@]}" "$PWD/(ui/win32|tests/ui/win32)/.*\\.cpp\$"
}

# The browser window and its tests as emscripten builds them: clang is told
# the WebAssembly target and emscripten's system root. Configuring is enough.
web_sources() {
  cmake --preset web >/dev/null
  local database=build/web/compile_commands.json
  grep -q '/ui/web/' "$database" || { echo "no browser window sources in $database" >&2; return 1; }
  # Emscripten's own flags for clang: its target, system root, defines and
  # the folders of its C and C++ libraries.
  local flag args=()
  for flag in $(em++ --cflags); do
    args+=(-extra-arg-before="$flag")
  done
  run-clang-tidy -quiet -p build/web "${args[@]}" -extra-arg=-Wno-unknown-warning-option \
    "$PWD/(ui/web|tests/ui/web)/.*\\.cpp\$"
}

[ $# -gt 0 ] || set -- linux win32 web
for name in "$@"; do
  case $name in
    linux) part linux linux_build ;;
    win32) part win32 win32_sources ;;
    web) part web web_sources ;;
    *) echo "static-analysis.sh: no part named $name" >&2; exit 2 ;;
  esac
done
