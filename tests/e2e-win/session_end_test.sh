#!/bin/bash
# The end of the Windows session ends Hanavo as SIGTERM does on Linux: every open dialog and
# message box closes, nothing is launched, the settings are saved and the program ends.
#   session_end_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

# No Foreground value yet: the save at the end writes one.
set_settings '"Seconds"=dword:0000012c' '"Command"="msg"' '"Options"="launched"'
start_hanavo "$SCRATCH"
timer=$(wait_window "$TITLE_STOPPED" 30) || fail "no timer window"
# The About box, from the system menu, is open when the session ends.
keys "$timer" alt+space
sleep 0.3
xdotool key Up Return
wait_window "バージョン情報 Hanavo" 10 >/dev/null || fail "no About box"
wineboot --end-session >/dev/null 2>&1 &
wait_exit 20 || fail "the program did not end with the session"
[ -z "$(xdotool search --name '^Hanavo$' 2>/dev/null)" ] || fail "a message was shown"
grep -qxF '"Foreground"=dword:00000001' <<<"$(settings_values)" ||
    fail "the settings were not saved:"$'\n'"$(settings_values)"
echo "PASS"
