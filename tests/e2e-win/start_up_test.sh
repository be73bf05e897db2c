#!/bin/bash
# Start-up of Hanavo.exe, and the end of the Windows session: the program installed in a folder
# whose path is full of the letter a opens stopped when started without arguments (the
# program's own path never selects automatic mode); a second copy started meanwhile ends at once
# and writes nothing. The session then ends while the About box is open, as SIGTERM does on
# Linux: every dialog closes, nothing is launched, the settings are saved and the program ends.
#   start_up_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

programs="$SCRATCH/home/AppData/Local/Programs/Hanavo"
mkdir -p "$programs"
cp "$EXE" "$programs/Hanavo.exe"
EXE="$programs/Hanavo.exe"

# No Foreground value yet: the save at the end writes one.
set_settings '"Seconds"=dword:0000012c' '"Command"="msg"' '"Options"="launched"'
stored=$(settings_values)
start_hanavo "$programs"
first=$HANAVO_PID
window=$(wait_window "$TITLE_STOPPED" 30) || fail "no stopped timer window (automatic mode taken from the path?)"
start_hanavo "$programs"
wait_exit 15 || fail "the second copy did not end at once"
[ "$(settings_values)" = "$stored" ] || fail "settings written before the window closed"
kill -0 "$first" 2>/dev/null || fail "the first copy ended"

HANAVO_PID=$first
# The About box, from the system menu, is open when the session ends.
open_about "$window" >/dev/null || fail "no About box"
wineboot --end-session >/dev/null 2>&1 &
wait_exit 20 || fail "the program did not end with the session"
[ -z "$(xdotool search --name '^Hanavo$' 2>/dev/null)" ] || fail "a message was shown"
grep -qxF '"Foreground"=dword:00000001' <<<"$(settings_values)" ||
    fail "the settings were not saved:"$'\n'"$(settings_values)"
echo "PASS"
