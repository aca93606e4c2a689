#!/usr/bin/env bash
# Next release's readme from last release's, on the real program under a
# private Xvfb, driven with xdotool from the keyboard: File > Open readme
# (Ctrl+O) on a readme Velmora wrote, the version changed, Next, Next,
# Create File to a new name. The new file differs from the old in the
# version row alone; once for the text layout, once for Markdown.
#
# Usage: open_and_update.sh <velmora program> <test data folder>
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

program="$1"
data="$2"
source "$(dirname "$0")/xsession.sh"

closed() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

for kind in txt md; do
    echo "readme_full.$kind: open, change the version, Create File"
    old="$work/out/old.$kind"
    cp "$data/readme_full.$kind" "$old"
    rm -rf "$XDG_STATE_HOME/velmora"                # no draft of the run before
    start
    focus Velmora
    keys ctrl+o
    focus "Open readme"
    typed "$old"; keys Return
    wait_until "the Open dialog to close" closed "Open readme"
    focus Velmora
    keys Tab Home shift+End; typed "1.3"           # the Version box, typed over
    keys Tab Tab Tab Tab Tab Tab Tab Tab Return    # from Version to Next
    focus "Program Info"
    keys Tab Tab Tab Tab Tab Tab Return            # from Description to Next
    focus Author
    create_file "$work/out/new.$kind"
    kill_hard

    if [ "$kind" = txt ]; then
        sed 's/^1\.2\.3\r$/1.3\r/' "$old" >"$work/out/expected"
    else
        sed 's/^- \*\*Version:\*\* 1\.2\.3$/- **Version:** 1.3/' "$old" >"$work/out/expected"
    fi
    [ "$(diff "$old" "$work/out/expected" | grep -c '^>')" = 1 ] || fail "the old readme has no single version row"
    cmp "$work/out/new.$kind" "$work/out/expected" || {
        diff "$work/out/expected" "$work/out/new.$kind" >&2 || true
        fail "the updated readme.$kind differs from the old in more than its version"
    }
done
echo "PASS"
