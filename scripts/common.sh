# Shared by run.sh and test.sh: packages, build, Wine prefix, Xvfb.
# Source it; it defines functions and sets nothing else.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

PACKAGES="wine wine32:i386 xvfb xauth cmake make g++-mingw-w64-i686-posix mingw-w64-tools \
libz-mingw-w64-dev googletest fonts-liberation fonts-wine x11-apps xdotool imagemagick python3 procps"

log() { echo "[darad4] $*" >&2; }

# Installs whatever of the package list is missing (needs root on a fresh machine).
ensure_packages() {
    local missing=()
    local p
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures and builds everything into $1 (default build/).
build_all() {
    local dir="${1:-$ROOT/build}"
    cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-mingw.cmake" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

XVFB_PID=""

# Starts Xvfb on a free display and exports DISPLAY; $1 is the screen size
# (default 1024x768, the size the tests expect).
start_xvfb() {
    local fdfile size="${1:-1024x768}"
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$fdfile" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(cat "$fdfile")"
    rm -f "$fdfile"
    log "Xvfb on $DISPLAY (pid $XVFB_PID)"
}

stop_xvfb() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# Creates a Wine prefix in $WINEPREFIX with the settings that make GUI
# processes start and end quickly and the fonts tests rely on.
init_prefix() {
    mkdir -p "$WINEPREFIX"
    wineserver -p
    wine wineboot -i >/dev/null 2>&1 </dev/null
    local reg
    reg=$(mktemp --suffix=.reg)
    cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
REG
    wine regedit /s "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 </dev/null
    rm -f "$reg"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # Creating the prefix leaves a second services.exe behind: restart once.
    wineserver -k; wineserver -w
    wineserver -p
    wine wineboot >/dev/null 2>&1 </dev/null
}

# Waits until Wine's desktop process runs. Started by a test instead, it would
# inherit that test's output pipe and ctest would wait for it to end.
wait_for_desktop() {
    local i pid
    for i in $(seq 1 200); do
        # Only this prefix's: other runs may share the machine.
        for pid in $(pgrep -f 'explorer.exe /desktop'); do
            tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
        done
        sleep 0.05
    done
    log "Wine's desktop process did not start"
}

stop_prefix() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
}
