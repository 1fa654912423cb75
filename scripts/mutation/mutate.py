#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Mutation run: applies each mutant (a small change a real fault would make),
rebuilds, runs every Qt Test executable and records which test functions kill it.

    python3 scripts/mutation/mutate.py [--build DIR] [--only ID,ID] [--json OUT] [FILE...]

The mutants come from the FILEs, by default every mutants-*.txt beside this script (one per
folder of the code). Each file holds blocks of the form

    ## id: what the fault is
    file: path/relative/to/the/repository
    - the exact text to replace (found exactly once in the file)
    + the text that replaces it

'-' and '+' lines may repeat for a text of several lines. The file is always restored.
"""

import argparse
import json
import os
import re
import subprocess
import sys
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
FAIL = re.compile(r"^FAIL!\s+:\s+(\w+)::(\w+)")
EXCLUDED_LABELS = {"e2e", "package", "fuzz"}


def parse_mutants(path):
    mutants, current = [], None
    for line in path.read_text().splitlines():
        if line.startswith("## "):
            ident, _, what = line[3:].partition(":")
            current = {"id": ident.strip(), "what": what.strip(), "old": [], "new": []}
            mutants.append(current)
        elif current is None or not line.strip() and not current["old"]:
            continue
        elif line.startswith("file: "):
            current["file"] = line[6:].strip()
        elif line.startswith("- ") or line == "-":
            current["old"].append(line[2:])
        elif line.startswith("+ ") or line == "+":
            current["new"].append(line[2:])
    for m in mutants:
        m["old"], m["new"] = "\n".join(m["old"]), "\n".join(m["new"])
    return mutants


def test_commands(build):
    listing = subprocess.run(["ctest", "--test-dir", str(build), "--show-only=json-v1"],
                             check=True, capture_output=True, text=True).stdout
    tests = []
    for test in json.loads(listing)["tests"]:
        props = {p["name"]: p["value"] for p in test.get("properties", [])}
        if EXCLUDED_LABELS & set(props.get("LABELS", [])):
            continue
        env = dict(os.environ)
        for item in props.get("ENVIRONMENT", []):
            key, _, value = item.partition("=")
            env[key] = value
        tests.append((test["name"], test["command"], env, props.get("WORKING_DIRECTORY")))
    return tests


def run_test(test, timeout):
    name, command, env, cwd = test
    try:
        done = subprocess.run(command, env=env, cwd=cwd, capture_output=True, text=True,
                              timeout=timeout, errors="replace")
    except subprocess.TimeoutExpired:
        return {f"{name} (hangs)"}
    failed = {f"{name}::{m.group(2)}" for m in map(FAIL.match, done.stdout.splitlines()) if m}
    if done.returncode != 0 and not failed:
        failed = {f"{name} (exit {done.returncode})"}
    return failed


def run_tests(tests, timeout):
    """Test functions that fail (or whole executables that crash or hang)."""
    with ThreadPoolExecutor(max_workers=os.cpu_count()) as pool:
        return set().union(*pool.map(lambda t: run_test(t, timeout), tests))


def build(build_dir):
    return subprocess.run(["cmake", "--build", str(build_dir), "-j", str(os.cpu_count())],
                          capture_output=True, text=True).returncode == 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=str(ROOT / "build-mutation"))
    parser.add_argument("files", nargs="*")
    parser.add_argument("--only", default="")
    parser.add_argument("--json", default="")
    parser.add_argument("--timeout", type=int, default=120)
    args = parser.parse_args()

    build_dir = Path(args.build)
    if not (build_dir / "build.ninja").exists():
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build_dir), "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], check=True, capture_output=True)
    if not build(build_dir):
        sys.exit("the unmutated tree does not build")
    tests = test_commands(build_dir)
    baseline = run_tests(tests, args.timeout)
    if baseline:
        sys.exit(f"tests fail without a mutant: {sorted(baseline)}")

    files = args.files or sorted(Path(__file__).parent.glob("mutants-*.txt"))
    mutants = [m for f in files for m in parse_mutants(Path(f))]
    only = {s for s in args.only.split(",") if s}
    results = {}
    for mutant in mutants:
        if only and mutant["id"] not in only:
            continue
        path = ROOT / mutant["file"]
        original = path.read_text()
        if original.count(mutant["old"]) != 1:
            results[mutant["id"]] = {"what": mutant["what"], "status": "stale"}
            print(f"{mutant['id']}: STALE (text not found exactly once in {mutant['file']})")
            continue
        started = time.time()
        try:
            path.write_text(original.replace(mutant["old"], mutant["new"]))
            if not build(build_dir):
                status, killers = "does not build", []
            else:
                killers = sorted(run_tests(tests, args.timeout))
                status = "killed" if killers else "SURVIVED"
        finally:
            path.write_text(original)
            os.utime(path)
        results[mutant["id"]] = {"what": mutant["what"], "status": status, "killers": killers}
        print(f"{mutant['id']}: {status} in {time.time() - started:.0f} s"
              + "".join(f"\n    {k}" for k in killers), flush=True)
    build(build_dir)

    survived = [i for i, r in results.items() if r["status"] != "killed"]
    print(f"\n{len(results) - len(survived)} of {len(results)} mutants killed"
          + (f"; not killed: {', '.join(survived)}" if survived else ""))
    if args.json:
        Path(args.json).write_text(json.dumps(results, indent=1))


if __name__ == "__main__":
    main()
