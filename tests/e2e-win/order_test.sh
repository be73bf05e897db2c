#!/bin/bash
# The settings dialog from the keyboard: Up in the seconds field steps 60 to 65 through its
# up-down control; in the launch order dialog's check list box space toggles the selected item's
# box, the Up button moves it with its state, and OK records the order and the states in the
# file names; OK in the settings dialog and closing the window store the seconds.
#   order_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

folder="$SCRATCH/launch"
mkdir -p "$folder"
for name in 01e_alpha.bat 02e_beta.bat 03d_gamma.bat; do
    printf '@rem\r\n' >"$folder/$name"
done
set_settings "\"TopDir\"=\"$(win_path "$folder" | sed 's/\\/\\\\/g')\""

start_hanavo "$SCRATCH"
timer=$(wait_window "$TITLE_STOPPED" 30) || fail "no timer window"
# The focus starts on the run-files check box; the next enabled tab stop is Settings.
keys "$timer" Tab Return
settings=$(wait_window "設定" 15) || fail "no settings dialog"
# Command, Browse, Arguments, Launch folder, Browse, Seconds (Up), OK, Cancel, File settings.
keys "$settings" Tab Tab Tab Tab Tab Up Tab Tab Tab Return
order=$(wait_window "ファイルの設定" 15) || fail "no launch order dialog"
# OK has the focus; the list is two tab stops on, its first item selected: off with space,
# then the third item on, and up by one with the Up button (the next tab stop); then back to OK.
keys "$order" Tab Tab space Down Down space Tab Return shift+Tab shift+Tab shift+Tab Return
retry 5 test -e "$folder/01d_alpha.bat"
names=$(cd "$folder" && ls | tr '\n' ' ')
[ "$names" = "01d_alpha.bat 02e_gamma.bat 03e_beta.bat " ] || fail "names after OK: $names"
# Back on File settings: OK is two tab stops back.
keys "$settings" shift+Tab shift+Tab Return
retry 5 eval '[ -z "$(xdotool search --name "^設定\$" 2>/dev/null)" ]'
keys "$timer" Escape
wait_exit 15 || fail "Esc did not close the program"
grep -qxF '"Seconds"=dword:00000041' <<<"$(settings_values)" ||
    fail "the seconds were not stored as 65:"$'\n'"$(settings_values)"
echo "PASS"
