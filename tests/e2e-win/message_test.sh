#!/bin/bash
# The command msg in automatic mode: the count goes on while the About box is open (its modal
# loop delivers the ticks), and at zero the arguments are shown in a message box captioned
# Hanavo; once it and the About box are closed, the program ends.
#   message_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

set_settings '"Seconds"=dword:00000004' '"Command"="msg"' '"Options"="こんにちは、Hanavo"'
start_hanavo "$SCRATCH" /a
timer=$(wait_window "$TITLE_COUNTING" 30) || fail "no counting window"
# The window did not take the activation: the user clicks on the count, then opens the About
# item, last in the system menu.
click_in "$timer" 60 80
sleep 0.3
keys "$timer" alt+space
sleep 0.3
xdotool key Up Return
about=$(wait_window "バージョン情報 Hanavo" 10) || fail "no About box"
box=$(wait_window "Hanavo" 30) || fail "no message box captioned Hanavo while the About box is open"
kill -0 "$HANAVO_PID" 2>/dev/null || fail "the program ended under its message box"
keys "$box" Return
sleep 0.5
keys "$about" Escape
wait_exit 15 || fail "the program did not end"
echo "PASS"
