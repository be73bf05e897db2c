#!/bin/bash
# Automatic mode with the command msg: the counting window appears and is kept in front without
# taking the keyboard, so that an Enter meant for the program the user types into never presses
# Run now; the count goes on while the About box is open (its modal loop delivers the ticks),
# and at zero the arguments are shown in a message box captioned Hanavo; once it and the About
# box are closed, the program ends.
#   unattended_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

set_settings '"Seconds"=dword:00000014' '"Command"="msg"' '"Options"="こんにちは、Hanavo"'
(cd "$SCRATCH" && exec wine notepad >/dev/null 2>&1) &
# The editor's window is the first one to appear on this display.
editor=$(retry 20 eval 'xdotool search --onlyvisible --name . 2>/dev/null | head -n1 | grep .') ||
    fail "no editor window"
keys "$editor" a b c

start_hanavo "$SCRATCH" /a
timer=$(wait_window "$TITLE_COUNTING" 30) || fail "no counting window"
# Two ticks, each keeping the window in front, then keys for the editor.
sleep 2.5
xdotool key --delay 50 d e f Return
sleep 1
[ "$(xdotool getwindowfocus)" = "$editor" ] || fail "the editor lost the keyboard"
[ -z "$(xdotool search --name '^Hanavo$' 2>/dev/null)" ] || fail "a key reached Hanavo: Run now"
[ "$(wait_window "$TITLE_COUNTING" 1)" = "$timer" ] || fail "the count did not go on"

# The user clicks on the count, then opens the About item, last in the system menu.
click_in "$timer" 60 80
sleep 0.3
about=$(open_about "$timer") || fail "no About box"
box=$(wait_window "Hanavo" 30) || fail "no message box captioned Hanavo while the About box is open"
kill -0 "$HANAVO_PID" 2>/dev/null || fail "the program ended under its message box"
keys "$box" Return
sleep 0.5
keys "$about" Escape
wait_exit 15 || fail "the program did not end"
echo "PASS"
