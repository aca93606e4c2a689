#!/usr/bin/env bash
# Next release's readme from last release's, on the real program under a
# private Xvfb, driven with xdotool from the keyboard alone: File > Open
# readme (Ctrl+O) on a readme Velmora wrote (the Markdown one given on the
# command line instead, as a file manager does), the version changed, the
# preview (Ctrl+P) grown and left, Next (Alt+N), the preview again from
# there at the size it was left at, its Main back there, Next, and Create File with Return twice: the Save dialog offers the
# opened file, and writing it back asks nothing. The file then differs from
# the old in the version row alone, nothing else is written, and the titles
# name it; once for the text layout, once for Markdown.
#
# Usage: open_and_update.sh <velmora program> <test data folder>
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

program="$1"
data="$2"
source "$(dirname "$0")/xsession.sh"

closed() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
size_of() { xdotool getwindowgeometry "$(window "$1")" | sed -n 's/.*Geometry: //p'; }

for kind in txt md; do
    echo "README.$kind: open, change the version, preview, Create File back onto it"
    old="$work/out/README.$kind"
    cp "$data/readme_full.$kind" "$old"
    cp "$old" "$work/out/before"
    rm -rf "$XDG_STATE_HOME/velmora"                # no draft of the run before
    if [ "$kind" = txt ]; then
        start
        focus Velmora
        keys ctrl+o
        focus "Open readme"
        typed "$old"; keys Return
        wait_until "the Open dialog to close" closed "Open readme"
    else
        start "$old"                               # velmora README.md
    fi
    focus "Velmora - README.$kind"                 # the title names the file
    keys Tab Home shift+End; typed "1.3"           # the Version box, typed over
    keys ctrl+p
    focus Preview
    xdotool windowsize --sync "$(window Preview)" 900 600   # it grows with its text
    keys alt+m                                     # Main: back where it came from
    focus "Velmora - README.$kind"
    keys alt+n                                     # Next
    focus "Program Info - README.$kind"
    keys ctrl+p
    focus Preview
    [ "$(size_of Preview)" = 900x600 ] || fail "the preview came back at $(size_of Preview), not the size it was left at"
    keys alt+m
    focus "Program Info - README.$kind"
    keys alt+n
    focus "Author - README.$kind"
    keys Tab Tab Tab Return                        # from Name to Create File
    focus "Save file"                              # in the file's folder, its name and filter offered
    keys Return
    wait_until "README.$kind to be written again" sh -c "! cmp -s '$old' '$work/out/before'"
    focus "Author - README.$kind"                  # no question came first
    kill_hard
    [ "$(ls "$work/out" | sort | tr '\n' ' ')" = "README.$kind before " ] || fail "other files were written: $(ls "$work/out")"

    if [ "$kind" = txt ]; then
        sed 's/^1\.2\.3\r$/1.3\r/' "$work/out/before" >"$work/out/expected"
    else
        sed 's/^- \*\*Version:\*\* 1\.2\.3$/- **Version:** 1.3/' "$work/out/before" >"$work/out/expected"
    fi
    [ "$(diff "$work/out/before" "$work/out/expected" | grep -c '^>')" = 1 ] || fail "the old readme has no single version row"
    cmp "$old" "$work/out/expected" || {
        diff "$work/out/expected" "$old" >&2 || true
        fail "the updated README.$kind differs from the old in more than its version"
    }
    rm -f "$work/out/"*
done
echo "PASS"
