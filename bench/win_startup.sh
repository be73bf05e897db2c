#!/bin/bash
# Start-up of Hanavo.exe under Wine, from the start of the process to its mapped timer window,
# side by side with an empty dialog program built the same way; and the size of the program.
#   win_startup.sh HANAVO_EXE EMPTY_DIALOG_EXE TEMPLATE_DIR [RUNS]
set -u
hanavo=$1 empty=$2 template=$3 runs=${4:-15}
. "$(dirname "$0")/../tests/e2e-win/lib.sh"
setup "$hanavo" "$template"
# One wineserver for every run, started beforehand: its own start is not the program's.
wineserver -p
wine cmd /c exit >/dev/null 2>&1

# Milliseconds from the start of $1 to a mapped window titled $2; then the window is closed.
measure() {
    local exe=$1 title=$2 start end id
    start=$(date +%s%N)
    wine "$exe" >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 2000); do
        id=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1)
        [ -n "$id" ] && break
        sleep 0.005
    done
    end=$(date +%s%N)
    [ -n "$id" ] || { echo "no window titled $title" >&2; exit 1; }
    xdotool windowfocus --sync "$id" 2>/dev/null
    xdotool key Escape
    wait "$pid"
    echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

empty_times=() hanavo_times=()
for _ in $(seq "$runs"); do
    empty_times+=("$(measure "$empty" 'Empty dialog')")
    hanavo_times+=("$(measure "$hanavo" 'Hanavo\(停止中\)')")
done
e=$(printf '%s\n' "${empty_times[@]}" | median)
h=$(printf '%s\n' "${hanavo_times[@]}" | median)
echo "start-up to the mapped window, median of $runs runs under Wine:"
echo "  empty dialog program  $e ms"
echo "  Hanavo.exe            $h ms   ($(awk -v h="$h" -v e="$e" 'BEGIN {printf "%.2f", h / e}') x; at most 1.3 x)"
stripped="$SCRATCH/Hanavo-stripped.exe"
i686-w64-mingw32-strip -o "$stripped" "$hanavo"
echo "size of Hanavo.exe: $(stat -c %s "$hanavo") bytes as built, $(stat -c %s "$stripped") bytes stripped"
