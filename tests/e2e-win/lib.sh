# Shared by the end-to-end tests of Hanavo.exe: each test gets a copy of the prepared Wine
# prefix, a home, and an Xvfb display of its own, so that tests run side by side (ctest -j)
# never share a wineserver, a mutex, the registry or window titles.
#   . lib.sh; setup HANAVO_EXE TEMPLATE_DIR
# shellcheck shell=bash
set -u

TITLE_STOPPED='Hanavo(停止中)'
TITLE_COUNTING='Hanavo(秒読中)'
SETTINGS_KEY='HKEY_CURRENT_USER\Software\Quillmere\Hanavo\Settings'

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

teardown() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    [ -n "${SCRATCH:-}" ] && rm -rf "$SCRATCH"
    return 0
}

setup() {
    EXE=$1
    local template=$2
    [ -f "$EXE" ] && [ -f "$template/.complete" ] || fail "no program at $EXE or no prefix in $template"
    # Beside the template, on its file system, so that the copy below can use hard links.
    SCRATCH=$(mktemp -d "$(dirname "$template")/e2e-win-XXXXXX")
    trap teardown EXIT
    trap 'exit 130' INT TERM HUP
    export HOME="$SCRATCH/home" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEPREFIX="$SCRATCH/prefix" XDG_DATA_HOME="$HOME/.local/share"
    export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache"
    mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    # Hard links for the files Wine only reads; real copies of those it writes back (the
    # registry is replaced whole on each save, but a copy keeps the template safe whatever).
    cp -al "$template/prefix" "$WINEPREFIX" 2>/dev/null || cp -a "$template/prefix" "$WINEPREFIX"
    for f in "$WINEPREFIX"/*.reg "$WINEPREFIX/.update-timestamp"; do
        [ -e "$f" ] && cp --remove-destination "$template/prefix/${f##*/}" "$f"
    done
    # A display of our own: Xvfb picks a free number and tells it on fd 3.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$SCRATCH/display" 2>/dev/null &
    XVFB_PID=$!
    retry 5 test -s "$SCRATCH/display" || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$SCRATCH/display")"
}

# Starts Hanavo.exe in the background from the folder $1 with the remaining arguments.
start_hanavo() {
    (cd "$1" && shift && exec wine "$EXE" "$@" >"$SCRATCH/hanavo.out" 2>&1) &
    HANAVO_PID=$!
}

# Runs the command every tenth of a second until it succeeds; false after $1 seconds.
retry() {
    local tries=$(($1 * 10))
    shift
    until "$@"; do
        tries=$((tries - 1)) && [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# The X window whose title is exactly $1, waiting up to $2 seconds (default 20).
wait_window() {
    local pattern
    pattern="^$(printf '%s' "$1" | sed 's/[][()*+?.^$|\\{}]/\\&/g')\$"
    retry "${2:-20}" eval 'xdotool search --name "$pattern" 2>/dev/null | head -n1 | grep .'
}

# Types keys into the window $1: the focus is put on it first, then each key is pressed.
keys() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null
    shift
    xdotool key --delay 50 "$@"
}

# Waits up to $1 seconds for the program started last to end; false when it did not.
wait_exit() {
    retry "$1" eval '! kill -0 "$HANAVO_PID" 2>/dev/null' || return 1
    wait "$HANAVO_PID" 2>/dev/null
    return 0
}

# A Windows path for a path under the scratch folder.
win_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

# The settings key as exported text (UTF-8), empty when the key does not exist.
settings_values() {
    rm -f "$SCRATCH/settings.reg"
    wine regedit /E "$(win_path "$SCRATCH/settings.reg")" "$SETTINGS_KEY" >/dev/null 2>&1
    [ -f "$SCRATCH/settings.reg" ] && iconv -f UTF-16LE -t UTF-8 "$SCRATCH/settings.reg" | tr -d '\r\357\273\277'
}

# Writes values into the settings key: each argument is a line such as "Seconds"=dword:0000000a
set_settings() {
    { printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "$SETTINGS_KEY"; printf '%s\r\n' "$@"; } |
        iconv -f UTF-8 -t UTF-16LE | cat <(printf '\377\376') - >"$SCRATCH/set.reg"
    wine regedit /S "$(win_path "$SCRATCH/set.reg")" >/dev/null 2>&1
}

# Opens the About box from the window menu of the window $1 (its last item).
open_about() {
    keys "$1" alt+space
    sleep 0.3
    xdotool key Up Return
    wait_window "バージョン情報 Hanavo" 10
}

# Clicks at ($2, $3) pixels inside the window $1, as a user does to activate a window that
# did not take the activation itself.
click_in() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
