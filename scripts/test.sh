#!/usr/bin/env bash
# Builds everything and runs all tests under Wine in a fresh prefix and Xvfb.
# Installs the packages it needs on a fresh Debian 12 machine. Arguments go
# to ctest (for example -R commands).
set -euo pipefail
source "$(dirname "$0")/common.sh"

BUILD="$ROOT/build"
if ! in_wine_namespace; then
    ensure_packages
    build_all "$BUILD"
    # Returns when Wine runs natively; otherwise runs this script again
    # inside the emulation namespace, from the line after this one.
    enter_wine_stage "$0" "$@"
fi

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/darad4-test-prefix.XXXXXX)
KEEPALIVE_PID=""
# Every step runs, whatever failed before it.
cleanup() {
    set +e
    [ -n "$KEEPALIVE_PID" ] && kill "$KEEPALIVE_PID" 2>/dev/null
    stop_prefix
    stop_xvfb
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

start_xvfb
init_prefix
# One window-owning process for the whole run keeps Wine's desktop process up.
wine "$BUILD/bin/keepalive.exe" >/dev/null 2>&1 </dev/null &
KEEPALIVE_PID=$!
wait_for_desktop

cd "$BUILD"
# scripts/save_faults.sh limits the size of the files the tests write (and
# only theirs: the build and the prefix are made by then).
if [ -n "${DARAD4_TEST_FILE_SIZE_KB:-}" ]; then
    trap '' XFSZ
    ulimit -f "$DARAD4_TEST_FILE_SIZE_KB"
fi
ctest --output-on-failure -j "$(nproc)" "$@"
