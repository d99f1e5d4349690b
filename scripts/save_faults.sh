#!/usr/bin/env bash
# Run by hand, as root: the save-fault table of tests/files/save_faults_test.cpp
# with the two faults that need the machine's help. A full disk: a 512 KB
# tmpfs mounted for the run. The file-size limit: the same table with the
# shell's limit on file sizes in place of the full disk (a write past the
# limit fails as a full disk does, once the signal it raises is ignored).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
FULL=$(mktemp -d /tmp/darad4-full.XXXXXX)
mount -t tmpfs -o size=512k tmpfs "$FULL"
trap 'umount "$FULL"; rmdir "$FULL"' EXIT
export DARAD4_FULL_DISK_FOLDER="Z:${FULL//\//\\}"
export GTEST_FILTER='SaveFaults.*'
status=0
echo "== full disk: $FULL"
"$ROOT/scripts/test.sh" -R '^files$' || status=1
echo "== file-size limit"
LIMITED=$(mktemp -d /tmp/darad4-limit.XXXXXX)
export DARAD4_FULL_DISK_FOLDER="Z:${LIMITED//\//\\}"
DARAD4_TEST_FILE_SIZE_KB=2048 "$ROOT/scripts/test.sh" -R '^files$' || status=1
rm -rf "$LIMITED"
exit $status
