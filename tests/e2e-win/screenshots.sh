#!/bin/bash
# Takes the pictures of Hanavo.exe's four dialogs under Wine for the README:
#   screenshots.sh HANAVO_EXE TEMPLATE_DIR OUTPUT_DIR
# writes win-timer.png, win-settings.png, win-order.png and win-about.png.
. "$(dirname "$0")/lib.sh"
setup "$1" "$2"
out=$3
mkdir -p "$out"

folder="$SCRATCH/home/起動"
mkdir -p "$folder"
for name in 01e_メール.bat 02e_バックアップ.bat 03d_cleanup.bat 04e_notes.txt; do
    printf '@rem\r\n' >"$folder/$name"
done
escaped() { win_path "$1" | sed 's/\\/\\\\/g'; }
set_settings '"Seconds"=dword:0000003c' '"Command"="C:\\Tools\\report.exe"' \
    '"Options"="/quiet"' "\"TopDir\"=\"$(escaped "$folder")\""

shot() {
    # The pointer away from the windows: no tooltip in the picture.
    xdotool mousemove 1020 760
    sleep 0.7
    import -window "$1" "$out/$2" || fail "no picture of $2"
}

start_hanavo "$SCRATCH"
timer=$(wait_window "$TITLE_STOPPED" 30) || fail "no timer window"
shot "$timer" win-timer.png
# Run command, Run files, Run now, then Settings.
keys "$timer" Tab Tab Tab Return
settings=$(wait_window "設定" 15) || fail "no settings dialog"
shot "$settings" win-settings.png
# Command, Browse, Arguments, Launch folder, Browse, Seconds, OK, Cancel, then File settings.
keys "$settings" Tab Tab Tab Tab Tab Tab Tab Tab Return
order=$(wait_window "ファイルの設定" 15) || fail "no launch order dialog"
shot "$order" win-order.png
keys "$order" Escape
sleep 0.5
keys "$settings" Escape
sleep 0.5
keys "$timer" alt+space
sleep 0.3
xdotool key Up Return
about=$(wait_window "バージョン情報 Hanavo" 10) || fail "no About box"
shot "$about" win-about.png
keys "$about" Escape
sleep 0.3
keys "$timer" Escape
wait_exit 15 || fail "the program did not end"
echo "PASS"
