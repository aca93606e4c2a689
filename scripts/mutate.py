#!/usr/bin/env python3
# Mutation testing for Velmora: one source mutation at a time, an incremental
# rebuild, the suite, killed/survived recorded. docs/development.md
# ("Mutation testing") tells how to use it; in short:
#
#   python3 scripts/mutate.py --check            # is every mutant of the table still found?
#   dir=$(mktemp -d); git archive HEAD | tar -x -C "$dir"
#   python3 scripts/mutate.py --src "$dir" --jobs 2 --first-failure [--only M01,M07]
#   python3 scripts/mutate.py --src "$dir" --jobs 2 --first-failure --generate --sample 200 --seed 1
#
# The table is scripts/mutants.txt beside this script (--table another).
# --src is a copy of Velmora that this script may edit, never the project's
# own checkout (a git checkout is refused, except by --check): each file is
# put back after its mutant. --build is its build folder (default
# <src>/build-mutation), configured and built first when missing.
#
# A mutant is called survived only when every test of the suite ran and
# passed; the suite runs in stages, the tests of the mutated code and the
# quickest first, each stage building only the programs its tests run.

import argparse
import fnmatch
import hashlib
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_TABLE = os.path.join(HERE, "mutants.txt")
SOURCE_SUFFIXES = (".cpp", ".h", ".hpp", ".cc")


# ---------------------------------------------------------------- the table
# scripts/mutants.txt, beside this script. A mutant is a block:
#
#   [M01] core/readme/LayoutText.h          id, file under src/
#   fault: section rule 30 -> 29 hyphens    the fault it stands for
#   not counted: equivalent: ...            optional: left out of the rate, why
#   - old text, one "- " line a line        ("-" alone: an empty line)
#   + new text, one "+ " line a line        ("+" alone: an empty line; a single
#                                            bare "+": the old text is deleted)
#
# A block whose id starts with G judges a mutant of --generate (its id as the
# generator printed it): "change:" repeats what the generator changed, for
# the reader, and "not counted:" says why it is left out; it has no - or +
# lines. Lines that start with "#" are comments; blank lines separate.

class Entry:
    def __init__(self, mid, file, line):
        self.id, self.file, self.line = mid, file, line
        self.fault = self.change = self.not_counted = None
        self.old_lines, self.new_lines = [], []

    @property
    def old(self):
        return "\n".join(self.old_lines)

    @property
    def new(self):
        return "\n".join(self.new_lines)

    @property
    def generated(self):
        return self.id.startswith("G")


class TableError(Exception):
    pass


HEADER = re.compile(r"^\[([A-Za-z][A-Za-z0-9_.-]*)\] +(\S+)$")


def parse_table(path):
    """The entries of the table at path, in order; TableError names the line of a mistake."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    entries, seen = [], {}
    cur, last = None, None  # the block being read; the kind of its previous line

    def finish():
        if cur is None:
            return
        where = f"{path}:{cur.line}: [{cur.id}]"
        if cur.generated:
            if cur.old_lines or cur.new_lines or cur.fault is not None:
                raise TableError(f"{where}: a generated mutant's judgement has no fault, - or + lines")
            if cur.not_counted is None:
                raise TableError(f"{where}: a generated mutant's block says why it is not counted")
        else:
            if not cur.old_lines or not cur.new_lines:
                raise TableError(f"{where}: needs - lines (old text) and + lines (new text)")
            if cur.fault is None:
                raise TableError(f"{where}: needs a fault: line")
            if not cur.old.strip():
                raise TableError(f"{where}: the old text is blank")
            if cur.change is not None:
                raise TableError(f"{where}: change: is for generated mutants; use fault:")
        entries.append(cur)

    for no, text in enumerate(lines, 1):
        if text.startswith("#"):
            last = "#"
            continue
        if not text.strip():
            last = None
            continue
        m = HEADER.match(text)
        if m:
            finish()
            if m.group(1) in seen:
                raise TableError(f"{path}:{no}: [{m.group(1)}] again (first at line {seen[m.group(1)]})")
            seen[m.group(1)] = no
            cur, last = Entry(m.group(1), m.group(2), no), "header"
            continue
        if cur is None:
            raise TableError(f"{path}:{no}: a line before the first [ID] FILE header")
        kind = text[0]
        if kind in "-+" and (len(text) == 1 or text[1] == " "):
            body = text[2:]
            if kind == "-":
                if cur.new_lines or (cur.old_lines and last != "-"):
                    raise TableError(f"{path}:{no}: the old text's - lines must come together, "
                                     "before the + lines")
                cur.old_lines.append(body)
            else:
                if cur.new_lines and last != "+":
                    raise TableError(f"{path}:{no}: the new text's + lines must come together")
                cur.new_lines.append(body)
            last = kind
            continue
        for field in ("fault", "change", "not counted"):
            if text.startswith(field + ":"):
                attr = field.replace(" ", "_")
                if getattr(cur, attr) is not None:
                    raise TableError(f"{path}:{no}: a second {field}: line")
                value = text[len(field) + 1:].strip()
                if not value:
                    raise TableError(f"{path}:{no}: {field}: says nothing")
                setattr(cur, attr, value)
                last = field
                break
        else:
            raise TableError(f"{path}:{no}: not a header, a field, a comment or a - or + line: {text!r}")
    finish()
    return entries


def format_entry(e):
    """The block of one entry, as parse_table reads it."""
    out = [f"[{e.id}] {e.file}"]
    if e.fault is not None:
        out.append(f"fault: {e.fault}")
    if e.change is not None:
        out.append(f"change: {e.change}")
    if e.not_counted is not None:
        out.append(f"not counted: {e.not_counted}")
    out += [("- " + l) if l else "-" for l in e.old_lines]
    out += [("+ " + l) if l else "+" for l in e.new_lines]
    return "\n".join(out) + "\n"


def retarget_table(path, moves):
    """Rewrites the file field of the entries in moves ({entry: new file})."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for e, new_file in moves.items():
        text = lines[e.line - 1]
        assert HEADER.match(text) and HEADER.match(text).group(1) == e.id, (e.id, text)
        lines[e.line - 1] = f"[{e.id}] {new_file}"
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


# ---------------------------------------------------------------- matching
# A mutant's old text is matched with whitespace normalised: a run of blanks
# and line breaks in it matches any run of blanks and line breaks in the file
# (so a line reformatted keeps its mutants). Whitespace at its start or end
# only asks that the match stand after or before whitespace (or the file's
# edge), and is left out of the match, as it is left out of the new text:
# the new text replaces the matched span of the file, and the file's own
# whitespace around it stays.

def pattern_of(old):
    parts = re.split(r"\s+", old.strip())
    rx = r"\s+".join(re.escape(p) for p in parts)
    if old[:1].isspace():
        rx = r"(?<!\S)" + rx
    if old[-1:].isspace():
        rx += r"(?!\S)"
    return re.compile(rx)


def replacement_of(old, new):
    if old[:1].isspace():
        new = new.lstrip()
    if old[-1:].isspace():
        new = new.rstrip()
    return new


def source_files(src):
    """Every source file under src/src, as paths relative to it."""
    root = os.path.join(src, "src")
    found = []
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                found.append(os.path.relpath(os.path.join(folder, name), root))
    return found


class Texts:
    """The text of the files under src/, read once."""

    def __init__(self, src):
        self.src, self.cache, self._all = src, {}, None

    def get(self, rel):
        if rel not in self.cache:
            path = os.path.join(self.src, "src", rel)
            try:
                with open(path, encoding="utf-8", newline="") as f:
                    self.cache[rel] = f.read()
            except (FileNotFoundError, IsADirectoryError):
                self.cache[rel] = None
        return self.cache[rel]

    def all(self):
        if self._all is None:
            self._all = source_files(self.src)
        return self._all


class Place:
    """Where a table mutant's old text is: status is "found", "moved" (found
    once in another file than its own), or "stale" (why says why)."""

    def __init__(self, status, file=None, span=None, line=None, why=""):
        self.status, self.file, self.span, self.line, self.why = status, file, span, line, why


def locate(texts, e):
    rx = pattern_of(e.old)
    text = texts.get(e.file)
    spans = [m.span() for m in rx.finditer(text)] if text is not None else []
    if len(spans) == 1:
        return Place("found", e.file, spans[0], text.count("\n", 0, spans[0][0]) + 1)
    if len(spans) > 1:
        lines = ", ".join(str(text.count("\n", 0, s) + 1) for s, _ in spans)
        return Place("stale", why=f"found {len(spans)} times in src/{e.file} (lines {lines})")
    elsewhere = []
    for rel in texts.all():
        if rel == e.file:
            continue
        other = texts.get(rel)
        found = [m.span() for m in rx.finditer(other)]
        if found:
            elsewhere.append((rel, found))
    missing = "no such file" if text is None else "not found"
    if len(elsewhere) == 1 and len(elsewhere[0][1]) == 1:
        rel, (span,) = elsewhere[0]
        other = texts.get(rel)
        return Place("moved", rel, span, other.count("\n", 0, span[0]) + 1,
                     why=f"moved to {rel} ({missing} in src/{e.file})")
    if not elsewhere:
        return Place("stale", why=f"{missing} in src/{e.file}, nor anywhere else under src/")
    return Place("stale", why=f"{missing} in src/{e.file}; found in " + ", ".join(
        f"src/{rel} ({len(found)}x)" for rel, found in elsewhere))


def check_table(texts, entries, out=sys.stdout):
    """Prints every table mutant that is not found once in its own file;
    returns {entry: Place} for all of them."""
    places, moved, stale = {}, 0, 0
    for e in entries:
        if e.generated:
            continue
        p = locate(texts, e)
        places[e] = p
        if p.status == "found":
            text = texts.get(p.file)
            a, b = p.span
            if text[a:b] == replacement_of(e.old, e.new):
                p.status, p.why = "stale", "its new text is what the file already says"
        if p.status == "moved":
            moved += 1
            print(f"{e.id}: {p.why}, line {p.line}", file=out)
        elif p.status == "stale":
            stale += 1
            print(f"{e.id}: stale: {p.why}", file=out)
    found = len(places) - moved - stale
    print(f"{len(places)} mutants: {found} in place, {moved} moved, {stale} stale", file=out)
    return places


# ---------------------------------------------------------------- build and suite

def run(cmd, cwd=None, env=None, timeout=None):
    p = subprocess.run(cmd, cwd=cwd, env=env, capture_output=True, text=True, timeout=timeout,
                       errors="replace")
    return p.returncode, p.stdout + p.stderr


def nice(cmd):
    return ["nice", "-n", "10"] + cmd


def fast_linker():
    """-fuse-ld=X for the quickest linker that the C++ compiler can use here, or None."""
    compiler = os.environ.get("CXX") or shutil.which("c++") or "c++"
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "probe.cpp")
        with open(source, "w") as f:
            f.write("int main() { return 0; }\n")
        for name in ("mold", "lld", "gold"):
            if not shutil.which("ld." + name) and not shutil.which(name):
                continue
            rc, _ = run([compiler, f"-fuse-ld={name}", source, "-o", os.path.join(tmp, "probe")])
            if rc == 0:
                return f"-fuse-ld={name}"
    return None


def configure_options():
    """What the mutation build adds to the project's own configuration: the
    same code, built sooner. ccache (a restored file compiles from the cache),
    the quickest linker found, and RelWithDebInfo's -O2 without -g (debug
    information changes no instruction, but costs compile and link time)."""
    opts = ["-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"]
    if shutil.which("ccache"):
        opts.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    linker = fast_linker()
    if linker:
        opts += [f"-DCMAKE_EXE_LINKER_FLAGS={linker}", f"-DCMAKE_SHARED_LINKER_FLAGS={linker}"]
    return opts


RESULT_LINE = re.compile(r"^\s*\d+/\d+ Test\s+#\d+: (\S+) \.*\s*(.*?)\s+([\d.]+) sec\s*$")


def parse_ctest(out):
    """{test: (outcome, seconds)} from ctest's output; outcome is "Passed",
    "Skipped", "Not Run" or the failure ctest names ("Failed", "Timeout",
    "Exception: SegFault", ...)."""
    results = {}
    for line in out.splitlines():
        m = RESULT_LINE.match(line)
        if m:
            outcome = m.group(2).strip().lstrip("*").strip()
            if outcome.startswith("Skipped"):
                outcome = "Skipped"
            elif outcome.startswith("Not Run"):
                outcome = "Not Run"
            results[m.group(1)] = (outcome, float(m.group(3)))
    return results


class Stage:
    def __init__(self, tests, targets):
        self.tests, self.targets = tests, targets  # targets None: the whole build


class Outcome:
    def __init__(self, status, failed=(), functions=(), ran=0, detail=""):
        self.status, self.failed, self.functions = status, list(failed), list(functions)
        self.ran, self.detail = ran, detail


class Suite:
    """The project's build folder and its ctest suite, run in stages."""

    def __init__(self, src, build, jobs, first_failure, log=print, verbose=False):
        self.src, self.build, self.jobs, self.verbose = src, build, str(jobs), verbose
        self.first_failure, self.log = first_failure, log
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", VELMORA_WAIT_SECONDS="15")

    # -- the build folder
    def configure_only(self):
        """Configures the build (our options when it is new) and asks CMake
        for its code model and the compile commands."""
        query = os.path.join(self.build, ".cmake", "api", "v1", "query", "codemodel-v2")
        os.makedirs(os.path.dirname(query), exist_ok=True)
        open(query, "a").close()
        fresh = not os.path.exists(os.path.join(self.build, "CMakeCache.txt"))
        cmd = ["cmake", "-S", self.src, "-B", self.build, "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"]
        if fresh:
            cmd += configure_options()
        rc, out = run(nice(cmd))
        if rc:
            sys.exit("cmake failed:\n" + out[-3000:])
        if fresh:
            self.log("configured " + self.build + ": " + " ".join(shlex.quote(c) for c in cmd[5:]))
        self._read_codemodel()

    def prepare(self):
        """configure_only(), then builds everything and learns the suite: its
        tests, what each runs, and how long each takes unmutated."""
        self.configure_only()
        rc, out = self.build_targets(None)
        if rc:
            sys.exit("the unmutated tree does not build:\n" + out[-3000:])
        self._read_tests()
        start = time.time()
        rc, out = run(nice(["ctest", "-j" + self.jobs, "--output-on-failure", "--timeout", "120"]),
                      cwd=self.build, env=self.env, timeout=3600)
        results = parse_ctest(out)
        bad = [t for t, (o, _) in results.items() if o not in ("Passed", "Skipped")]
        if rc or bad or len(results) != len(self.tests):
            sys.exit("the unmutated suite does not pass (" + ", ".join(bad) + "):\n" + out[-3000:])
        self.baseline = results
        self.baseline_skipped = {t for t, (o, _) in results.items() if o == "Skipped"}
        self.log(f"the suite: {len(self.tests)} tests, {time.time() - start:.0f} s unmutated"
                 + (f"; skipped here: {', '.join(sorted(self.baseline_skipped))}"
                    if self.baseline_skipped else ""))

    def _read_codemodel(self):
        reply = os.path.join(self.build, ".cmake", "api", "v1", "reply")
        index = sorted(f for f in os.listdir(reply) if f.startswith("index-"))[-1]
        with open(os.path.join(reply, index)) as f:
            objects = json.load(f)["objects"]
        model_file = next(o["jsonFile"] for o in objects if o["kind"] == "codemodel")
        with open(os.path.join(reply, model_file)) as f:
            model = json.load(f)
        config = model["configurations"][0]
        source_root = model["paths"]["source"]
        self.targets = {}      # name -> {"artifacts", "deps", "sources"}
        ids = {}
        for t in config["targets"]:
            with open(os.path.join(reply, t["jsonFile"])) as f:
                target = json.load(f)
            ids[target["id"]] = target["name"]
            self.targets[target["name"]] = {
                "artifacts": {os.path.realpath(os.path.join(self.build, a["path"]))
                              for a in target.get("artifacts", [])},
                "deps": [d["id"] for d in target.get("dependencies", [])],
                "sources": {os.path.realpath(os.path.join(source_root, s["path"]))
                            for s in target.get("sources", [])},
            }
        for t in self.targets.values():
            t["deps"] = [ids[d] for d in t["deps"] if d in ids]

    def closure(self, name):
        seen, todo = set(), [name]
        while todo:
            n = todo.pop()
            if n not in seen and n in self.targets:
                seen.add(n)
                todo += self.targets[n]["deps"]
        return seen

    def _read_tests(self):
        rc, out = run(["ctest", "--show-only=json-v1"], cwd=self.build)
        if rc:
            sys.exit("ctest --show-only failed:\n" + out[-3000:])
        info = json.loads(out)
        by_artifact = {a: n for n, t in self.targets.items() for a in t["artifacts"]}
        self.tests = []     # (name, target or None)
        for test in info["tests"]:
            command = test.get("command") or []
            program = os.path.realpath(command[0]) if command else ""
            self.tests.append((test["name"], by_artifact.get(program)))

    def build_targets(self, targets):
        cmd = ["cmake", "--build", self.build, "-j" + self.jobs]
        if targets:
            cmd += ["--target"] + sorted(targets)
        return run(nice(cmd))

    # -- the stages
    def stages(self, mutated):
        """The suite in three stages for a mutant of the file mutated
        (absolute path), each building only what its tests run:
          1. quick tests whose program links that file (at most about 2 s
             of them as ctest has timed them, the programs that link the
             least first);
          2. the other tests whose program links it;
          3. the rest, after the whole build, in one ctest run: the tests of
             programs that do not link it (they ran unmutated, but a mutant
             is called survived only when every test ran), and the tests that
             run no program of their own (scripts)."""
        real = os.path.realpath(mutated)
        holders = {n for n, t in self.targets.items() if real in t["sources"]}
        affected, rest = [], []
        for name, target in self.tests:
            if target is not None and (not holders or self.closure(target) & holders):
                affected.append((len(self.closure(target)), self.seconds(name), name, target))
            else:
                rest.append(name)
        affected.sort()
        first, later, seconds = [], [], 0.0
        for test in affected:
            if not first or seconds + test[1] <= 2.0:
                first.append(test)
                seconds += test[1]
            else:
                later.append(test)
        affected = later
        result = [Stage([a[2] for a in part], {a[3] for a in part})
                  for part in (first, affected) if part]
        if rest:
            result.append(Stage(rest, None))
        return result

    def seconds(self, name):
        """How long a test takes: ctest's running average over the runs of
        this build folder (Testing/Temporary/CTestCostData.txt), or its
        time in the unmutated run."""
        if not hasattr(self, "_costs"):
            self._costs = {}
            try:
                with open(os.path.join(self.build, "Testing", "Temporary", "CTestCostData.txt")) as f:
                    for line in f:
                        parts = line.split()
                        if line.startswith("---"):
                            break
                        if len(parts) == 3:
                            self._costs[parts[0]] = float(parts[2])
            except (OSError, ValueError):
                pass
        return self._costs.get(name, self.baseline.get(name, ("", 0.0))[1])

    def run_stage(self, stage):
        numbers = [str(i + 1) for i, (n, _) in enumerate(self.tests) if n in stage.tests]
        cmd = ["ctest", "-j" + self.jobs, "--output-on-failure", "--timeout", "120",
               "-I", "0,0,0," + ",".join(numbers)]
        if self.first_failure:
            cmd.append("--stop-on-failure")
        p = subprocess.run(nice(cmd), cwd=self.build, capture_output=True, text=True, env=self.env,
                           errors="replace", timeout=3600)
        return p.returncode, p.stdout + p.stderr

    def try_mutant(self, mutated):
        """Builds and tests the tree as it is now (one file mutated). Status:
        killed, survived (every test ran and passed), build-failed, or
        incomplete (a test that ran unmutated did not run: not judged)."""
        failed, functions, ran = [], [], 0
        for number, stage in enumerate(self.stages(mutated)):
            t0 = time.time()
            rc, out = self.build_targets(stage.targets)
            t1 = time.time()
            if self.verbose:
                self.log(f"    stage {number + 1}: built {' '.join(sorted(stage.targets or ['all']))} "
                         f"in {t1 - t0:.1f} s")
            if rc:
                return Outcome("build-failed", failed, functions, ran,
                               detail=f"stage {number + 1}: " + first_error(out))
            rc, out = self.run_stage(stage)
            if self.verbose:
                self.log(f"    stage {number + 1}: ran {' '.join(stage.tests)} in {time.time() - t1:.1f} s")
            results = parse_ctest(out)
            not_run = []
            for name in stage.tests:
                outcome = results.get(name, ("missing", 0))[0]
                if outcome == "Passed" or (outcome == "Skipped" and name in self.baseline_skipped):
                    ran += 1
                elif outcome in ("Skipped", "Not Run", "missing"):
                    not_run.append(f"{name}: {outcome}")
                else:
                    failed.append(name if outcome == "Failed" else f"{name}[{outcome}]")
            functions += re.findall(r"FAIL!  : (\w+::\w+)", out)
            if not failed and (not_run or rc):
                return Outcome("incomplete", ran=ran, detail=f"stage {number + 1}: " + (
                    ", ".join(not_run) or "ctest failed without a failing test"))
            if failed and self.first_failure:
                break
        if failed:
            return Outcome("killed", sorted(set(failed)), sorted(set(functions)), ran)
        if ran != len(self.tests):
            return Outcome("incomplete", ran=ran, detail=f"{ran} of {len(self.tests)} tests ran")
        return Outcome("survived", ran=ran)


def first_error(out):
    for line in out.splitlines():
        if " error: " in line or line.startswith("error:") or "undefined reference" in line:
            return line.strip()[:300]
    return out.strip().splitlines()[-1][:300] if out.strip() else "no output"


def write_file(path, data):
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(path, mode, **({} if mode == "wb" else {"encoding": "utf-8", "newline": ""})) as f:
        f.write(data)


# ---------------------------------------------------------------- generated mutants
# --generate reads the real syntax tree (libclang's Python bindings) of every
# .cpp under src/, with the compile command CMake wrote for it, and the
# headers from src/ that they include (each mutant once). The operators:
#   relational  < <= > >= == != replaced (also QString's and the like)
#   arithmetic  + - * / % replaced
#   logical     && and || swapped
#   assignment  += -= *= /= ... replaced; += and -= by =; = by += on a number
#   literal     an integer literal one more or one less; true and false swapped
#   condition   the condition of if, while, do, for and ?: negated
#   call        a statement that is only a call, dropped
#   return      an if without else whose branch ends in a return, dropped

RELATIONAL = {"<": ["<=", ">="], "<=": ["<", ">"], ">": [">=", "<="], ">=": [">", "<"],
              "==": ["!="], "!=": ["=="]}
ARITHMETIC = {"+": ["-"], "-": ["+"], "*": ["/"], "/": ["*"], "%": ["*"]}
LOGICAL = {"&&": ["||"], "||": ["&&"]}
ASSIGNMENT = {"+=": ["-=", "="], "-=": ["+=", "="], "*=": ["/="], "/=": ["*="], "%=": ["*="],
              "|=": ["&="], "&=": ["|="], "^=": ["|="], "<<=": [">>="], ">>=": ["<<="]}
BINARY = {**{k: ("relational", v) for k, v in RELATIONAL.items()},
          **{k: ("arithmetic", v) for k, v in ARITHMETIC.items()},
          **{k: ("logical", v) for k, v in LOGICAL.items()},
          **{k: ("assignment", v) for k, v in ASSIGNMENT.items()}}
# The twips of the layout tables: the numbers the screens pass to the control
# factories, to twipsRect and px, and to a screen's own size. A twip is a
# fifteenth of a pixel, so most shifts by one change nothing on the screen,
# and the tests hold every layout to its invariants (inside the window, no
# overlap, captions whole), never to these numbers: the literal operator
# leaves them out, as the table's M43 is not counted.
TWIPS_CALLS = {"label", "heading", "lineBox", "listBox", "button", "MultiLineBox",
               "horizontalSeparator", "verticalSeparator", "twipsRect", "px", "Screen"}
OPERATORS = ("relational", "arithmetic", "logical", "assignment", "literal", "condition",
             "call", "return")


def load_clang():
    try:
        import clang.cindex as ci
    except ImportError:
        # Debian's python3-clang-14 lives beside the system's Python, which
        # may not be the python3 first on PATH.
        for folder in ("/usr/lib/python3/dist-packages",):
            if os.path.isdir(os.path.join(folder, "clang")) and folder not in sys.path:
                sys.path.append(folder)
        try:
            import clang.cindex as ci
        except ImportError:
            sys.exit("--generate needs libclang's Python bindings: apt-get install python3-clang-14 "
                     "libclang-14-dev")
    if not ci.Config.loaded:
        for lib in ("/usr/lib/llvm-14/lib/libclang.so.1", "/usr/lib/llvm-14/lib/libclang.so",
                    "/usr/lib/x86_64-linux-gnu/libclang-14.so.1"):
            if os.path.exists(lib):
                ci.Config.set_library_file(lib)
                break
    return ci


class Candidate:
    def __init__(self, rel, start, end, old, new, op, line, tu):
        self.rel, self.start, self.end = rel, start, end
        self.old, self.new, self.op, self.line, self.tu = old, new, op, line, tu
        self.id, self.context = None, None

    def key(self):
        return (self.rel, self.start, self.end, self.new)

    def change(self):
        """What the mutant changes, for a person: a dropped statement, or the
        changed text with a little of its line around it."""
        def short(text, limit=70):
            text = " ".join(text.split())
            return text if len(text) <= limit else text[:limit - 3] + "..."
        if self.op == "call":
            return f"drop call `{short(self.old)}`"
        if self.op == "return":
            return f"drop `{short(self.old)}`"
        if "\n" in self.old or not self.context:
            return f"`{short(self.old)}` -> `{short(self.new)}`"
        before, after = self.context
        return f"`{short(before + self.old + after)}` -> `{short(before + self.new + after)}`"


def stable_id(rel, data, c):
    """G and 8 hex digits: the file, the whitespace-normalised text of the lines
    the mutant touches, where in them it starts, what it changes and into
    what; a line moved up or down keeps its mutants' ids."""
    line_start = data.rfind(b"\n", 0, c.start) + 1
    line_end = data.find(b"\n", c.end)
    line_end = len(data) if line_end < 0 else line_end

    def norm(b):
        return b" ".join(b.split())
    key = b"\0".join([rel.encode(), norm(data[line_start:line_end]),
                      norm(data[line_start:c.start]), c.op.encode(), norm(c.old.encode()),
                      norm(c.new.encode())])
    return "G" + hashlib.sha1(key).hexdigest()[:8]


def compile_args(entry):
    """The compiler's arguments of one compile_commands.json entry, for libclang."""
    args = entry.get("arguments") or shlex.split(entry["command"])
    out, skip = [], False
    for a in args[1:]:
        if skip:
            skip = False
            continue
        if a in ("-o", "-c"):
            skip = a == "-o"
            continue
        if a == entry["file"] or a.startswith("-fdiagnostics") or a.startswith("-W"):
            continue
        out.append(a)
    resource = "/usr/lib/llvm-14/lib/clang"
    if os.path.isdir(resource):
        versions = sorted(os.listdir(resource))
        if versions:
            out += ["-resource-dir", os.path.join(resource, versions[-1])]
    return out + ["-Wno-everything"]


class Generator:
    def __init__(self, src, build, log=print):
        self.ci = load_clang()
        self.src, self.build, self.log = src, build, log
        self.root = os.path.realpath(os.path.join(src, "src")) + os.sep
        self.index = self.ci.Index.create()
        self.data = {}
        with open(os.path.join(build, "compile_commands.json")) as f:
            self.commands = {os.path.realpath(e["file"]): e for e in json.load(f)}

    def file_bytes(self, path):
        if path not in self.data:
            with open(path, "rb") as f:
                self.data[path] = f.read()
        return self.data[path]

    def units(self):
        found = []
        for rel in source_files(self.src):
            path = os.path.realpath(os.path.join(self.src, "src", rel))
            if rel.endswith(".cpp"):
                if path in self.commands:
                    found.append(path)
                else:
                    self.log(f"no compile command for src/{rel}: not mutated")
        return found

    def parse(self, path, unsaved=None):
        return self.index.parse(path, args=compile_args(self.commands[path]),
                                unsaved_files=unsaved or [])

    def candidates(self, only_files=None):
        """Every mutant (filtered by only_files), in a fixed order. Kept in
        <build>/mutation-candidates.json for as long as the files under src/,
        the compile commands and this script are unchanged."""
        key = hashlib.sha1()
        for path in (os.path.abspath(__file__), os.path.join(self.build, "compile_commands.json")):
            with open(path, "rb") as f:
                key.update(f.read())
        for rel in source_files(self.src):
            key.update(rel.encode() + b"\0" + self.file_bytes(os.path.join(self.root, rel)))
        cache = os.path.join(self.build, "mutation-candidates.json")
        result = None
        try:
            with open(cache) as f:
                kept = json.load(f)
            if kept.get("key") == key.hexdigest():
                result = []
                for d in kept["candidates"]:
                    c = Candidate(d["rel"], d["start"], d["end"], d["old"], d["new"], d["op"],
                                  d["line"], d["tu"])
                    c.id, c.context = d["id"], tuple(d["context"]) if d["context"] else None
                    result.append(c)
        except (OSError, ValueError, KeyError):
            result = None
        if result is None:
            result = self._all_candidates()
            with open(cache, "w") as f:
                json.dump({"key": key.hexdigest(), "candidates": [
                    {"rel": c.rel, "start": c.start, "end": c.end, "old": c.old, "new": c.new,
                     "op": c.op, "line": c.line, "tu": c.tu, "id": c.id, "context": c.context}
                    for c in result]}, f)
        if only_files:
            result = [c for c in result if any(fnmatch.fnmatch(c.rel, g) for g in only_files)]
        return result

    def _all_candidates(self):
        seen, result = set(), []
        for path in self.units():
            tu = self.parse(path)
            errors = [d for d in tu.diagnostics if d.severity >= 3]
            if errors:
                self.log(f"libclang: {len(errors)} errors in {os.path.relpath(path, self.src)} "
                         f"(first: {errors[0].spelling}); its mutants may not compile")
            for c in self._walk_unit(tu, path):
                if c.key() not in seen:
                    seen.add(c.key())
                    result.append(c)
        result.sort(key=lambda c: (c.rel, c.start, c.end, c.op, c.new))
        ids = {}
        for c in result:
            c.id = stable_id(c.rel, self.file_bytes(os.path.join(self.root, c.rel)), c)
            ids[c.id] = ids.get(c.id, 0) + 1
        # The same change on two identical lines of one file: numbered in order.
        count = {}
        for c in result:
            if ids[c.id] > 1:
                count[c.id] = count.get(c.id, 0) + 1
                c.id = f"{c.id}.{count[c.id]}"
        return result

    # -- the walk
    def _in_src(self, cursor):
        f = cursor.extent.start.file
        return f is not None and os.path.realpath(f.name).startswith(self.root)

    def _walk_unit(self, tu, unit):
        out = []
        for child in tu.cursor.get_children():
            if self._in_src(child):
                self._walk(child, None, out, unit)
        return out

    def _walk(self, cursor, parent, out, unit, call=""):
        K = self.ci.CursorKind
        kind = cursor.kind
        try:
            if kind in (K.BINARY_OPERATOR, K.COMPOUND_ASSIGNMENT_OPERATOR):
                self._binary(cursor, out, unit)
            elif kind == K.CALL_EXPR and cursor.spelling.startswith("operator"):
                self._binary(cursor, out, unit, overloaded=True)
            elif kind == K.INTEGER_LITERAL and call not in TWIPS_CALLS:
                self._integer(cursor, out, unit)
            elif kind == K.CXX_BOOL_LITERAL_EXPR:
                self._boolean(cursor, out, unit)
            if kind in (K.IF_STMT, K.WHILE_STMT, K.DO_STMT, K.FOR_STMT, K.CONDITIONAL_OPERATOR):
                self._condition(cursor, out, unit)
            if kind == K.IF_STMT:
                self._return_branch(cursor, out, unit)
            if kind in (K.COMPOUND_STMT, K.IF_STMT, K.WHILE_STMT, K.DO_STMT, K.FOR_STMT,
                        K.CXX_FOR_RANGE_STMT):
                self._call_statements(cursor, out, unit)
        except ValueError:
            pass  # a cursor kind this libclang does not know
        if kind == K.CALL_EXPR and not cursor.spelling.startswith("operator"):
            call = cursor.spelling
        for child in cursor.get_children():
            self._walk(child, cursor, out, unit, call)

    def _span(self, cursor):
        """(rel, start, end, bytes of the file) of a cursor written in a file under src/."""
        ext = cursor.extent
        if ext.start.file is None or ext.end.file is None or ext.start.file.name != ext.end.file.name:
            return None
        path = os.path.realpath(ext.start.file.name)
        if not path.startswith(self.root):
            return None
        return (os.path.relpath(path, self.root), ext.start.offset, ext.end.offset,
                self.file_bytes(path))

    def _add(self, out, rel, data, start, end, new, op, unit):
        old = data[start:end].decode("utf-8", "replace")
        if old == new or end < start:
            return
        line = data.count(b"\n", 0, start) + 1
        c = Candidate(rel, start, end, old, new, op, line, unit)
        # Up to 25 bytes of the line on either side, cut at a blank.
        line_start = data.rfind(b"\n", 0, start) + 1
        line_end = data.find(b"\n", end)
        line_end = len(data) if line_end < 0 else line_end
        before = data[max(line_start, start - 25):start]
        after = data[end:min(line_end, end + 25)]
        if start - 25 > line_start and b" " in before:
            before = b"..." + before[before.index(b" ") + 1:]
        if end + 25 < line_end and b" " in after:
            after = after[:after.rindex(b" ")] + b"..."
        c.context = (before.lstrip().decode("utf-8", "replace"), after.rstrip().decode("utf-8", "replace"))
        out.append(c)

    def _tokens(self, cursor, data):
        """(spelling, start, end) of the cursor's tokens as written in the file."""
        toks = []
        for t in cursor.get_tokens():
            s, e = t.extent.start.offset, t.extent.end.offset
            if data[s:e].decode("utf-8", "replace") != t.spelling:
                return None  # from a macro: not text of this file
            toks.append((t.spelling, s, e))
        return toks

    def _binary(self, cursor, out, unit, overloaded=False):
        span = self._span(cursor)
        if not span:
            return
        rel, start, end, data = span
        kids = [k for k in cursor.get_children()]
        if overloaded:
            name = cursor.spelling[len("operator"):]
            if name not in BINARY or len(kids) < 2:
                return
            lhs, rhs = kids[0], kids[-1]
        else:
            if len(kids) != 2:
                return
            lhs, rhs = kids
        toks = self._tokens(cursor, data)
        if not toks:
            return
        lo, hi = lhs.extent.end.offset, rhs.extent.start.offset
        ops = [t for t in toks if lo <= t[1] and t[2] <= hi and (t[0] in BINARY or t[0] == "=")]
        if len(ops) != 1:
            return
        spelling, s, e = ops[0]
        if spelling == "=":
            if overloaded:
                return
            number = lhs.type.get_canonical().kind.name
            if number in ("BOOL", "POINTER") or not any(
                    w in number for w in ("INT", "SHORT", "LONG", "CHAR", "FLOAT", "DOUBLE")):
                return
            family, replacements = "assignment", ["+="]
        else:
            if overloaded and spelling != cursor.spelling[len("operator"):]:
                return
            family, replacements = BINARY[spelling]
        for r in replacements:
            self._add(out, rel, data, s, e, r, family, unit)

    def _integer(self, cursor, out, unit):
        span = self._span(cursor)
        if not span:
            return
        rel, start, end, data = span
        text = data[start:end].decode("ascii", "replace")
        m = re.fullmatch(r"(0[xX][0-9a-fA-F']+|0[bB][01']+|0|[1-9][0-9']*)([uUlLzZ]*)", text)
        if not m:
            return
        digits, suffix = m.group(1).replace("'", ""), m.group(2)
        value = int(digits, 0)
        for v in (value + 1, value - 1):
            if v < 0:
                continue
            if digits[:2] in ("0x", "0X"):
                width = len(digits) - 2
                body = format(v, "x" if any(ch.islower() for ch in digits[2:]) else "X")
                spelled = digits[:2] + body.rjust(width, "0")
            elif digits[:2] in ("0b", "0B"):
                spelled = digits[:2] + format(v, "b")
            else:
                spelled = str(v)
            self._add(out, rel, data, start, end, spelled + suffix, "literal", unit)

    def _boolean(self, cursor, out, unit):
        span = self._span(cursor)
        if not span:
            return
        rel, start, end, data = span
        text = data[start:end]
        if text in (b"true", b"false"):
            self._add(out, rel, data, start, end, "false" if text == b"true" else "true",
                      "literal", unit)

    def _condition(self, cursor, out, unit):
        K = self.ci.CursorKind
        span = self._span(cursor)
        if not span:
            return
        rel, start, end, data = span
        if cursor.kind == K.CONDITIONAL_OPERATOR:
            cond = next(iter(cursor.get_children()), None)
            if cond is None:
                return
            s, e = cond.extent.start.offset, cond.extent.end.offset
        else:
            if any(k.kind in (K.VAR_DECL, K.DECL_STMT) for k in cursor.get_children()) \
                    and cursor.kind != K.FOR_STMT:
                return  # if (T x = ...): a declaration, not an expression
            toks = self._tokens(cursor, data)
            if not toks:
                return
            if cursor.kind == K.DO_STMT:
                whiles = [i for i, t in enumerate(toks) if t[0] == "while"]
                if not whiles:
                    return
                open_at = whiles[-1] + 1
            else:
                open_at = 1
                if len(toks) > 1 and toks[1][0] == "constexpr":
                    return
            if len(toks) <= open_at or toks[open_at][0] != "(":
                return
            depth, close_at, semis = 0, None, []
            for i in range(open_at, len(toks)):
                if toks[i][0] in ("(", "[", "{"):
                    depth += 1
                elif toks[i][0] in (")", "]", "}"):
                    depth -= 1
                    if depth == 0:
                        close_at = i
                        break
                elif toks[i][0] == ";" and depth == 1:
                    semis.append(i)
            if close_at is None:
                return
            if cursor.kind == K.FOR_STMT:
                if len(semis) != 2 or semis[1] == semis[0] + 1:
                    return  # a range-for, or no condition
                first, last = semis[0] + 1, semis[1] - 1
            else:
                first = (semis[-1] + 1) if semis else open_at + 1
                last = close_at - 1
            if last < first:
                return
            s, e = toks[first][1], toks[last][2]
        text = data[s:e].decode("utf-8", "replace")
        self._add(out, rel, data, s, e, f"!({text})", "condition", unit)

    def _statements(self, cursor):
        """The statements directly under a compound or a loop's or an if's body."""
        K = self.ci.CursorKind
        kids = list(cursor.get_children())
        if cursor.kind == K.COMPOUND_STMT:
            return kids
        if cursor.kind == K.IF_STMT:
            return [k for k in kids[1:] if k.kind != K.COMPOUND_STMT]
        return [k for k in kids[-1:] if k.kind != K.COMPOUND_STMT]

    def _call_statements(self, cursor, out, unit):
        K = self.ci.CursorKind
        for stmt in self._statements(cursor):
            inner = stmt
            while inner.kind == K.UNEXPOSED_EXPR:
                kids = list(inner.get_children())
                if len(kids) != 1:
                    break
                inner = kids[0]
            if inner.kind != K.CALL_EXPR:
                continue
            span = self._span(stmt)
            if not span:
                continue
            rel, start, end, data = span
            after = data[end:end + 200].lstrip()
            if not after.startswith(b";"):
                continue  # not an expression statement of its own
            self._add(out, rel, data, start, end, "", "call", unit)

    def _return_branch(self, cursor, out, unit):
        K = self.ci.CursorKind
        kids = list(cursor.get_children())
        if len(kids) != 2 or kids[0].kind in (K.VAR_DECL, K.DECL_STMT):
            return  # has an else, an init-statement or a declaration
        then = kids[1]
        last = then
        if then.kind == K.COMPOUND_STMT:
            body = list(then.get_children())
            if not body:
                return
            last = body[-1]
        if last.kind != K.RETURN_STMT:
            return
        span = self._span(cursor)
        if not span:
            return
        rel, start, end, data = span
        toks = self._tokens(cursor, data)
        if not toks or toks[0][0] != "if":
            return
        self._add(out, rel, data, start, end, "", "return", unit)

    def compiles(self, c, mutated):
        """Whether libclang finds no error in the mutant's unit (a cheap first
        look; the build has the last word)."""
        path = os.path.join(self.root, c.rel)
        unsaved = [(path, mutated.decode("utf-8", "replace"))]
        tu = self.parse(c.tu, unsaved)
        errors = [d for d in tu.diagnostics if d.severity >= 3]
        return not errors, (errors[0].spelling if errors else "")


# ---------------------------------------------------------------- the runs

def rate_line(killed, judged):
    return f"kill rate: {killed}/{judged}" + (f" = {100 * killed / judged:.1f}%" if judged else "")


def run_table(args, entries, suite, texts):
    places = check_table(texts, entries)
    mutants = [e for e in entries if not e.generated]
    if args.only:
        wanted = set(args.only.split(","))
        mutants = [e for e in mutants if e.id in wanted]
    results_path = args.results or os.path.join(args.src, "mutation-results.tsv")
    rows = []
    with open(results_path, "w") as results:
        results.write("id\tfile:line\tchange\tstatus\tkilled_by\tfailing_functions\tseconds\tnote\n")
        for e in mutants:
            p = places[e]
            if p.status == "stale":
                rows.append((e, f"src/{e.file}", "stale", [], p.why))
                results.write(f"{e.id}\tsrc/{e.file}\t{e.fault}\tstale\t\t\t0\t{p.why}\n")
                results.flush()
                print(f"{e.id} stale: {p.why}", flush=True)
                continue
            path = os.path.join(args.src, "src", p.file)
            original = texts.get(p.file)
            a, b = p.span
            start = time.time()
            try:
                write_file(path, original[:a] + replacement_of(e.old, e.new) + original[b:])
                outcome = suite.try_mutant(path)
            finally:
                write_file(path, original)
            secs = int(time.time() - start)
            where = f"src/{p.file}:{p.line}"
            note = "; ".join(x for x in (p.why, outcome.detail) if x)
            rows.append((e, where, outcome.status, outcome.failed, note))
            results.write(f"{e.id}\t{where}\t{e.fault}\t{outcome.status}\t{','.join(outcome.failed)}\t"
                          f"{','.join(outcome.functions)}\t{secs}\t{note}\n")
            results.flush()
            print(f"{e.id} {where} {outcome.status} {','.join(outcome.failed)} ({secs}s)"
                  + (f" [{note}]" if note else ""), flush=True)
    suite.build_targets(None)  # leave the build matching the unmutated tree

    counted = [r for r in rows if r[2] in ("killed", "survived") and not r[0].not_counted]
    killed = [r for r in counted if r[2] == "killed"]
    print("\n" + rate_line(len(killed), len(counted)))
    for r in rows:
        if r[0].not_counted:
            print(f"not counted: {r[0].id} {r[2]} ({r[0].not_counted})")
    for r in rows:
        if r[2] not in ("killed", "survived"):
            print(f"{r[2]}: {r[0].id} {r[1]} {r[4]}")
    print("survivors:")
    for r in counted:
        if r[2] == "survived":
            print(f"  {r[0].id} {r[1]} {r[0].fault}")
    unique = {}
    for r in killed:
        if len(r[3]) == 1:
            unique.setdefault(r[3][0].split("[")[0], []).append(r[0].id)
    print("only killer of:" + (" (--first-failure: only the first failures are known)"
                               if args.first_failure else ""))
    for exe, ids in sorted(unique.items()):
        print(f"  {exe}: {', '.join(ids)}")
    print(f"results: {results_path}")
    return 0


def read_sample(path):
    """The lines of an earlier results file: its comments and header, and
    its rows by id, in their order."""
    if not os.path.exists(path):
        sys.exit(f"--update: no results file {path} to update")
    head, rows = [], {}
    for line in open(path):
        if line.startswith("#") or line.startswith("id\t"):
            head.append(line)
        elif line.strip():
            rows[line.split("\t", 1)[0]] = line
    return head, rows


def merge_sample(kept, update_path, path, judged):
    """Writes the rows just run over the earlier file's rows of the same ids
    and reports the whole sample's kill rate. An earlier survivor judged in
    the table since is not counted, as a run would report it."""
    head, rows = kept
    new_head, new_rows = read_sample(update_path)
    for i, line in rows.items():
        f = line.rstrip("\n").split("\t")
        if f[4] == "survived" and i in judged:
            f[4], f[7] = "not-counted", judged[i].not_counted
            rows[i] = "\t".join(f) + "\n"
    unknown = [i for i in new_rows if i not in rows]
    if unknown:
        print("--update: not in the earlier sample, left out: " + ", ".join(unknown))
    for i, line in new_rows.items():
        if i in rows:
            rows[i] = line
    with open(path, "w") as out:
        out.write(head[0])
        out.write("# rows run again with --update: " + ", ".join(i for i in new_rows if i in rows) + "\n")
        out.writelines(head[1:])
        out.writelines(rows.values())
    os.remove(update_path)
    status = [line.split("\t")[4] for line in rows.values()]
    killed, survived = status.count("killed"), status.count("survived")
    print(f"\nthe whole sample: {len(status) - status.count('does-not-compile')} compiling, "
          f"judged not counted: {status.count('not-counted')}")
    print(rate_line(killed, killed + survived))
    for line in rows.values():
        f = line.split("\t")
        if f[4] == "survived":
            print(f"  survived: {f[0]} {f[1]} {f[3]}")
    print(f"results: {path}")
    return 0


def run_generated(args, entries, suite, gen):
    judged = {e.id: e for e in entries if e.generated}
    ops = set(args.ops.split(",")) if args.ops else set(OPERATORS)
    unknown = ops - set(OPERATORS)
    if unknown:
        sys.exit(f"unknown operators {', '.join(sorted(unknown))}; known: {', '.join(OPERATORS)}")
    start = time.time()
    candidates = [c for c in gen.candidates(args.files.split(",") if args.files else None)
                  if c.op in ops]
    by_op = {}
    for c in candidates:
        by_op[c.op] = by_op.get(c.op, 0) + 1
    print(f"{len(candidates)} mutants under src/ ({', '.join(f'{k} {v}' for k, v in sorted(by_op.items()))}); "
          f"read in {time.time() - start:.0f} s", flush=True)
    if args.list:
        for c in candidates:
            print(f"{c.id}\tsrc/{c.rel}:{c.line}\t{c.op}\t{c.change()}")
        return 0
    if args.only:
        wanted = args.only.split(",")
        order = [c for w in wanted for c in candidates if c.id == w]
        missing = set(wanted) - {c.id for c in order}
        if missing:
            print("not among the mutants now: " + ", ".join(sorted(missing)))
        sample = len(order)
    else:
        # Each mutant's place in the draw depends on the seed and its own id
        # alone, so a change elsewhere in the code leaves the rest of the
        # sample as it was.
        order = sorted(candidates, key=lambda c: hashlib.sha1(
            f"{args.seed}:{c.id}".encode()).hexdigest())
        sample = args.sample
    results_path = args.results or os.path.join(args.src, "mutation-sample.tsv")
    kept = read_sample(results_path) if args.update else None
    if args.update:
        results_path += ".update"
    rows, discarded = [], 0
    with open(results_path, "w") as results:
        results.write(f"# --generate --seed {args.seed} --sample {sample}"
                      + (f" --ops {args.ops}" if args.ops else "")
                      + (f" --files {args.files}" if args.files else "")
                      + f"; {len(candidates)} mutants to draw from\n")
        results.write("id\tfile:line\toperator\tchange\tstatus\tkilled_by\tseconds\tnote\n")
        for c in order:
            if len(rows) >= sample:
                break
            path = os.path.join(gen.root, c.rel)
            original = gen.file_bytes(path)
            mutated = original[:c.start] + c.new.encode() + original[c.end:]
            t0 = time.time()
            ok, why = gen.compiles(c, mutated)
            if ok:
                try:
                    write_file(path, mutated)
                    outcome = suite.try_mutant(path)
                finally:
                    write_file(path, original)
                if outcome.status == "build-failed":
                    ok, why = False, outcome.detail
            secs = int(time.time() - t0)
            where = f"src/{c.rel}:{c.line}"
            if not ok:
                discarded += 1
                results.write(f"{c.id}\t{where}\t{c.op}\t{c.change()}\tdoes-not-compile\t\t{secs}\t{why}\n")
                results.flush()
                print(f"  ({c.id} {where} does not compile: {why[:120]})", flush=True)
                continue
            status = outcome.status
            judgement = judged.get(c.id)
            note = outcome.detail
            if judgement and status == "survived":
                status, note = "not-counted", judgement.not_counted
            elif judgement:
                note = f"judged not counted ({judgement.not_counted}) but {status}: check the judgement"
            rows.append((c, where, status, outcome.failed, note))
            results.write(f"{c.id}\t{where}\t{c.op}\t{c.change()}\t{status}\t{','.join(outcome.failed)}\t"
                          f"{secs}\t{note}\n")
            results.flush()
            print(f"{len(rows)}/{sample} {c.id} {where} {c.op} {c.change()}: {status} "
                  f"{','.join(outcome.failed)} ({secs}s)" + (f" [{note}]" if note else ""), flush=True)
    suite.build_targets(None)
    if kept is not None:
        return merge_sample(kept, results_path, results_path[:-len(".update")], judged)

    killed = [r for r in rows if r[2] == "killed"]
    survived = [r for r in rows if r[2] == "survived"]
    not_counted = [r for r in rows if r[2] == "not-counted"]
    other = [r for r in rows if r[2] not in ("killed", "survived", "not-counted")]
    print(f"\nrun: {len(rows)} compiling mutants (seed {args.seed}); not compiling, discarded: "
          f"{discarded}; judged not counted: {len(not_counted)}; neither killed nor survived: "
          f"{len(other)}")
    print(rate_line(len(killed), len(killed) + len(survived)))
    for r in other:
        print(f"  {r[2]}: {r[0].id} {r[1]} {r[4]}")
    for r in killed:
        if r[0].id in judged:
            print(f"  judged not counted, but killed: {r[0].id} {r[1]}: check the judgement")
    unknown = sorted(set(judged) - {c.id for c in candidates})
    if unknown and not args.ops and not args.files:
        print("judgements in the table that match no mutant now (the code changed): "
              + ", ".join(unknown))
    if survived:
        print("survivors (a survivor that no test can kill is judged once in the table, e.g.):")
        for r in survived:
            c = r[0]
            print(f"\n[{c.id}] {c.rel}\nchange: line {c.line}: {c.op}: {c.change()}\n"
                  f"not counted: equivalent: WHY")
    print(f"results: {results_path}")
    return 0


def main():
    ap = argparse.ArgumentParser(description="Mutation testing for Velmora "
                                 "(docs/development.md, \"Mutation testing\").")
    ap.add_argument("--src", help="a copy of Velmora to mutate (for --check: default this checkout)")
    ap.add_argument("--build", help="its build folder (default <src>/build-mutation)")
    ap.add_argument("--table", default=DEFAULT_TABLE, help="the table (default scripts/mutants.txt)")
    ap.add_argument("--only", help="run only these ids (M.. of the table, or G.. with --generate)")
    ap.add_argument("--update", action="store_true",
                    help="--generate --only: run these ids again and write their rows over the "
                         "same ids' rows of the results file")
    ap.add_argument("--list", action="store_true", help="print the mutants and stop")
    ap.add_argument("--check", action="store_true",
                    help="report the table's mutants not found once in their file; build nothing")
    ap.add_argument("--retarget", action="store_true",
                    help="with --check or a run: write a moved mutant's new file into the table")
    ap.add_argument("--jobs", default="1", help="parallel build and test jobs (default 1)")
    ap.add_argument("--first-failure", action="store_true",
                    help="stop a mutant at its first failing test: faster, but a killed mutant "
                         "names only the tests that failed by then")
    ap.add_argument("--results", help="the results file (default <src>/mutation-results.tsv, "
                    "or <src>/mutation-sample.tsv with --generate)")
    ap.add_argument("--generate", action="store_true",
                    help="mutants generated from the syntax tree instead of the table")
    ap.add_argument("--sample", type=int, default=200, help="--generate: how many compiling "
                    "mutants to run (default 200)")
    ap.add_argument("--seed", type=int, default=1, help="--generate: the sample's seed (default 1)")
    ap.add_argument("--ops", help="--generate: only these operators (" + ",".join(OPERATORS) + ")")
    ap.add_argument("--files", help="--generate: only files matching these patterns, relative "
                    "to src/ (e.g. 'core/*,ui/app/*')")
    ap.add_argument("--verbose", action="store_true", help="say what each stage built and ran, "
                    "and how long it took")
    args = ap.parse_args()

    try:
        entries = parse_table(args.table)
    except TableError as err:
        sys.exit(str(err))
    if args.check or (args.list and not args.generate):
        src = os.path.abspath(args.src or os.path.join(HERE, ".."))
        if args.list:
            for e in entries:
                if not e.generated:
                    print(f"{e.id}\tsrc/{e.file}\t{e.fault}"
                          + (f"\t(not counted: {e.not_counted})" if e.not_counted else ""))
            return 0
        places = check_table(Texts(src), entries)
        moved = {e: p.file for e, p in places.items() if p.status == "moved"}
        if args.retarget and moved:
            retarget_table(args.table, moved)
            print(f"{len(moved)} moved mutants given their new file in {args.table}")
        if any(p.status == "stale" for p in places.values()):
            return 1
        return 1 if moved and not args.retarget else 0

    if args.update and not (args.generate and args.only):
        sys.exit("--update needs --generate and --only")
    if not args.src:
        sys.exit("--src: a copy of the tree to mutate (git archive HEAD | tar -x -C DIR)")
    args.src = os.path.abspath(args.src)
    if os.path.exists(os.path.join(args.src, ".git")):
        sys.exit("refusing to mutate a git checkout; pass a copy (git archive HEAD | tar -x -C DIR)")
    build = os.path.abspath(args.build or os.path.join(args.src, "build-mutation"))
    suite = Suite(args.src, build, args.jobs, args.first_failure,
                  log=lambda text: print(text, flush=True), verbose=args.verbose)
    if args.generate:
        if args.list:
            suite.configure_only()
            return run_generated(args, entries, suite, Generator(args.src, build))
        suite.prepare()
        return run_generated(args, entries, suite, Generator(args.src, build))
    texts = Texts(args.src)
    if args.retarget:
        moved = {e: p.file for e, p in check_table(texts, entries, out=open(os.devnull, "w")).items()
                 if p.status == "moved"}
        if moved:
            retarget_table(args.table, moved)
            print(f"{len(moved)} moved mutants given their new file in {args.table}")
    suite.prepare()
    return run_table(args, entries, suite, texts)


if __name__ == "__main__":
    try:
        sys.exit(main())
    except BrokenPipeError:  # --list | head
        sys.stderr.close()
        sys.exit(0)
