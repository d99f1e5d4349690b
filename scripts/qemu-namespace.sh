#!/usr/bin/env bash
# Runs a command with qemu-i386 registered for 32-bit x86 programs.
#   qemu-namespace.sh /path/to/qemu-i386 command [args...]
# Meant to run as the first process of a private user and mount namespace
# (unshare --user --map-root-user --mount --fork): the binfmt_misc mounted
# here belongs to that namespace, so nothing outside it sees the
# registration. It is also removed explicitly at the end.
set -uo pipefail
qemu="$1"
shift

log() { echo "[darad4] $*" >&2; }

mnt=$(mktemp -d /tmp/darad4-binfmt.XXXXXX)
if ! mount -t binfmt_misc binfmt_misc "$mnt"; then
    rmdir "$mnt"
    log "cannot mount a private binfmt_misc (a kernel older than 6.7?)"
    exit 1
fi

release() {
    [ -e "$mnt/qemu-i386" ] && echo -1 >"$mnt/qemu-i386"
    umount "$mnt" && rmdir "$mnt"
}

# 32-bit x86 ELF executables and shared objects (e_ident of a 32-bit
# little-endian ELF, e_type 2 or 3, e_machine 3). O: qemu gets the program
# as an open file; C: credentials from the program; F: qemu is opened now,
# so it need not be reachable from where the program runs.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
if ! echo ":qemu-i386:M::$magic:$mask:$qemu:OCF" >"$mnt/register"; then
    release
    log "cannot register qemu-i386 in the private binfmt_misc"
    exit 1
fi

# An interrupt ends the command (its own cleanup runs); this script stays to
# remove the registration after it.
trap ':' INT TERM
"$@"
rc=$?
release
exit $rc
