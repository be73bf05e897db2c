#!/bin/sh
# From Start to the first launched process: the configured seconds plus how much? Runs the real
# hanavo in automatic mode with a stored count of N seconds and a command that notes the time
# it started, and `sleep N; command` the same way, for N = 10 and 60 (or the arguments given).
# The count starts when the window takes its counting title, which is seen from outside as soon
# as the window exists on its own X server (polled with xdotool, a few milliseconds apart; the
# window appears just after the count has started, so Hanavo's figure errs on the short side).
set -eu

hanavo=${1:?usage: launch_latency.sh path/to/hanavo [seconds...]}
shift
[ $# -gt 0 ] || set -- 10 60

work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
while [ ! -s "$work/display" ]; do sleep 0.01; done
display=":$(cat "$work/display")"
mkdir -p "$work/config/Quillmere" "$work/runtime"
chmod 700 "$work/runtime"
cat > "$work/stamp.sh" <<'SH'
#!/bin/sh
date +%s.%N > "$STAMP"
SH
chmod +x "$work/stamp.sh"

now() { date +%s.%N; }

for n in "$@"; do
    printf '[Settings]\nSeconds=%s\nCommand=%s\nOptions=\nTopDir=\nForeground=0\n' \
        "$n" "$work/stamp.sh" > "$work/config/Quillmere/Hanavo.conf"
    rm -f "$work/stamp"
    env -i PATH="$PATH" HOME="$work" XDG_CONFIG_HOME="$work/config" \
        XDG_RUNTIME_DIR="$work/runtime" DISPLAY="$display" STAMP="$work/stamp" \
        "$hanavo" -a 2>/dev/null &
    pid=$!
    # In automatic mode the window is counting from the moment it exists.
    until DISPLAY="$display" xdotool search --name '^Hanavo\(' >/dev/null 2>&1; do :; done
    t0=$(now)
    wait "$pid"
    while [ ! -s "$work/stamp" ]; do sleep 0.01; done
    hanavo_delay=$(echo "$(cat "$work/stamp") - $t0 - $n" | bc -l)

    rm -f "$work/stamp"
    t0=$(now)
    STAMP="$work/stamp" sh -c "sleep $n; '$work/stamp.sh'"
    while [ ! -s "$work/stamp" ]; do sleep 0.01; done
    sleep_delay=$(echo "$(cat "$work/stamp") - $t0 - $n" | bc -l)

    printf '%3s s: hanavo starts the command %6.1f ms after the count, sleep+command %6.1f ms; difference %6.1f ms (goal: within 20 ms)\n' \
        "$n" "$(echo "$hanavo_delay * 1000" | bc -l)" "$(echo "$sleep_delay * 1000" | bc -l)" \
        "$(echo "($hanavo_delay - $sleep_delay) * 1000" | bc -l)"
done
