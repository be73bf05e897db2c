#!/bin/bash
# Hanavo.exe is a 32-bit Windows GUI program that needs no DLL but those Windows itself ships
# (part of every Windows since Windows 7): no libstdc++, libgcc or libwinpthread beside it.
#   imports_test.sh HANAVO_EXE
headers=$(i686-w64-mingw32-objdump -p "$1") || { echo "FAIL: cannot read $1"; exit 1; }
grep -q 'file format pei-i386' <<<"$headers" || { echo "FAIL: not a PE32 i386 file"; exit 1; }
grep -qE '^Subsystem[[:space:]]+0+2[[:space:]]' <<<"$headers" || { echo "FAIL: not a GUI program"; exit 1; }
system=' advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi user32 uxtheme version '
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sed 's/\.dll$//')
[ -n "$dlls" ] || { echo "FAIL: no imports found"; exit 1; }
for dll in $dlls; do
    [[ $system == *" $dll "* ]] || { echo "FAIL: imports $dll.dll, which Windows does not ship"; exit 1; }
done
echo "PASS: imports" $dlls
