#!/bin/bash
# The setup program and the zip under Wine, in a prefix of their own: a silent install for the
# current user puts the program, the Start menu and sign-in shortcuts and the uninstall entry in
# place; the program starts from the Start menu; the sign-in shortcut starts it counting at the
# next sign-in (wineboot); a running copy makes setup stop; an upgrade keeps the user's sign-in
# choice; a silent uninstall removes everything but the settings and the user's own files;
# the zip holds the program.
#   installer_test.sh SETUP_EXE ZIP TEMPLATE_DIR VERSION
. "$(dirname "$0")/../e2e-win/lib.sh"
SETUP=$1 ZIP=$2 VERSION=$4
setup "$SETUP" "$3"
[ -f "$ZIP" ] || fail "no zip at $ZIP"

UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hanavo'
users="$WINEPREFIX/drive_c/users/$(id -un)"
install_dir="$users/AppData/Local/Programs/Hanavo"
win_install_dir="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Hanavo"
programs="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"

# The values of the uninstall entry; empty when there is none (reg then reports on stdout).
uninstall_entry() {
    local out
    out=$(wine reg query "$UNINSTALL_KEY" 2>/dev/null) && tr -d '\r' <<<"$out"
}
has_value() { grep -Eq "^ +$1 +$2 +$3\$" <<<"$entry" || fail "uninstall entry lacks $1 $3:"$'\n'"$entry"; }
# Until every program of the prefix has ended (then the wineserver ends too).
all_ended() { timeout 30 wineserver -w || fail "$1"; }

wine "$SETUP" /S || fail "silent install failed ($?)"
# Wine spells the folder StartUp; Windows does not mind the case, the test's file system does.
startup="$(find "$programs" -maxdepth 1 -iname startup)/Hanavo.lnk"
[ -f "$install_dir/Hanavo.exe" ] && [ -f "$install_dir/Hanavo.html" ] ||
    fail "program not in %LOCALAPPDATA%\\Programs\\Hanavo"
cmp -s "$install_dir/Hanavo.exe" "$(dirname "$ZIP")/Hanavo.exe" || fail "installed program differs"
[ -f "$programs/Hanavo.lnk" ] && [ -f "$startup" ] || fail "no Start menu or sign-in shortcut"
entry=$(uninstall_entry)
has_value DisplayVersion REG_SZ "${VERSION//./\\.}"
has_value UninstallString REG_SZ "\"$(sed 's/\\/\\\\/g' <<<"$win_install_dir")\\\\Uninstall\\.exe\""

# The program starts from the Start menu, stopped; the user's own files later sit in its folder.
mkdir -p "$install_dir/launch" && echo keep >"$install_dir/launch/01e_mine.bat"
wine start /unix "$programs/Hanavo.lnk"
window=$(wait_window "$TITLE_STOPPED" 30) || fail "the Start menu shortcut shows no timer window"

# While it runs, setup and uninstall stop without touching anything.
wine "$SETUP" /S
[ $? -eq 3 ] || fail "silent setup went on with Hanavo running"
wine "$install_dir/Uninstall.exe" /S "_?=$win_install_dir"
[ $? -eq 3 ] || fail "silent uninstall went on with Hanavo running"
[ -f "$install_dir/Hanavo.exe" ] || fail "the program went while running"
keys "$window" Escape
all_ended "Esc did not close the installed program"
[ -n "$(settings_values)" ] || fail "no settings after the first run"

# Sign-in: wineboot starts the Startup folder's items; the shortcut starts it counting.
set_settings '"Seconds"=dword:0000012c' '"Command"="msg"' '"Options"="hello"'
wineboot >/dev/null 2>&1
window=$(wait_window "$TITLE_COUNTING" 40) || fail "the sign-in shortcut did not start Hanavo counting"
# It did not take the activation: a click on it first, then Esc closes it.
click_in "$window" 60 80
sleep 0.3
keys "$window" Escape
all_ended "the signed-in copy did not end"

# An upgrade over a copy whose sign-in start the user switched off keeps it off.
rm -f "$startup"
wine "$SETUP" /S || fail "silent upgrade failed ($?)"
[ ! -e "$startup" ] || fail "the upgrade brought back the sign-in shortcut"
[ -f "$install_dir/Hanavo.exe" ] || fail "the upgrade lost the program"

# Uninstall (in place, so that the test can wait for it). The settings and the user's own
# files stay.
wine "$install_dir/Uninstall.exe" /S "_?=$win_install_dir" || fail "silent uninstall failed ($?)"
for f in Hanavo.exe Hanavo.html; do [ ! -e "$install_dir/$f" ] || fail "$f left behind"; done
[ ! -e "$programs/Hanavo.lnk" ] || fail "Start menu shortcut left behind"
[ -z "$(uninstall_entry)" ] || fail "uninstall entry left behind"
[ "$(cat "$install_dir/launch/01e_mine.bat")" = keep ] || fail "the user's launch folder was touched"
[ -n "$(settings_values)" ] || fail "the uninstall removed the settings"

# A new install ticks the sign-in start again; uninstalling removes that shortcut too.
wine "$SETUP" /S || fail "install failed"
[ -f "$startup" ] || fail "a new install made no sign-in shortcut"
wine "$install_dir/Uninstall.exe" /S "_?=$win_install_dir" || fail "second uninstall failed"
[ ! -e "$startup" ] || fail "sign-in shortcut left behind"

# The zip: unpacked anywhere, it holds the program the other tests run, its help and a read-me.
mkdir -p "$SCRATCH/unpacked" && (cd "$SCRATCH/unpacked" && cmake -E tar xf "$ZIP") ||
    fail "cannot unpack the zip"
cmp -s "$SCRATCH/unpacked/Hanavo/Hanavo.exe" "$(dirname "$ZIP")/Hanavo.exe" &&
    [ -f "$SCRATCH/unpacked/Hanavo/Hanavo.html" ] && [ -f "$SCRATCH/unpacked/Hanavo/ReadMe.txt" ] ||
    fail "the zip lacks the program, its help or the read-me"
echo "PASS"
