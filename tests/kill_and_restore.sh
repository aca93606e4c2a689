#!/usr/bin/env bash
# A real Velmora, killed with SIGKILL in the middle of a readme, gives
# everything back at its next start: run under a private Xvfb and driven
# with xdotool from the keyboard, as a person would.
#
#   1. Type on all three screens, move two systems, write the readme with
#      Create File (Qt's own Save dialog), wait for the draft, kill -9.
#   2. Start again, answer Yes: Create File writes the same bytes, and the
#      dead run's draft is gone once this run's own is written. Kill -9.
#   3. Start again, answer No: that draft is deleted. Type, wait for this
#      run's draft; Exit with Yes leaves no draft and no lock.
#
# Usage: kill_and_restore.sh <velmora program> <expected readme>
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

program="$1"
expected="$2"
source "$(dirname "$0")/xsession.sh"

draft_holds() { grep -q -x -F "$1" "$drafts"/*.draft 2>/dev/null; }
draft_files() { find "$drafts" -maxdepth 1 \( -name '*.draft' -o -name '*.lock' \) 2>/dev/null | sort; }

echo "Run 1: type on every screen, Create File, kill -9"
start
focus Velmora
typed "Pixel Pal"; keys Tab
typed "2.1"; keys Tab
typed "Acme Tools Ltd"                     # the preset company, changed
keys Tab Tab Tab Tab Down Down Down        # type: none, Demo, Freeware, ShareWare
keys Tab                                   # to the OS list
keys Return                                # Windows 95 to the compatible list
keys Down Return                           # Windows 98SE too, from Windows 98 in its place
keys Tab Tab Tab Tab Return                # Next, past the own-system box
focus "Program Info"
typed "Draws pixels."; keys Return; typed "Saves them too."
keys Tab; typed "Run it."
keys Tab; typed "Fast"
keys Tab Tab; typed "Undo"
keys Tab Tab Tab Tab Return                # past the licence's boxes to Next
focus Author
keys ctrl+a; typed "Bo Builder"            # the preset name, replaced
create_file "$work/out/before.txt"
wait_until "the draft to hold the author's name" draft_holds "Bo Builder"
wait_until "the draft to hold the record's author" draft_holds "record.authorName 10"
first_draft="$(ls "$drafts"/*.draft)"
[ "$(stat -c %a "$drafts" "$first_draft" "${first_draft%.draft}.lock")" = "$(printf '700\n600\n600')" ] \
    || fail "the drafts' folder, draft or lock is open to other users"
kill_hard
cmp "$work/out/before.txt" "$expected" || fail "the readme before the kill is not the expected one"

echo "Run 2: Yes puts everything back"
start
focus "Restore?"
keys Return                                # Yes, the default
focus Velmora
keys alt+n                                         # Next
focus "Program Info"
keys Tab Tab Tab Tab Tab Tab Tab Tab Return        # from Description to Next
focus Author
create_file "$work/out/after.txt"
cmp "$work/out/before.txt" "$work/out/after.txt" || fail "the restored readme differs from the one before the kill"
wait_until "the first run's draft to go" test ! -e "$first_draft"
second_draft="$(ls "$drafts"/*.draft)"
kill_hard

echo "Run 3: No deletes the draft; Exit leaves none"
start
focus "Restore?"
keys Escape                                # No
wait_until "the second run's draft to go" test ! -e "$second_draft"
focus Velmora
typed "Third"                              # a draft of this run's own
wait_until "the third run's draft" draft_holds "Third"
exit_program                               # File > Exit, Yes
[ -z "$(draft_files)" ] || fail "Exit left $(draft_files)"
echo "PASS"
