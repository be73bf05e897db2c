#!/bin/bash
# Runs a test program under Wine in a copy of the prepared prefix, with a home and a display of
# its own (see ../e2e-win/lib.sh), and exits with its status:
#   run_test.sh TEMPLATE_DIR [--network-drive LETTER] PROGRAM.exe [ARGUMENT]...
# --network-drive makes Wine report the drive (z for the Unix root) as a network drive.
. "$(dirname "$0")/../e2e-win/lib.sh"
template=$1 drive=
shift
if [ "$1" = --network-drive ]; then
    drive=$2
    shift 2
fi
setup "$1" "$template"
if [ -n "$drive" ]; then
    # Wine reads the drive types when its services start: set, then restart.
    wine reg add 'HKLM\Software\Wine\Drives' /v "$drive:" /d network /f >/dev/null 2>&1 ||
        fail "cannot make $drive: a network drive"
    wineserver -k
    wineserver -w
fi
wine "$@"
