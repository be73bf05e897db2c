#!/bin/bash
# The settings dialog's seconds field and its up-down control: Up in the field steps 60 to 65,
# OK takes it into the timer window, and closing the window stores it.
#   updown_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

start_hanavo "$SCRATCH"
timer=$(wait_window "$TITLE_STOPPED" 30) || fail "no timer window"
# Nothing to launch: the first enabled tab stop is the Settings button, which Enter presses.
keys "$timer" Return
settings=$(wait_window "設定" 15) || fail "no settings dialog"
# Command, Browse, Arguments, Launch folder, Browse, then the seconds field.
keys "$settings" Tab Tab Tab Tab Tab Up Return
for i in $(seq 50); do
    [ -z "$(xdotool search --name '^設定$' 2>/dev/null)" ] && break
    sleep 0.1
done
[ -z "$(xdotool search --name '^設定$' 2>/dev/null)" ] || fail "OK did not close the settings dialog"
keys "$timer" Escape
wait_exit 15 || fail "Esc did not close the program"
grep -qxF '"Seconds"=dword:00000041' <<<"$(settings_values)" ||
    fail "Seconds is not 65:"$'\n'"$(settings_values)"
echo "PASS"
