#!/usr/bin/env bash
# Builds the program and starts it under Wine, optionally with a drawing file.
# Uses the user's display, or starts Xvfb when there is none. The Wine prefix
# (and so the program's registry settings) is kept between runs.
set -euo pipefail
source "$(dirname "$0")/common.sh"

ensure_packages
BUILD="$ROOT/build"
build_all "$BUILD" >/dev/null

export WINEPREFIX="${DARAD4_PREFIX:-$HOME/.darad4-wine}"
if [ ! -d "$WINEPREFIX/drive_c" ]; then
    log "creating the Wine prefix $WINEPREFIX"
    NEED_INIT=1
else
    NEED_INIT=0
fi

cleanup() { stop_xvfb; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
    log "no display: starting Xvfb (the window is not visible; take screenshots with xwd)"
    start_xvfb
fi
if [ "$NEED_INIT" = 1 ]; then
    init_prefix
    # The set-up leaves a persistent server behind; end it, or the wait for
    # the program's end below would never return.
    stop_prefix
fi

args=()
if [ $# -gt 0 ]; then
    # A drawing named on the command line is handed over as a Windows path.
    args+=("$(winepath -w "$(realpath "$1")" 2>/dev/null)")
    shift
fi
set +e
wine "$BUILD/bin/darad4.exe" "${args[@]}" "$@"
rc=$?
wineserver -w
exit $rc
