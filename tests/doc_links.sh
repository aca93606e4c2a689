#!/bin/sh
# Every link and picture of the README and the developers' page leads to a
# file of the repository: the pages rendered with cmark-gfm, as code hosts
# render them, and each relative target looked up.
# Usage: doc_links.sh SOURCE_DIR
root="$1"
if ! command -v cmark-gfm >/dev/null 2>&1; then
    echo "cmark-gfm is not installed (scripts/common.sh installs it)"
    [ -n "${CI:-}" ] && exit 1
    exit 77
fi
fail=0
count=0
for page in README.md docs/development.md; do
    dir="$(dirname "$root/$page")"
    targets="$(cmark-gfm -e table -e autolink "$root/$page" | grep -o -E '(href|src)="[^"]*"' | sed -E 's/^(href|src)="//; s/"$//')"
    for target in $targets; do
        case "$target" in
            http://*|https://*|mailto:*|'#'*) continue ;;
        esac
        count=$((count + 1))
        if [ ! -e "$dir/${target%%#*}" ]; then
            echo "$page: $target does not exist" >&2
            fail=1
        fi
    done
done
echo "$count links checked"
[ "$count" -gt 0 ] || fail=1
exit $fail
