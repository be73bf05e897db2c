#!/bin/bash
# Automatic mode end to end: "Hanavo.exe /a" counts the stored seconds down unattended, then
# launches the enabled .bat files of the launch folder and skips the disabled one, then the
# command with its two arguments, every one of them starting in the launch folder; then the
# program ends by itself.
#   auto_launch_test.sh HANAVO_EXE TEMPLATE_DIR
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"

folder="$SCRATCH/launch"
mkdir -p "$folder"
# Each records its name, its arguments and the folder it started in, in a file of its own
# (they run side by side).
record='@echo %~n0 %1 %2 in %CD%>"%~n0.ran"'
for name in 01e_first 02d_skipped 03e_third; do
    printf '%s\r\n' "$record" >"$folder/$name.bat"
done
# The command lies elsewhere; it too must start in the launch folder.
mkdir -p "$SCRATCH/tools" "$SCRATCH/elsewhere"
printf '%s\r\n' "$record" >"$SCRATCH/tools/record.bat"
escaped() { win_path "$1" | sed 's/\\/\\\\/g'; }
set_settings '"Seconds"=dword:00000001' "\"Command\"=\"$(escaped "$SCRATCH/tools/record.bat")\"" \
    '"Options"="one two"' "\"TopDir\"=\"$(escaped "$folder")\""

start_hanavo "$SCRATCH/elsewhere" /a
wait_exit 30 || fail "the program did not end after launching"

for i in $(seq 100); do
    [ -s "$folder/01e_first.ran" ] && [ -s "$folder/03e_third.ran" ] && [ -s "$folder/record.ran" ] &&
        break
    sleep 0.1
done
where=$(win_path "$folder")
check() {
    [ -f "$folder/$1.ran" ] || fail "$1 was not launched"
    local got
    got=$(tr -d '\r' <"$folder/$1.ran")
    [ "$got" = "$2" ] || fail "$1 recorded '$got', expected '$2'"
}
check 01e_first "01e_first   in $where"
check 03e_third "03e_third   in $where"
check record "record one two in $where"
[ ! -e "$folder/02d_skipped.ran" ] || fail "the disabled file was launched"
echo "PASS"
