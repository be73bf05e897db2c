#!/bin/bash
# The settings dialog from the keyboard: Up in the seconds field steps 60 to 65 through its
# up-down control; in the launch order dialog's check list box space toggles the selected item's
# box, the Up button moves it with its state, and OK records the order and the states in the
# file names; Esc then stores all five values, each in its type. Then "Hanavo.exe /a" launches
# the enabled .bat files in that order and skips the disabled one, then the command with its
# two arguments, each started in the launch folder, and ends by itself.
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
[ "$(grep -cxF -e '"Seconds"=dword:00000041' -e '"Command"=""' -e '"Options"=""' \
    -e '"Foreground"=dword:00000001' <<<"$(settings_values)")" = 4 ] ||
    fail "not all five values stored in their types:"$'\n'"$(settings_values)"

# Each records its name, its arguments and the folder it started in, in a file of its own (they
# run side by side). The command lies elsewhere; it too must start in the launch folder.
mkdir -p "$SCRATCH/tools"
for bat in "$folder"/*.bat "$SCRATCH/tools/record.bat"; do
    printf '@echo %%~n0 %%1 %%2 in %%CD%%>"%%~n0.ran"\r\n' >"$bat"
done
set_settings '"Seconds"=dword:00000001' '"Options"="one two"' \
    "\"Command\"=\"$(win_path "$SCRATCH/tools/record.bat" | sed 's/\\/\\\\/g')\""
start_hanavo "$SCRATCH" /a
wait_exit 30 || fail "the program did not end after launching"
where=$(win_path "$folder")
expected="02e_gamma   in $where|03e_beta   in $where|record one two in $where|"
launched() { cat "$folder"/*.ran 2>/dev/null | tr -d '\r' | tr '\n' '|'; }
retry 10 eval '[ "$(launched)" = "$expected" ]' || fail "launched: '$(launched)', expected '$expected'"
echo "PASS"
