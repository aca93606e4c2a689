#!/bin/sh
# run-as-user.sh PROGRAM: runs a test program as a user who is not root, so
# that a read-only folder really refuses. As root it copies the program into
# a fresh folder that every user may read (the build folder may not be) and
# runs it as nobody; as any other user it runs it as it is.
set -eu
program=$1
if [ "$(id -u)" -ne 0 ]; then
    exec "$program"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/tmp"
chmod 1777 "$work/tmp"
copy="$work/$(basename "$program")"
cp "$program" "$copy"
chmod 755 "$copy"
cd "$work/tmp"
setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME="$work/tmp" TMPDIR="$work/tmp" "$copy"
