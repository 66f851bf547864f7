#!/usr/bin/env python3
"""Feeds vestra-select generated command lines and checks that it never crashes, never
hangs and never passes a message in silence.

    tools/fuzz/fuzz_select.py [--runs N] [--seed S] [--select PATH] [--jobs J]

Every run must end by itself within a few seconds with exit code 0, 1 or 2; an exit 0 run
has nothing on stderr (a message always means exit 1 or 2); a JSON run's output parses.
Prints the failures with their command lines and a summary; exit status 1 when any run
failed. Not part of the test suite: run it before changing the screens' input rules.
"""

import argparse
import concurrent.futures
import json
import os
import random
import shlex
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))

CONTROLS = ["txtTsa1(0)", "txtTsa1(1)", "txtTbu", "txtUr", "txtTw1(0)", "txtTw1(1)",
            "txtTw2(0)", "txtTw2(1)", "txtQw(0)", "txtQw(1)", "txtGlic", "txtpsu",
            "txtDistanza", "txtqatot", "chkComeFreddo", "chkHX", "chkFlap", "cboVel",
            "cboModel", "cboDirezione", "txtTsa1ric(0)", "txtTsa1ric(1)", "txtTburic",
            "txtUrric", "txtTsa1rin(0)", "txtTsa1rin(1)", "txttburin", "txturrin",
            "chkAcc(1)", "chkAcc(2)", "chkAcc(3)", "chkAcc(10)", "Scrollfreddo", "txtFoo",
            "txtTw2(7)"]


def series_list(select):
    out = subprocess.run([select, "--help"], capture_output=True, text=True, timeout=10).stdout
    names = [line.split(":")[0].strip() for line in out.splitlines() if line.startswith("  ")]
    return names + ["NOPE", ""]


def text(rng):
    kind = rng.randrange(12)
    if kind == 0:
        return ""
    if kind == 1:
        return rng.choice(["1e400", "1e39", "9" * 41, "-1e39", "3.4e38", "-0", "nan", "inf"])
    if kind == 2:
        return rng.choice(["abc", "12abc", "1,5", "1.5.5", "--3", " 7 ", "\t", "0,5", "1e"])
    if kind == 3:
        return rng.choice(["\u00e9", "\xff", "a\nb", "\u202e12", "\U0001F600", "\udcff1"])
    if kind == 4:
        return str(rng.randint(-100, 300))
    if kind == 5:
        return "%.3f" % rng.uniform(-50, 150)
    if kind == 6:
        return rng.choice(["0", "1", "2", "all", "Max", "* Tutto", "4294967297", "-1"])
    return "%g" % rng.uniform(0, 100)


def command(rng, select, series):
    args = [select]
    if rng.random() < 0.97:
        args += ["--series", rng.choice(series)]
    if rng.random() < 0.4:
        args += ["--speed", rng.choice(["all", "0", "1", "2", "3", "9", "Max", "x", "1e10"])]
    if rng.random() < 0.3:
        args += ["--model", rng.choice(["all", "1", "2", "30", "-1", "4294967297", "MIRAL 20"])]
    for _ in range(rng.randrange(5)):
        args += ["--set", rng.choice(CONTROLS) + "=" + text(rng)]
    if rng.random() < 0.2:
        args += ["--units", rng.choice(["0,0,0,0,0", "1,2,1,1,1", "65536,0,0,0,0", "1,1", "a"])]
    if rng.random() < 0.2:
        args += ["--lang", rng.choice(["0", "1", "14", "15", "1e10", "-1"])]
    if rng.random() < 0.2:
        args += ["--decimal-separator", rng.choice([".", ",", ";"])]
    if rng.random() < 0.2:
        args += ["--nolimits"]
    if rng.random() < 0.5:
        args += ["--format", rng.choice(["json", "tsv", "xml"])]
    if rng.random() < 0.03:
        args += ["--bogus"]
    return args


def run(args, env):
    try:
        p = subprocess.run(args, capture_output=True, timeout=20, env=env)
    except subprocess.TimeoutExpired:
        return "hang"
    if p.returncode < 0 or p.returncode not in (0, 1, 2):
        return "crash (exit %d)" % p.returncode
    if p.returncode == 0 and p.stderr:
        return "exit 0 with a message: " + p.stderr.decode("utf-8", "replace").strip()[:200]
    if "--format" in args and args[args.index("--format") + 1] == "json" and p.returncode != 2 \
            and p.stdout:
        try:
            json.loads(p.stdout.decode("utf-8"))
        except (ValueError, UnicodeDecodeError) as e:
            return "invalid JSON: %s" % e
    return None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=5000)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ap.add_argument("--select", default=os.path.join(ROOT, "build", "bin", "vestra-select"))
    a = ap.parse_args()
    rng = random.Random(a.seed)
    series = series_list(a.select)
    home = tempfile.mkdtemp(prefix="vestra-fuzz-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home, XDG_DOCUMENTS_DIR=home)
    commands = [command(rng, a.select, series) for _ in range(a.runs)]
    failures = []
    with concurrent.futures.ThreadPoolExecutor(a.jobs) as pool:
        for args, problem in zip(commands, pool.map(lambda c: run(c, env), commands)):
            if problem:
                failures.append((problem, args))
    for problem, args in failures[:50]:
        print("%s\n    %s" % (problem, shlex.join(args)))
    kinds = {}
    for problem, _ in failures:
        kinds[problem.split(":")[0]] = kinds.get(problem.split(":")[0], 0) + 1
    print("%d runs, %d failed %s" % (len(commands), len(failures), kinds or ""))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
