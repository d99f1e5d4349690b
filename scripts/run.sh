#!/usr/bin/env bash
# Builds the program and starts it under Wine, optionally with a drawing file.
# Uses the user's display, or starts Xvfb when there is none. The Wine prefix
# (and so the program's registry settings) is kept between runs.
set -euo pipefail
source "$(dirname "$0")/common.sh"

BUILD="$ROOT/build"
if ! in_wine_namespace; then
    ensure_packages
    # Only what the program needs: itself and its language module (the
    # default drawing is put beside it when the build is configured), and
    # the tool that gives the prefix a printer.
    build_all "$BUILD" darad4 language addprinter >/dev/null
    enter_wine_stage "$0" "$@"
fi

export WINEPREFIX="${DARAD4_PREFIX:-$HOME/.darad4-wine}"
if [ ! -d "$WINEPREFIX/drive_c" ]; then
    log "creating the Wine prefix $WINEPREFIX"
    NEED_INIT=1
else
    NEED_INIT=0
fi

PROGRAM_PID=""
# Every step runs, whatever failed before it. Ended early (Ctrl+C, kill), the
# program is still running: end this prefix's Wine processes.
cleanup() {
    set +e
    if [ -n "$PROGRAM_PID" ] && kill -0 "$PROGRAM_PID" 2>/dev/null; then
        stop_prefix
        # Before Xvfb goes, or the program complains about its lost display.
        wait "$PROGRAM_PID" 2>/dev/null
    fi
    stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

INVISIBLE=0
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb
    INVISIBLE=1
fi
if [ "$NEED_INIT" = 1 ]; then
    init_prefix
    # The set-up leaves a persistent server behind; end it, or the wait for
    # the program's end below would never return.
    stop_prefix
fi

add_file_printer "$BUILD"

args=()
if [ $# -gt 0 ]; then
    # A drawing named on the command line is handed over as a Windows path.
    args+=("$(winepath -w "$(realpath "$1")" 2>/dev/null)")
    shift
fi
# In the background, so that Ctrl+C and kill reach the trap above at once.
wine "$BUILD/bin/darad4.exe" "${args[@]}" "$@" &
PROGRAM_PID=$!
if [ "$INVISIBLE" = 1 ]; then
    log "no display: the program runs invisibly on Xvfb $DISPLAY"
    log "  screenshot: import -display $DISPLAY -window root darad4.png"
    log "  end it: Ctrl+C here, or kill $$"
fi
set +e
wait "$PROGRAM_PID"
rc=$?
set -e
wineserver -w
exit $rc
