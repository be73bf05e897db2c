#!/bin/bash
# Automatic mode never takes the keyboard: the counting window appears and is kept in front
# while the user types into another program, and an Enter meant for that program never
# presses Run now.
#   unattended_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

set_settings '"Seconds"=dword:0000012c' '"Command"="msg"' '"Options"="pressed"'
(cd "$SCRATCH" && exec wine notepad >/dev/null 2>&1) &
# The editor's window is the first one to appear on this display.
editor=
for i in $(seq 200); do
    editor=$(xdotool search --onlyvisible --name . 2>/dev/null | head -n1)
    [ -n "$editor" ] && break
    sleep 0.1
done
[ -n "$editor" ] || fail "no editor window"
keys "$editor" a b c

start_hanavo "$SCRATCH" /a
counting=$(wait_window "$TITLE_COUNTING" 30) || fail "no counting window"
# Two ticks, each keeping the window in front, then keys for the editor.
sleep 2.5
xdotool key --delay 50 d e f Return
sleep 1
[ "$(xdotool getwindowfocus)" = "$editor" ] || fail "the editor lost the keyboard"
[ -z "$(xdotool search --name '^Hanavo$' 2>/dev/null)" ] || fail "a key reached Hanavo: Run now"
[ "$(wait_window "$TITLE_COUNTING" 1)" = "$counting" ] || fail "the count did not go on"
echo "PASS"
