#!/usr/bin/env python3
"""Search window benchmark under Wine at 32,767 entries: time from the
hotkey press to the search window on screen, against the cascading menu of
the same program in the same run, and the program's private memory with
that data file against the empty program, both after start-up and after
both have shown the menu and the search window.

    bench_search.py BUILD_DIR [--size N] [--runs N]

The probe (menu_probe.exe, inside Wine) presses Strg + F5 and stops the clock
when the window is visible and its message loop has answered (shown and
painted). Memory is the resident anonymous memory of the program's process
(its private heap and stacks), read from /proc after start-up and after the
search window has been shown.
"""

import argparse
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from bench_menu import fmt, write_data  # noqa: E402
from harness import WineSession, win_path  # noqa: E402

SEARCH_CLASS = "ZelvoscriptSearchWindow"


def private_kb(process):
    """Resident anonymous memory of the Unix process that runs the program."""
    for line in Path(f"/proc/{process.pid}/status").read_text().splitlines():
        if line.startswith("RssAnon:"):
            return int(line.split()[1])
    raise RuntimeError("no RssAnon in /proc status")


def settled_private_kb(process):
    """The figure once it has stopped changing (start-up may still be allocating)."""
    last = None
    for _ in range(40):
        now = private_kb(process)
        if now == last:
            return now
        last = now
        time.sleep(0.25)
    return last


def probe(s, runs, window_class):
    """(shown, ready) milliseconds of each showing, or None when one timed out."""
    result = s.run(s.exe("menu_probe.exe"), runs, 60000, window_class, timeout=runs * 75 + 30)
    times = [(float(line.split()[1]), float(line.split()[2]))
             for line in result.stdout.splitlines() if line.startswith("ms ")]
    if len(times) != runs:
        print(f"probe of {window_class}: {result.stdout!r} {result.stderr!r}", file=sys.stderr)
    return times if len(times) == runs else None


def median(times, which):
    return statistics.median(t[which] for t in times[1:]) if times else None


def start(s, data):
    s.set_setting("path", win_path(data))
    p = s.start(s.exe("Zelvoscript.exe"))
    # The caption is set once the first reload has read the file.
    s.wait_until(lambda: [w for w in p.windows(cls="ZelvoscriptMainWindow") if w.title != "Zelvoscript"],
                 120, what="start-up")
    return p


def run_program(build_dir, write, runs):
    """Starts the program on the data file `write` makes, in a prefix of its
    own (a program killed in a prefix leaves its hotkey to no other there),
    shows the menu and then the search window `runs` times each: (memory
    after start-up, memory after showing, menu times, search times, file KB)."""
    with WineSession(build_dir) as s:
        data = s.temp_folder("bench") / "Zelvoscript.ini"
        write(data)
        # Wine passes the hotkey on only while one of its windows has the
        # keyboard focus, as a user's program would.
        pad = s.start("notepad.exe")
        pad_window = pad.wait_window(title_contains="Editor")
        program = start(s, data)
        loaded_kb = settled_private_kb(program)
        s.click_window(pad_window)
        menu = probe(s, runs, "#32768")
        # The option is read by the reload of each activation, so one more
        # menu takes it in.
        s.set_setting("SearchWindow", "1")
        s.click_window(pad_window)
        probe(s, 1, "#32768")
        search = probe(s, runs, SEARCH_CLASS)
        searched_kb = settled_private_kb(program)
        program.kill()
        return loaded_kb, searched_kb, menu, search, data.stat().st_size / 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build_dir")
    parser.add_argument("--size", type=int, default=32767)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    size = args.size

    def full(path):
        write_data(path, size)
        path.write_bytes(path.read_bytes().replace(b"HK=1029", b"HK=1029\r\nPumMode=1"))

    loaded_kb, searched_kb, menu, search, file_kb = run_program(args.build_dir, full, args.runs + 1)
    # The empty program does the same, so that what any first menu and
    # search window cost the program (window classes, controls, fonts) is
    # not counted as the data file's.
    empty_kb, empty_searched_kb, empty_menu, empty_search, _ = run_program(
        args.build_dir, lambda path: path.write_bytes(b"[Common]\r\nHK=1029\r\nPumMode=1\r\n"), 2)
    if not (empty_menu and empty_search):
        raise RuntimeError("the empty program's menu or search window did not show")

    name = f"search_window_{size}"
    menu_ms, search_ms = median(menu, 0), median(search, 0)
    print(f"{name}_first_ms: {fmt(search[0][0] if search else None)}")
    print(f"{name}_ms: {fmt(search_ms)}")
    # The reload every activation makes runs once the window is on screen.
    print(f"{name}_ready_after_reload_ms: {fmt(median(search, 1))}")
    print(f"{name}_menu_cascading_ms: {fmt(menu_ms)}")
    if menu_ms and search_ms:
        print(f"{name}_menu_over_search: {menu_ms / search_ms:.2f}")
    print(f"program_private_empty_kb: {empty_kb}")
    print(f"program_private_empty_after_search_kb: {empty_searched_kb}")
    print(f"program_private_{size}_kb: {loaded_kb}")
    print(f"program_private_{size}_after_search_kb: {searched_kb}")
    print(f"data_file_{size}_kb: {file_kb:.0f}")
    print(f"program_private_{size}_above_empty_per_file_size: {(loaded_kb - empty_kb) / file_kb:.2f}")
    print(f"program_private_{size}_after_search_above_empty_per_file_size: "
          f"{(searched_kb - empty_searched_kb) / file_kb:.2f}")


if __name__ == "__main__":
    main()
