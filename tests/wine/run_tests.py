#!/usr/bin/env python3
"""Runs the Win32 tests under Wine: every GoogleTest program <build>/*_test.exe
and every scenario file tests/wine/e2e_*.py, all in one Wine session.

    run_tests.py BUILD_DIR [--filter SUBSTRING] [--keep-prefix]

A scenario file defines functions named test_*, each taking the session.
Before each one the runner removes the program's settings key; after it,
the programs it started are ended. A failing scenario leaves a screenshot
in BUILD_DIR/wine-artifacts. The last line is "N passed, N failed".
"""

import argparse
import importlib.util
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import xml.etree.ElementTree as ET
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import WINE, WineSession, win_path  # noqa: E402

HERE = Path(__file__).resolve().parent


class Tally:
    def __init__(self):
        self.passed = 0
        self.failed = []

    def report(self, name, ok, seconds, detail=""):
        print(f"{'PASS' if ok else 'FAIL'} {name} ({seconds:.1f} s)", flush=True)
        if ok:
            self.passed += 1
        else:
            self.failed.append(name)
            if detail:
                print("    " + detail.rstrip().replace("\n", "\n    "), flush=True)


def run_gtest(session, exe, tally, gtest_filter):
    """One result per test case, from the program's XML report; a crash that
    leaves no report counts as one failure of the whole program."""
    with tempfile.TemporaryDirectory(prefix="zelvo-gtest-") as tmp:
        report = Path(tmp) / "report.xml"
        args = [f"--gtest_output=xml:{win_path(report)}"]
        if gtest_filter:
            args.append(f"--gtest_filter={gtest_filter}")
        started = time.monotonic()
        try:
            result = session.run(exe, *args, timeout=600)
        except subprocess.TimeoutExpired:
            # A program that hangs fails, and the other tests still run.
            tally.report(exe.name, False, time.monotonic() - started, "no end after 600 s")
            return
        seconds = time.monotonic() - started
        if not report.exists():
            tally.report(exe.name, False, seconds,
                         f"exit code {result.returncode}, no report\n{result.stdout[-3000:]}{result.stderr[-2000:]}")
            return
        failed_before = len(tally.failed)
        for case in ET.parse(report).getroot().iter("testcase"):
            name = f"{exe.stem}: {case.get('classname')}.{case.get('name')}"
            failures = [f.get("message", "") for f in case.findall("failure")]
            if case.get("status") == "notrun" or case.get("result") == "skipped":
                continue
            tally.report(name, not failures, float(case.get("time", 0)), "\n".join(failures))
        if result.returncode != 0 and len(tally.failed) == failed_before:
            tally.report(exe.name, False, seconds, f"exit code {result.returncode}\n{result.stdout[-3000:]}")


def is_32_bit(exe):
    """True for an i386 PE program."""
    data = exe.read_bytes()[:4096]
    pe = int.from_bytes(data[0x3C:0x40], "little")
    return data[pe + 4:pe + 6] == b"\x4c\x01"


def load_scenarios(path):
    spec = importlib.util.spec_from_file_location(path.stem, path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return [(name, fn) for name, fn in vars(module).items() if name.startswith("test_") and callable(fn)]


def run_scenario(session, label, fn, tally):
    session.reset_settings()
    started = time.monotonic()
    try:
        fn(session)
        tally.report(label, True, time.monotonic() - started)
    except Exception:
        detail = traceback.format_exc(limit=-3)
        try:
            detail += f"screenshot: {session.screenshot(label.replace(':', '').replace(' ', '_'))}\n"
        except Exception as e:  # the display itself may be gone
            detail += f"no screenshot: {e}\n"
        tally.report(label, False, time.monotonic() - started, detail)
    finally:
        session.end_started()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build_dir")
    parser.add_argument("--filter", default="", help="run only tests whose name contains this")
    parser.add_argument("--keep-prefix", action="store_true", help="leave the Wine prefix for a post-mortem")
    args = parser.parse_args()

    build = Path(args.build_dir).resolve()
    gtests = sorted(build.glob("*_test.exe"))
    scenarios = sorted(HERE.glob("e2e_*.py"))
    if not (build / "wintool.exe").exists():
        print(f"{build}/wintool.exe is missing: build the Win32 tree first", file=sys.stderr)
        print("0 passed, 1 failed")
        return 1

    if WINE != "wine" and is_32_bit(build / "wintool.exe"):
        print("this machine's kernel cannot start 32-bit programs, so Wine runs only the 64-bit build",
              file=sys.stderr)
        print("0 passed, 1 failed")
        return 1

    # A timeout's SIGTERM unwinds like Ctrl+C, so the session still cleans up.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    tally = Tally()
    started = time.monotonic()
    with WineSession(build, keep_prefix=args.keep_prefix) as session:
        print(f"Wine session ready in {session.timings['prefix']:.1f} s "
              f"(display {session.display}, prefix {session.prefix})", flush=True)
        for exe in gtests:
            gtest_filter = ""
            if args.filter and args.filter not in exe.name:
                gtest_filter = f"*{args.filter}*"
            run_gtest(session, exe, tally, gtest_filter)
        for path in scenarios:
            for name, fn in load_scenarios(path):
                label = f"{path.stem}: {name}"
                if args.filter and args.filter not in label:
                    continue
                run_scenario(session, label, fn, tally)
    print(f"Wine part took {time.monotonic() - started:.1f} s", flush=True)
    for name in tally.failed:
        print(f"failed: {name}")
    print(f"{tally.passed} passed, {len(tally.failed)} failed")
    return 1 if tally.failed else 0


if __name__ == "__main__":
    sys.exit(main())
