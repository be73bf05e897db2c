#!/bin/bash
# Start-up of Hanavo.exe on a first run: the program installed in a folder whose path is full of
# the letter a opens stopped when started without arguments (the program's own path never
# selects automatic mode); a second copy started meanwhile ends at once and writes nothing; Esc
# closes the window and writes the five defaults to the registry.
#   start_up_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

programs="$SCRATCH/home/AppData/Local/Programs/Hanavo"
mkdir -p "$programs"
cp "$EXE" "$programs/Hanavo.exe"
EXE="$programs/Hanavo.exe"

start_hanavo "$programs"
first=$HANAVO_PID
window=$(wait_window "$TITLE_STOPPED" 30) || fail "no stopped timer window (automatic mode taken from the path?)"
[ -z "$(settings_values)" ] || fail "settings written before the window closed"

start_hanavo "$programs"
wait_exit 15 || fail "the second copy did not end at once"
[ -z "$(settings_values)" ] || fail "the second copy wrote settings"
kill -0 "$first" 2>/dev/null || fail "the first copy ended"
[ "$(wait_window "$TITLE_STOPPED" 1)" = "$window" ] || fail "the first copy's window changed"

HANAVO_PID=$first
keys "$window" Escape
wait_exit 15 || fail "Esc did not close the program"
values=$(settings_values)
for expected in '"Seconds"=dword:0000003c' '"Command"=""' '"Options"=""' '"TopDir"=""' \
    '"Foreground"=dword:00000001'; do
    grep -qxF "$expected" <<<"$values" || fail "missing $expected in:"$'\n'"$values"
done
echo "PASS"
