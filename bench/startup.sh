#!/bin/sh
# Start-up of the timer window against an empty Qt 6 dialog, on a private Xvfb server: spawn to
# MapNotify, median of RUNS (default 11) alternating runs each, and peak RSS. Then the same
# against a dialog showing one line of Japanese in the dialog face: what any Qt program pays
# to draw text (fontconfig, the font file, shaping), which the empty dialog never does.
set -eu

build=${1:?usage: startup.sh build-dir [runs]}
runs=${2:-11}

# GIO costs start-up time: only documents and desktop entries load it, when they are launched.
if ldd "$build/hanavo" | grep -q 'libgio-2\.0'; then
    echo "warning: hanavo links GIO at start"
fi

work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/runtime" "$work/home"
chmod 700 "$work/runtime"

display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done

export DISPLAY=":$display" HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
    XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
"$build/bench/bench_startup" "$runs" -- "$build/hanavo" -- "$build/bench/bench_empty_dialog"
echo "-- against a dialog with one line of text:"
"$build/bench/bench_startup" "$runs" -- "$build/hanavo" -- "$build/bench/bench_empty_dialog" \
    "起動までの時間(秒)" IPAPGothic
