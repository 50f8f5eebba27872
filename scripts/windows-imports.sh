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
  # A member line: the address, then (binutils up to 2.41) the hint or the
  # ordinal and the name, or "<none>" for an import by ordinal; or (2.42
  # and later) the ordinal or "<none>", the hint or "<none>", and the name
  # or "<none>". Either way the ordinal is the second field and the name
  # the last, when there is one.
  dll != "" && /^\t[0-9a-f]+[ \t]/ {
    if (NF < 3 || $NF == "<none>") print dll "\tordinal " $2; else print dll "\t" $NF
    next
  }
  /^$/ { dll = "" }
' | LC_ALL=C sort -t "$(printf '\t')" -k1,1f -k2,2 -u | awk -F '\t' '
  $1 != last { print $1; last = $1 }
  { print "  " $2 }
'
