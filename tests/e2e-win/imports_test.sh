#!/bin/bash
# Hanavo.exe is a 32-bit Windows GUI program that needs no DLL but those Windows itself ships:
# no libstdc++, libgcc or libwinpthread beside it.
#   imports_test.sh HANAVO_EXE
set -u
exe=$1
objdump=$(command -v i686-w64-mingw32-objdump || command -v objdump)
headers=$("$objdump" -p "$exe") || { echo "FAIL: cannot read $exe"; exit 1; }
grep -q 'file format pei-i386' <<<"$headers" || { echo "FAIL: not a PE32 i386 file"; exit 1; }
grep -qE '^Subsystem[[:space:]]+0+2[[:space:]]' <<<"$headers" || { echo "FAIL: not a GUI program"; exit 1; }

# Part of every Windows since Windows 7.
system='advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi user32
  uxtheme version'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sed 's/\.dll$//')
[ -n "$dlls" ] || { echo "FAIL: no imports found"; exit 1; }
status=0
for dll in $dlls; do
    grep -qw "$dll" <<<"$system" || { echo "FAIL: imports $dll.dll, which Windows does not ship"; status=1; }
done
[ $status -eq 0 ] && echo "PASS: imports" $dlls
exit $status
