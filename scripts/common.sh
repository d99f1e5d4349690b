# Shared by run.sh, test.sh and bench.sh: packages, build, the way Wine runs,
# Wine prefix, Xvfb. Source it; it defines functions and sets nothing else
# but Wine's environment.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

PACKAGES="wine wine32:i386 xvfb xauth cmake make g++-mingw-w64-i686-posix mingw-w64-tools \
libz-mingw-w64-dev googletest fonts-liberation fonts-wine x11-apps xdotool imagemagick python3 procps \
ccache libwmf-bin gsfonts ghostscript"

log() { echo "[darad4] $*" >&2; }
die() { log "$*"; exit 1; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs whatever of the package list is missing (needs root on a fresh machine).
ensure_packages() {
    local missing=()
    local p
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    as_root dpkg --add-architecture i386
    as_root apt-get update -q >/dev/null
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

CACHE_HOME="${XDG_CACHE_HOME:-$HOME/.cache}"

# Build times of everything (program, 7 test programs, benchmark), measured
# with -j4 on an 8-core machine that other builds shared, so wall times vary
# by some 30%; CPU is user+system time of all compilers and linkers:
#                                        clean build        one .cpp changed
#   before (no ccache, no precompiling)  90 s, 243 s CPU    2.4-4 s, 4-6 s CPU
#   GoogleTest precompiled               58 s, 203 s CPU    2.8-3.4 s, 4-6 s CPU
#   ccache, empty cache                  about 10% more CPU than without
#   ccache, cache warm (fresh clone)      6 s,  17 s CPU    (linking only)
#   run.sh's targets, one .cpp changed                      0.6-1 s
# Where the time goes: the test sources (about 2-3 s each, most of it
# GoogleTest's templates at -O2 -g; parsing gtest.h was 1 s of it before it
# was precompiled) and gtest-all.cc (12 s, once). The program's own ~100
# sources take 26 s of CPU together; precompiling windows.h (0.09 s a source)
# and the standard headers for them gained nothing measurable, and the
# program's headers pull in little beyond windows.h, so neither was changed.
# A rebuild after one change is mostly linking the test programs.
# ccache keeps its cache in the user's cache folder, so a fresh clone or a
# clean build on the same machine reuses it; CCACHE_BASEDIR and
# CCACHE_NOHASHDIR make the hits independent of where the clone lies (the
# debug information then may name the folder of the clone that filled the
# cache).
configure_build() {
    local dir="$1"
    local launcher=()
    if command -v ccache >/dev/null; then
        export CCACHE_DIR="${CCACHE_DIR:-$CACHE_HOME/ccache}"
        export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$ROOT}"
        export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-mingw.cmake" \
        "${launcher[@]}" >/dev/null
}

# Configures and builds into $1 (default build/); further arguments name the
# targets (default: everything).
build_all() {
    local dir="${1:-$ROOT/build}"
    shift || true
    configure_build "$dir"
    local targets=()
    local t
    for t in "$@"; do targets+=(--target "$t"); done
    cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
}

export WINEARCH=win32
export WINEDEBUG=-all
# No debugger on a crash: Wine would start winedbg, which waits for ever
# without a terminal, and a test run would hang until ctest's timeout
# instead of failing at once.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"

# --- How Wine runs ----------------------------------------------------------
# Wine is a 32-bit x86 Linux program. Where the kernel refuses those ("Exec
# format error"), Wine runs through qemu's user-mode emulator, registered for
# 32-bit x86 programs in the binfmt_misc of a private user and mount
# namespace (scripts/qemu-namespace.sh): nothing outside that namespace sees
# the registration, and it ends with it. DARAD4_WINE_VIA_QEMU=1 forces that
# path on a machine that runs 32-bit programs (to test it there).
# qemu-user 10 from the backports suite is needed: 7.2 from bookworm itself
# crashes Wine during wineboot.

WINE_STAGE_MARK=DARAD4_IN_WINE_NAMESPACE

# True in the second run of a script, inside the namespace.
in_wine_namespace() { [ -n "${!WINE_STAGE_MARK:-}" ]; }

runs_32bit_natively() { /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; }

# The mirror apt already uses for this release, read from its sources.
debian_mirror() {
    local codename="$1"
    apt-cache policy 2>/dev/null |
        awk -v suite="$codename/main" '$3 == suite && $2 ~ /^https?:/ { print $2; exit }'
}

# Prints the path of a qemu-i386 of version 10 or later, fetching the
# package from the backports suite into the user's cache folder the first
# time. apt runs with a private list of sources and state: the machine's
# own apt settings are not changed.
ensure_qemu() {
    local dir="$CACHE_HOME/darad4/qemu-user"
    local qemu="$dir/usr/bin/qemu-i386"
    if [ -x "$qemu" ] && "$qemu" --version 2>/dev/null | grep -Eq 'version ([1-9][0-9]+)\.'; then
        echo "$qemu"
        return 0
    fi
    local codename mirror work
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mirror=$(debian_mirror "$codename")
    if [ -z "$mirror" ]; then
        # apt knows its sources' mirrors only once it has read their lists.
        as_root apt-get update -q >/dev/null
        mirror=$(debian_mirror "$codename")
    fi
    [ -n "$mirror" ] || die "no Debian mirror for $codename found in apt's sources"
    log "fetching qemu-user from $codename-backports on $mirror"
    work=$(mktemp -d)
    mkdir -p "$work/lists/partial" "$work/cache" "$work/parts"
    echo "deb $mirror $codename-backports main" >"$work/sources.list"
    local opts=(-q -o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=$work/parts"
        -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache"
        -o "APT::Architectures::=$(dpkg --print-architecture)" -o Debug::NoLocking=1
        -o APT::Sandbox::User=root)
    if ! apt-get "${opts[@]}" update >/dev/null ||
        ! (cd "$work" && apt-get "${opts[@]}" download "qemu-user/$codename-backports" >/dev/null); then
        rm -rf "$work"
        die "could not fetch qemu-user from $codename-backports"
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    dpkg-deb -x "$work"/qemu-user_*.deb "$dir"
    rm -rf "$work"
    [ -x "$qemu" ] || die "the qemu-user package holds no qemu-i386"
    echo "$qemu"
}

# Called by a script once its work outside Wine is done, with the script and
# its arguments. Says in one line how Wine runs. When Wine runs natively it
# returns; otherwise it runs the script again inside the namespace (where
# in_wine_namespace is true, so the script skips what it did already) and
# exits with its status.
enter_wine_stage() {
    in_wine_namespace && return 0
    local why=""
    if [ -n "${DARAD4_WINE_VIA_QEMU:-}" ]; then
        why="forced by DARAD4_WINE_VIA_QEMU"
    elif ! runs_32bit_natively; then
        why="this kernel does not run 32-bit programs"
    else
        log "Wine runs natively"
        return 0
    fi
    grep -qw binfmt_misc /proc/filesystems || die "Wine cannot run: no 32-bit support and no binfmt_misc in this kernel"
    local qemu
    qemu=$(ensure_qemu) || exit 1
    log "Wine runs through qemu-i386 user-mode emulation ($why; slower)"
    export "$WINE_STAGE_MARK=1"
    exec unshare --user --map-root-user --mount --fork \
        bash "$ROOT/scripts/qemu-namespace.sh" "$qemu" bash "$@"
}

# --- Xvfb and the Wine prefix -------------------------------------------------

XVFB_PID=""

# Starts Xvfb on a free display and exports DISPLAY; $1 is the screen size
# (default 1024x768, the size the tests expect). Stops the script with
# Xvfb's own message when it does not come up.
start_xvfb() {
    local fdfile errfile size="${1:-1024x768}"
    fdfile=$(mktemp)
    errfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fdfile" >/dev/null 2>"$errfile" &
    XVFB_PID=$!
    local i
    for i in $(seq 1 200); do
        [ -s "$fdfile" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    local display
    display=$(tr -dc '0-9' <"$fdfile")
    rm -f "$fdfile"
    if [ -z "$display" ]; then
        log "Xvfb did not start:"
        sed 's/^/    /' "$errfile" >&2
        rm -f "$errfile"
        stop_xvfb
        exit 1
    fi
    rm -f "$errfile"
    export DISPLAY=":$display"
    log "Xvfb on $DISPLAY (pid $XVFB_PID)"
}

stop_xvfb() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    XVFB_PID=""
    return 0
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
    # The file's Windows name is made here rather than asked of winepath: a
    # Wine service that winepath starts can inherit the command
    # substitution's pipe and keep it open, and the script waits for ever.
    wine regedit /s "Z:${reg//\//\\}" >/dev/null 2>&1 </dev/null
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
    for i in $(seq 1 400); do
        # Only this prefix's: other runs may share the machine.
        for pid in $(pgrep -f 'explorer.exe /desktop'); do
            { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
        done
        sleep 0.05
    done
    log "Wine's desktop process did not start"
}

# Adds to $WINEPREFIX a PostScript printer whose port is FILE: and makes it
# the default printer (once; later calls find it there). A job then writes a
# PostScript file: the print dialog's "Print to file" names it, otherwise
# Wine asks for the name. $1 is the build folder holding addprinter.exe.
add_file_printer() {
    wine "$1/bin/addprinter.exe" </dev/null || log "the PostScript printer could not be added: printing will not work"
}

# Ends this prefix's Wine processes (and only those) and waits for them.
stop_prefix() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    return 0
}
