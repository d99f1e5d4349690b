#!/usr/bin/env bash
# Builds the benchmark program and runs it under Wine in a fresh prefix;
# prints its named figures (ratios measured within one run).
set -euo pipefail
source "$(dirname "$0")/common.sh"

BUILD="$ROOT/build"
if ! in_wine_namespace; then
    ensure_packages
    build_all "$BUILD" bench >/dev/null
    enter_wine_stage "$0" "$@"
fi

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/darad4-bench-prefix.XXXXXX)
cleanup() {
    set +e
    stop_prefix
    stop_xvfb
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
# The window benchmark paints a full 1920 x 1080 window.
start_xvfb 1920x1080
init_prefix
wine "$BUILD/bin/bench.exe" "$@"
