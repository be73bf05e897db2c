#!/bin/bash
# Automatic mode end to end: "Hanavo.exe /a" counts the stored seconds down unattended, then
# launches the enabled .bat files of the launch folder and skips the disabled one, then the
# command with its two arguments, every one of them starting in the launch folder; then the
# program ends by itself.
#   auto_launch_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

folder="$SCRATCH/launch"
mkdir -p "$folder" "$SCRATCH/tools" "$SCRATCH/elsewhere"
# Each records its name, its arguments and the folder it started in, in a file of its own
# (they run side by side). The command lies elsewhere; it too must start in the launch folder.
for bat in "$folder"/01e_first "$folder"/02d_skipped "$folder"/03e_third "$SCRATCH/tools/record"; do
    printf '@echo %%~n0 %%1 %%2 in %%CD%%>"%%~n0.ran"\r\n' >"$bat.bat"
done
escaped() { win_path "$1" | sed 's/\\/\\\\/g'; }
set_settings '"Seconds"=dword:00000001' "\"Command\"=\"$(escaped "$SCRATCH/tools/record.bat")\"" \
    '"Options"="one two"' "\"TopDir\"=\"$(escaped "$folder")\""

start_hanavo "$SCRATCH/elsewhere" /a
wait_exit 30 || fail "the program did not end after launching"
where=$(win_path "$folder")
expected="01e_first   in $where|03e_third   in $where|record one two in $where|"
for _ in $(seq 100); do
    got=$(cat "$folder"/*.ran 2>/dev/null | tr -d '\r' | tr '\n' '|')
    [ "$got" = "$expected" ] && break
    sleep 0.1
done
[ "$got" = "$expected" ] || fail "launched: '$got', expected '$expected'"
echo "PASS"
