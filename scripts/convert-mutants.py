#!/usr/bin/env python3
# One-off: writes the Python table of an older scripts/mutate.py (MUTANTS and
# NOT_COUNTED) as scripts/mutants.txt, keeping the table's comments, then
# reads the file back with mutate.py's parser and checks that every id, file,
# old text, new text, fault and reason came through unchanged.
#
#   python3 scripts/convert-mutants.py OLD_MUTATE_PY scripts/mutants.txt

import ast
import importlib.util
import io
import os
import sys
import tokenize

HEAD = """\
# Velmora's mutation table, read by scripts/mutate.py (docs/development.md,
# "Mutation testing"). A mutant:
#
#   [M01] core/readme/LayoutText.h          id, then its file under src/
#   fault: section rule 30 -> 29 hyphens    the fault it stands for
#   not counted: equivalent: ...            optional: left out of the kill rate, and why
#   - old text, one "- " line a line        ("-" alone: an empty line)
#   + new text, one "+ " line a line        ("+" alone: an empty line; a single
#                                            bare "+": the old text is deleted)
#
# The old text is matched with runs of blanks and line breaks taken as equal,
# and must be found once in its file. A block [Gxxxxxxxx] FILE with change:
# and not counted: lines judges a mutant of --generate. Lines starting with
# "#" are comments.
"""


def load(path, name):
    spec = importlib.util.spec_from_file_location(name, path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def comments_before(source):
    """{mutant id: [comment lines]} for the comments standing above each tuple in MUTANTS."""
    tree = ast.parse(source)
    table = next(n.value for n in tree.body if isinstance(n, ast.Assign)
                 and getattr(n.targets[0], "id", None) == "MUTANTS")
    comments = {}
    for tok in tokenize.generate_tokens(io.StringIO(source).readline):
        if tok.type == tokenize.COMMENT:
            comments[tok.start[0]] = tok.string
    found, prev_end = {}, table.lineno
    for elt in table.elts:
        mid = elt.elts[0].value
        found[mid] = [comments[n] for n in range(prev_end + 1, elt.lineno) if n in comments]
        prev_end = elt.end_lineno
    return found


def main():
    old_path, out_path = sys.argv[1], sys.argv[2]
    old = load(old_path, "old_mutate")
    here = load(os.path.join(os.path.dirname(os.path.abspath(__file__)), "mutate.py"), "mutate")
    comments = comments_before(open(old_path, encoding="utf-8").read())

    blocks = [HEAD]
    for mid, rel, old_text, new_text, what in old.MUTANTS:
        e = here.Entry(mid, rel, 0)
        e.fault = what
        e.not_counted = old.NOT_COUNTED.get(mid)
        e.old_lines = old_text.split("\n")
        e.new_lines = new_text.split("\n")
        block = "".join(c.strip() + "\n" for c in comments[mid]) + here.format_entry(e)
        blocks.append(block)
    with open(out_path, "w", encoding="utf-8") as f:
        f.write("\n".join(blocks))

    back = here.parse_table(out_path)
    assert [e.id for e in back] == [m[0] for m in old.MUTANTS], "ids or their order differ"
    for e, (mid, rel, old_text, new_text, what) in zip(back, old.MUTANTS):
        assert (e.file, e.old, e.new, e.fault) == (rel, old_text, new_text, what), mid
        assert e.not_counted == old.NOT_COUNTED.get(mid), mid
    assert {e.id: e.not_counted for e in back if e.not_counted} == old.NOT_COUNTED
    print(f"{len(back)} mutants and {len(old.NOT_COUNTED)} reasons written to {out_path}; "
          "read back unchanged")


if __name__ == "__main__":
    main()
