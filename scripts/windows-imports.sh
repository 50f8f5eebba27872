#!/usr/bin/env bash
# Prints the functions a Windows .exe imports, in the form of
# ui/win32/imports.txt: each DLL on a line of its own, then its functions
# indented one per line, both sorted. An import by ordinal shows as
# "ordinal <number>". Usage: scripts/windows-imports.sh EXE [OBJDUMP]
set -euo pipefail
exe=$1
objdump=${2:-i686-w64-mingw32-objdump}
"$objdump" -p "$exe" | awk '
  /^\tDLL Name: / { dll = $3; next }
  /^\tvma: / { next }
  # A member line: address, hint or ordinal, then the name when there is one.
  dll != "" && /^\t[0-9a-f]+\t/ {
    if (NF >= 3) print dll "\t" $3; else print dll "\tordinal " $2
    next
  }
  /^$/ { dll = "" }
' | LC_ALL=C sort -t "$(printf '\t')" -k1,1f -k2,2 -u | awk -F '\t' '
  $1 != last { print $1; last = $1 }
  { print "  " $2 }
'
