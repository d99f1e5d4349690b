#!/usr/bin/env bash
# Builds everything and runs the benchmark program under Wine in a fresh
# prefix; prints its named figures (ratios measured within one run).
set -euo pipefail
source "$(dirname "$0")/common.sh"

ensure_packages
BUILD="$ROOT/build"
build_all "$BUILD" >/dev/null

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/darad4-bench-prefix.XXXXXX)
cleanup() {
    stop_prefix
    stop_xvfb
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
# The window benchmark paints a full 1920 x 1080 window.
start_xvfb 1920x1080
init_prefix
wine "$BUILD/bin/bench.exe" "$@"
