#!/usr/bin/env python3
"""scripts/windows-imports.sh against the import lists of both objdump forms.

binutils 2.42 (Debian 13) prints each imported function with an ordinal
column of its own, where 2.40 (Debian 12) printed the hint in its place; the
Windows stage reads both through this script. A stand-in objdump prints
captured lines, so no mingw-w64 is needed.
"""

import os
import pathlib
import subprocess
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "windows-imports.sh"

# As binutils 2.40 prints a 32-bit .exe's imports (an import by ordinal
# shows its ordinal and "<none>" for the name).
BINUTILS_2_40 = """\
The Import Tables (interpreted .idata section contents)
 vma:            Hint    Time      Forward  DLL       First
                 Table   Stamp     Chain    Name      Thunk
 00051000\t0005108c 00000000 00000000 00052334 000513a8

\tDLL Name: USER32.dll
\tvma:  Hint/Ord Member-Name Bound-To
\t51a10\t  600  SetTimer
\t51a1c\t   20  AdjustWindowRectEx
\t80000159\t  345  <none>

 00051014\t000510e4 00000000 00000000 00052444 00051404

\tDLL Name: GDI32.dll
\tvma:  Hint/Ord Member-Name Bound-To
\t516c4\t   20  BitBlt
\t516ce\t   50  CreateCompatibleDC
"""

# The same imports as binutils 2.42 and later print them, followed (as in a
# 64-bit .exe) by the exception table, whose lines also start with
# hexadecimal addresses.
BINUTILS_2_44 = """\
The Import Tables (interpreted .idata section contents)
 vma:            Hint    Time      Forward  DLL       First
                 Table   Stamp     Chain    Name      Thunk
 00055000\t0005508c 00000000 00000000 00056324 000553ac

\tDLL Name: USER32.dll
\tvma:     Ordinal  Hint  Member-Name  Bound-To
\t00055a10  <none>  0258  SetTimer
\t00055a14  <none>  0014  AdjustWindowRectEx
\t00055a18    345  <none> <none>

 00055014\t000550e4 00000000 00000000 00056444 00055404

\tDLL Name: GDI32.dll
\tvma:     Ordinal  Hint  Member-Name  Bound-To
\t000553ac  <none>  0013  BitBlt
\t000553b0  <none>  0031  CreateCompatibleDC

The Function Table (interpreted .pdata section contents)
vma:\t\t\tBeginAddress\t EndAddress\t  UnwindData
 0000000140038000:\t0000000140001000 0000000140001001 000000014003c000
"""

# Each DLL on a line of its own, then its functions indented, both sorted.
EXPECTED = """\
GDI32.dll
  BitBlt
  CreateCompatibleDC
USER32.dll
  AdjustWindowRectEx
  SetTimer
  ordinal 345
"""


class WindowsImports(unittest.TestCase):
    def imports(self, objdump_output):
        with tempfile.TemporaryDirectory() as scratch:
            listing = pathlib.Path(scratch, "objdump.txt")
            listing.write_text(objdump_output)
            objdump = pathlib.Path(scratch, "objdump")
            objdump.write_text(f"#!/bin/sh\n[ \"$1\" = -p ] && [ \"$2\" = infotest.exe ] && cat '{listing}'\n")
            objdump.chmod(0o755)
            result = subprocess.run(["bash", str(SCRIPT), "infotest.exe", str(objdump)], capture_output=True,
                                    text=True, env=dict(os.environ, LC_ALL="C.UTF-8"), check=False)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout

    def test_binutils_2_40_names_and_ordinals_by_dll(self):
        self.assertEqual(self.imports(BINUTILS_2_40), EXPECTED)

    def test_binutils_2_42_and_later_read_alike_and_later_tables_are_not_imports(self):
        self.assertEqual(self.imports(BINUTILS_2_44), EXPECTED)


if __name__ == "__main__":
    unittest.main()
