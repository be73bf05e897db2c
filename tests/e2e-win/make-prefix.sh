#!/bin/sh
# Makes the Wine prefix every end-to-end test starts from a copy of: 32-bit, Wine's own fonts
# installed, the dialog fonts mapped to an installed Japanese font, and windows left unmanaged
# (no window manager runs under the tests; a managed window would wait for one).
#   make-prefix.sh DIR
set -eu
dir=$1
[ -f "$dir/.complete" ] && exit 0
rm -rf "$dir"
mkdir -p "$dir/home"
export HOME="$dir/home" WINEPREFIX="$dir/prefix" WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installers: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wineboot --init >/dev/null 2>&1
wineserver -w

fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true

japanese=$(fc-list -f '%{family[0]}\n' ':lang=ja' | grep -x 'IPAPGothic' | head -n1)
[ -n "$japanese" ] || { echo "make-prefix: the IPAPGothic font is not installed" >&2; exit 1; }

cat >"$dir/settings.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"MS UI Gothic"="$japanese"
"MS Shell Dlg"="$japanese"
"MS Shell Dlg 2"="$japanese"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"
"Decorated"="Y"
REG
wine regedit /S "$dir/settings.reg" >/dev/null 2>&1
wineserver -w
grep -q 'MS UI Gothic' "$WINEPREFIX/system.reg" || { echo "make-prefix: settings not written" >&2; exit 1; }
touch "$dir/.complete"
