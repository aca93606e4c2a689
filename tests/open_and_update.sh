#!/usr/bin/env bash
# Next release's readme from last release's, on the real program under a
# private Xvfb, driven with xdotool from the keyboard alone: last release's
# readme written by the program from presets whose language has two lines,
# then File > Open readme (Ctrl+O) on it (the Markdown one given on the
# command line instead, as a file manager does), the version changed, the
# preview (Ctrl+P) grown and left, Next (Alt+N), the preview again from
# there at the size it was left at, its Main back there, Next, and Create File with Return twice: the Save dialog offers the
# opened file, and writing it back asks nothing. The file then differs from
# the old in the version row alone, nothing else is written, and the titles
# name it; once for the text layout, once for Markdown. Last, velmora
# --project on a git project: the facts' dialog, named for the folder, and
# Use (Alt+U) put them into the wizard, and Create File writes them.
#
# Usage: open_and_update.sh <velmora program> <test data folder>
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

program="$1"
data="$2"
source "$(dirname "$0")/xsession.sh"

closed() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
size_of() { xdotool getwindowgeometry "$(window "$1")" | sed -n 's/.*Geometry: //p'; }

printf '"Acme Tools","https://acme.example","English\r\nPolish","acme.dll","Ann Author","ann@acme.example"\r\n' \
    >"$work/app/presets.txt"

for kind in txt md; do
    echo "README.$kind: written from presets with a language of two lines"
    old="$work/out/README.$kind"
    rm -rf "$XDG_STATE_HOME/velmora"
    start
    focus Velmora
    typed "tidyclip"; keys Tab; typed "1.0"
    keys alt+n
    focus "Program Info"
    keys alt+n
    focus Author
    create_file "$old"
    kill_hard
    grep -q "Polish" "$old" || fail "the language's second line is not in README.$kind"
    cp "$old" "$work/out/before"

    echo "README.$kind: open, change the version, preview, Create File back onto it"
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
        sed 's/^1\.0\r$/1.3\r/' "$work/out/before" >"$work/out/expected"
    else
        sed 's/^- \*\*Version:\*\* 1\.0$/- **Version:** 1.3/' "$work/out/before" >"$work/out/expected"
    fi
    [ "$(diff "$work/out/before" "$work/out/expected" | grep -c '^>')" = 1 ] || fail "the old readme has no single version row"
    cmp "$old" "$work/out/expected" || {
        diff "$work/out/expected" "$old" >&2 || true
        fail "the updated README.$kind differs from the old in more than its version"
    }
    rm -f "$work/out/"*
done
echo "velmora --project: a git project's facts, Use, Create File"
command -v git >/dev/null || fail "git is needed to make the project"
project="$work/tidyclip"
mkdir -p "$project"
git -C "$project" init -q
git -C "$project" config user.name "Ann Example"
git -C "$project" config user.email ann@example.org
git -C "$project" commit -q --allow-empty -m First
git -C "$project" tag v1.4.2
git -C "$project" remote add origin git@github.com:ann/tidyclip.git
printf 'project(tidyclip VERSION 1.4.3 DESCRIPTION "Keeps the clipboard tidy")' >"$project/CMakeLists.txt"
cat >"$project/LICENSE" <<'EOF'
MIT License

Copyright (c) 2026 Ann Example

Permission is hereby granted, free of charge, to any person obtaining a copy
of this software and associated documentation files (the "Software"), to deal
in the Software without restriction.

The above copyright notice and this permission notice shall be included in all
copies or substantial portions of the Software.
EOF
printf '"Acme Tools","https://acme.example","English, German","acme.dll","Ann Author","ann@acme.example"\r\n' \
    >"$work/app/presets.txt"
rm -rf "$XDG_STATE_HOME/velmora"
start --project "$project"
focus "From project folder - $project"
keys alt+u
focus Velmora
keys alt+n
focus "Program Info"
keys alt+n
focus Author
create_file "$work/out/README.txt"
kill_hard
# The walk of the screens' suite with nothing typed first: the name and the
# first version (the newest tag) as found.
sed 's/^Tidy Clip - ()\r$/tidyclip - ()\r/; s/^1\.4\.3\r$/1.4.2\r/' "$data/readme_project.txt" >"$work/expected"
cmp "$work/out/README.txt" "$work/expected" || {
    diff "$work/expected" "$work/out/README.txt" >&2 || true
    fail "the readme written from the project's facts differs"
}
echo "PASS"
