#!/usr/bin/env python3
"""Plants small faults in src/ one at a time and counts those the unit tests catch.

    tools/kv mutate [N] [--seed S] [--jobs J] [--since REV]

Works on copies of the tree under build/mutate/, never on the working tree.
"""
import argparse
import os
import queue
import random
import re
import shutil
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build", "mutate")
FOLDERS = ["platform", "core", "input", "display", "app", "field", "render", "frontend", "store"]
# main.cpp is one line of glue; frame_log.cpp only exists in the measurement build.
SKIP_FILES = {"app/main.cpp", "core/frame_log.cpp"}
# The Windows and browser files are not in the Linux build the tests here
# run; the Wine suite (ctest -L windows) and the browser tests (ctest -L web)
# test them.
SKIP_SUFFIX = ("_win.cpp", "_web.cpp")

DECLARATION = re.compile(
    r"^\s*(static\s+|const\s+|constexpr\s+|extern\s+)*"
    r"(int|bool|char|unsigned|long|double|float|auto|void|timespec|FILE|FONT|BITMAP|std::[\w:]+(<[^;]*>)?)"
    r"\b[\s*&]*\w")
RELATIONAL = ["<", "<=", ">", ">=", "==", "!="]
ARITHMETIC = {"+": ["-"], "-": ["+"], "*": ["/"], "/": ["*"], "%": ["*"]}


def mask_strings(code):
    """Same length, with string and char literals blanked, so no operator inside them is seen."""
    return re.sub(r'"(\\.|[^"\\])*"|\'(\\.|[^\'\\])*\'', lambda m: "_" * len(m.group(0)), code)


def code_part(line):
    """The line up to its // comment (found outside strings)."""
    masked = mask_strings(line)
    cut = masked.find("//")
    return (line, masked) if cut < 0 else (line[:cut], masked[:cut])


def matching_paren(masked, open_at):
    depth = 0
    for i in range(open_at, len(masked)):
        if masked[i] == "(":
            depth += 1
        elif masked[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def line_sites(line):
    """Every (start, end, replacement, operator) for one source line."""
    stripped = line.strip()
    if not stripped or stripped.startswith(("//", "#", "*", "/*", "static_assert")):
        return []
    # The measurement build's hooks compile to nothing in the game.
    if re.search(r"\b(note_frame|save_frame_notes)\(", stripped):
        return []
    code, masked = code_part(line)
    sites = []
    declaration = bool(DECLARATION.match(masked))
    # Binary operators are written with a space on each side in this code.
    for m in re.finditer(r"(?<= )(<=|>=|==|!=|<|>|&&|\|\||\+|-|\*|/|%)(?= )", masked):
        op = m.group(1)
        if op in RELATIONAL:
            # i < n made i != n in a counting loop changes nothing: left out.
            counting = op == "<" and re.search(r"\bfor \(.*;.*\+\+", masked)
            for other in RELATIONAL:
                if other != op and not (counting and other == "!="):
                    sites.append((m.start(), m.end(), other, "relational"))
        elif op in ("&&", "||"):
            sites.append((m.start(), m.end(), "||" if op == "&&" else "&&", "logical"))
        else:
            for other in ARITHMETIC[op]:
                sites.append((m.start(), m.end(), other, "arithmetic"))
    for m in re.finditer(r"(\+\+|--|\+=|-=)", masked):
        swap = {"++": "--", "--": "++", "+=": "-=", "-=": "+="}[m.group(1)]
        sites.append((m.start(), m.end(), swap, "arithmetic"))
    for m in re.finditer(r"\b(if|while) \(", masked):
        open_at = m.end() - 1
        close_at = matching_paren(masked, open_at)
        if close_at > 0:
            cond = code[open_at + 1:close_at]
            sites.append((open_at, close_at + 1, "(!(" + cond + "))", "negate"))
    for m in re.finditer(r"!(?!=)", masked):
        sites.append((m.start(), m.end(), "", "remove-not"))
    for m in re.finditer(r"\b(true|false)\b", masked):
        sites.append((m.start(), m.end(), "false" if m.group(1) == "true" else "true", "boolean"))
    for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", masked):
        # An array size in a declaration only changes room, never behaviour.
        if declaration and masked[m.start() - 1:m.start()] == "[":
            continue
        value = int(m.group(1))
        for new in sorted({value + 1, value - 1, 0} - {value, -1}):
            sites.append((m.start(), m.end(), str(new), "constant"))
    if (masked.rstrip().endswith(";") and not declaration and masked.count("(") == masked.count(")")
            and not re.match(r"\s*(return|break|continue|case|default)\b", masked)
            and not masked.rstrip().endswith("};")):
        indent = len(line) - len(line.lstrip())
        sites.append((indent, len(code.rstrip()), "", "delete"))
    return sites


def continues_statement(previous_code):
    """True when the previous line leaves its statement open, e.g. ends in ',' or '('."""
    p = previous_code.rstrip()
    return bool(p) and p[-1] in ",(=+-*/&|?:<>"


def all_sites():
    sites = []
    src = os.path.join(ROOT, "src")
    for folder in FOLDERS:
        for name in sorted(os.listdir(os.path.join(src, folder))):
            rel = folder + "/" + name
            if not name.endswith(".cpp") or rel in SKIP_FILES or name.endswith(SKIP_SUFFIX):
                continue
            with open(os.path.join(src, rel)) as f:
                lines = f.read().split("\n")
            previous = ""
            for number, line in enumerate(lines, 1):
                for start, end, new, op in line_sites(line):
                    if op == "delete" and continues_statement(previous):
                        continue
                    sites.append((rel, number, start, end, new, op))
                if line.strip() and not line.strip().startswith("//"):
                    previous = code_part(line)[1]
    return sites


def changed_lines(rev):
    """{(folder/file.cpp, line)} of src/ that the work tree adds or changes since rev."""
    diff = subprocess.run(["git", "-C", ROOT, "diff", "-U0", rev, "--", "src"],
                          stdout=subprocess.PIPE, universal_newlines=True, check=True).stdout
    changed, rel = set(), None
    for line in diff.split("\n"):
        if line.startswith("+++ "):
            rel = line[len("+++ b/src/"):] if line.startswith("+++ b/src/") else None
        hunk = re.match(r"@@ -\S+ \+(\d+)(?:,(\d+))? @@", line)
        if hunk and rel:
            first, count = int(hunk.group(1)), int(hunk.group(2) or 1)
            changed.update((rel, n) for n in range(first, first + count))
    return changed


def sync_tree(tree):
    """Copies the repository (minus build/ and .git) into tree, touching only files that differ."""
    for top, dirs, files in os.walk(ROOT):
        rel_top = os.path.relpath(top, ROOT)
        if rel_top == ".":
            dirs[:] = [d for d in dirs if d not in ("build", ".git")]
        os.makedirs(os.path.join(tree, rel_top), exist_ok=True)
        for name in files:
            src, dst = os.path.join(top, name), os.path.join(tree, rel_top, name)
            if os.path.islink(src):
                continue
            if os.path.exists(dst):
                with open(src, "rb") as a, open(dst, "rb") as b:
                    if a.read() == b.read():
                        continue
            shutil.copy2(src, dst)
            os.utime(dst)


# The unit tests as the test run has them under AddressSanitizer and
# UndefinedBehaviorSanitizer: a fault that writes past the well is caught.
UNIT = ["kv-tests-asan"]
WINDOW = ["krove-vestin", "kv-window-tests"]
SANITIZERS = dict(os.environ, ASAN_OPTIONS="detect_leaks=1", UBSAN_OPTIONS="halt_on_error=1")


def build(folder, timeout=300, targets=UNIT):
    try:
        r = subprocess.run(["cmake", "--build", folder, "--target", *targets, "-j", "1"],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
        return r.returncode == 0
    except subprocess.TimeoutExpired:
        return False


def run_tests(folder, run_dir, timeout, window=False):
    """'passed', 'failed' or 'timeout'."""
    os.makedirs(run_dir, exist_ok=True)
    binary = os.path.join(folder, "tests", "window", "kv-window-tests") if window else \
        os.path.join(folder, "tests", "sanitize", "kv-tests-asan")
    try:
        r = subprocess.run([binary, "--gtest_brief=1", "--gtest_fail_fast"], env=SANITIZERS,
                           cwd=run_dir, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=timeout)
        return "passed" if r.returncode == 0 else "failed"
    except subprocess.TimeoutExpired:
        return "timeout"


class worker:
    def __init__(self, k):
        self.tree = os.path.join(WORK, "tree%d" % k)
        self.build = os.path.join(WORK, "build%d" % k)
        self.run_dir = os.path.join(WORK, "run%d" % k)

    def prepare(self):
        sync_tree(self.tree)
        if not os.path.exists(os.path.join(self.build, "CMakeCache.txt")):
            gen = ["-G", "Ninja"] if shutil.which("ninja") else []
            subprocess.run(["cmake", "-S", self.tree, "-B", self.build, *gen,
                            "-DCMAKE_BUILD_TYPE=None", "-DCMAKE_CXX_FLAGS=-O0"],
                           stdout=subprocess.DEVNULL, check=True)
        if not build(self.build, timeout=1800):
            print("mutate: the unmutated tree does not build in " + self.build)
            return None
        start = time.time()
        if run_tests(self.build, self.run_dir, 600) != "passed":
            print("mutate: the unit tests fail in " + self.build + " without any fault planted")
            return None
        return time.time() - start

    def try_mutant(self, site, timeout, window=False):
        rel, number, start, end, new, op = site
        path = os.path.join(self.tree, "src", rel)
        with open(os.path.join(ROOT, "src", rel)) as f:
            original = f.read()
        lines = original.split("\n")
        before = lines[number - 1]
        after = before[:start] + new + before[end:]
        lines[number - 1] = after
        try:
            with open(path, "w") as f:
                f.write("\n".join(lines))
            if not build(self.build, targets=WINDOW if window else UNIT):
                outcome = "dropped"
            else:
                outcome = run_tests(self.build, self.run_dir, timeout, window)
        finally:
            with open(path, "w") as f:
                f.write(original)
        return outcome, before.strip(), after.strip()


def main():
    parser = argparse.ArgumentParser(prog="tools/kv mutate")
    parser.add_argument("count", nargs="?", type=int, default=100)
    parser.add_argument("--seed", type=int, default=12)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--window", nargs="?", const=",".join(FOLDERS), metavar="FOLDERS",
                        help="try the survivors in these folders of src/ (all when none are"
                             " named, e.g. app,platform) on the real-window tests too")
    parser.add_argument("--since", metavar="REV",
                        help="plant faults only in the lines of src/ changed since REV")
    args = parser.parse_args()

    sites = all_sites()
    if args.since:
        changed = changed_lines(args.since)
        sites = [s for s in sites if (s[0], s[1]) in changed]
    picked = random.Random(args.seed).sample(sites, min(args.count, len(sites)))
    picked.sort(key=lambda s: (s[0], s[1], s[2]))  # one file after another: fewer rebuilds
    print("mutate: %d candidate sites, %d faults, seed %d" % (len(sites), len(picked), args.seed),
          flush=True)

    began = time.time()
    workers = [worker(k) for k in range(max(1, args.jobs))]
    times = []
    setup = [threading.Thread(target=lambda w=w: times.append(w.prepare())) for w in workers]
    for t in setup:
        t.start()
    for t in setup:
        t.join()
    if len(times) < len(workers) or None in times:
        sys.exit("mutate: a copy of the tree could not be built or fails its tests")
    timeout = max(10.0, 10 * max(times))
    print("mutate: trees built, unit tests take %.1f s, timeout %.0f s" % (max(times), timeout),
          flush=True)

    # A worker takes a whole file at a time, so only that file is rebuilt per fault.
    todo = queue.Queue()
    by_file = {}
    for i, site in enumerate(picked):
        by_file.setdefault(site[0], []).append((i, site))
    for group in sorted(by_file.values(), key=len, reverse=True):
        todo.put(group)
    results = [None] * len(picked)
    lock = threading.Lock()
    done = [0]

    def run(w, window, total):
        while True:
            try:
                group = todo.get_nowait()
            except queue.Empty:
                return
            for i, site in group:
                t = time.time()
                outcome, before, after = w.try_mutant(site, 300 if window else timeout, window)
                if window:
                    outcome = "window" if outcome in ("failed", "timeout") else "passed"
                results[i] = (site, outcome, before, after)
                with lock:
                    done[0] += 1
                    print("[%3d/%d] %-8s %s:%d %-10s %.1f s" % (done[0], total, outcome,
                          site[0], site[1], site[5], time.time() - t), flush=True)

    def run_all(window, total):
        threads = [threading.Thread(target=run, args=(w, window, total)) for w in workers]
        for t in threads:
            t.start()
        for t in threads:
            t.join()

    run_all(False, len(picked))
    if args.window:
        # Start-up, the window and the exit status only show in a real window.
        folders = tuple(f + "/" for f in args.window.split(","))
        survivors = [(i, r[0]) for i, r in enumerate(results)
                     if r[1] == "passed" and r[0][0].startswith(folders)]
        print("\nmutate: the %d survivors on the window tests" % len(survivors), flush=True)
        for i, site in survivors:
            todo.put([(i, site)])
        done[0] = 0
        run_all(True, len(survivors))

    report(results, time.time() - began)


def report(results, seconds):
    print("\nkilled / planted (faults that do not compile are dropped and not counted)")
    totals = [0, 0, 0]
    for folder in FOLDERS:
        mine = [r for r in results if r[0][0].startswith(folder + "/")]
        counted = [r for r in mine if r[1] != "dropped"]
        killed = sum(1 for r in counted if r[1] != "passed")
        by_window = sum(1 for r in counted if r[1] == "window")
        dropped = len(mine) - len(counted)
        totals[0] += killed
        totals[1] += len(counted)
        totals[2] += dropped
        rate = "%5.1f %%" % (100.0 * killed / len(counted)) if counted else "    -  "
        print("  %-9s %3d / %3d  %s   (%d dropped%s)" % (
            folder, killed, len(counted), rate, dropped,
            ", %d by the window tests" % by_window if by_window else ""))
    rate = 100.0 * totals[0] / totals[1] if totals[1] else 0.0
    print("  %-9s %3d / %3d  %5.1f %%   (%d dropped)" % ("all", totals[0], totals[1], rate, totals[2]))
    survivors = [r for r in results if r[1] == "passed"]
    print("\nsurvivors (%d):" % len(survivors))
    for (rel, number, _, _, _, op), _, before, after in survivors:
        print("  src/%s:%d  %s\n      - %s\n      + %s" % (rel, number, op, before, after))
    print("\nmutate: %.0f s" % seconds)


if __name__ == "__main__":
    main()
