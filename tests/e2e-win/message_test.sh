#!/bin/bash
# The command msg in automatic mode: at zero the arguments are shown in a message box captioned
# Hanavo, over the timer window; OK ends the program.
#   message_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

set_settings '"Seconds"=dword:00000001' '"Command"="msg"' '"Options"="こんにちは、Hanavo"'
start_hanavo "$SCRATCH" /a
box=$(wait_window "Hanavo" 30) || fail "no message box captioned Hanavo"
kill -0 "$HANAVO_PID" 2>/dev/null || fail "the program ended under its message box"
keys "$box" Return
wait_exit 15 || fail "OK on the message box did not end the program"
echo "PASS"
