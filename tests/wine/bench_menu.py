#!/usr/bin/env python3
"""Snippet menu benchmark under Wine: time from the hotkey press to the menu
on screen, flat and cascading, for data files of growing size, against the
naive way (one profile read per name, every item appended to its menu before
the menu shows) measured in the same Wine session.

    bench_menu.py BUILD_DIR [--sizes 100,1000,...] [--runs N]

The probe (menu_probe.exe, inside Wine) presses Strg + F5 with SendInput and
stops the clock when a popup menu window is visible and its menu loop has
answered a message, i.e. the menu has been shown and painted. Prints
`name: value` lines: the first showing after start (nothing cached yet), the
median of the further showings, the naive way's median, and naive/ours.
"""

import argparse
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import WineSession, win_path  # noqa: E402

WORDS = ["Angebot", "Brief", "Client", "Dank", "Einladung", "Fax", "Gru\u00df", "Hinweis",
         "Info", "Januar", "Kunde", "Liefertermin", "Mahnung", "Notiz", "Offerte", "Preis",
         "Quittung", "Rechnung", "Signatur", "Termin", "Urlaub", "Vertrag", "Werbung",
         "Xylophon", "Yacht", "Zahlung", "\u00c4nderung", "adresse", "bitte", "1. Mahnung"]
NAIVE_BUDGET_S = 30  # a naive run slower than this is not repeated at larger sizes


def write_data(path, count):
    lines = ["[Name]"]
    lines += [f"{i}={WORDS[i % len(WORDS)]} {i}" for i in range(1, count + 1)]
    lines.append("[Text]")
    lines += [f"{i}=Sehr geehrte Damen und Herren,\\N\\NText Nr. {i}." for i in range(1, count + 1)]
    for section in ("Crypt", "DosBox"):
        lines.append(f"[{section}]")
        lines += [f"{i}=0" for i in range(1, count + 1)]
    # An office's file has the ignore list the program writes into a file
    # that lacks one, so the first start reads it once, as every later one.
    lines += ["[Common]", "HK=1029", "[Ignore]", "1=DF\u00dc-Netzwerkmonitor", "2=Microsoft Office Shortcut-Leiste"]
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1252"))


def probe(s, runs, timeout_s):
    """Milliseconds of each showing, or None when one timed out."""
    result = s.run(s.exe("menu_probe.exe"), runs, int(timeout_s * 1000),
                   timeout=runs * (timeout_s + 15) + 30)
    times = [float(line.split()[1]) for line in result.stdout.splitlines() if line.startswith("ms ")]
    return times if len(times) == runs else None


def measure(s, start, runs, timeout_s):
    """Starts a menu program, times its menu, ends it."""
    process = start()
    try:
        return probe(s, runs, timeout_s)
    finally:
        process.kill()
        time.sleep(0.5)


def fmt(ms):
    return f"{ms:.1f}" if ms is not None else "timeout"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build_dir")
    parser.add_argument("--sizes", default="100,1000,5000,10000,32767")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    sizes = [int(v) for v in args.sizes.split(",")]

    with WineSession(args.build_dir) as s:
        folder = s.temp_folder("bench")
        naive_too_slow = {"flat": False, "cascading": False}
        for size in sizes:
            ini = folder / f"bench{size}.ini"
            write_data(ini, size)
            for mode, pum_mode in (("flat", 0), ("cascading", 1)):
                text = ini.read_bytes().replace(b"HK=1029", f"HK=1029\r\nPumMode={pum_mode}".encode())
                data = folder / f"{mode}{size}" / "Zelvoscript.ini"
                data.parent.mkdir(exist_ok=True)
                data.write_bytes(text)
                s.set_setting("path", win_path(data))

                def start_ours():
                    p = s.start(s.exe("Zelvoscript.exe"))
                    # The caption is set once the first reload has registered the hotkey.
                    s.wait_until(lambda: [w for w in p.windows(cls="ZelvoscriptMainWindow")
                                          if w.title != "Zelvoscript"], 120, what="start-up")
                    return p

                times = measure(s, start_ours, args.runs + 1, 60)
                first = times[0] if times else None
                ours = statistics.median(times[1:]) if times else None
                name = f"menu_{mode}_{size}"
                print(f"{name}_first_ms: {fmt(first)}", flush=True)
                print(f"{name}_ms: {fmt(ours)}", flush=True)

                if naive_too_slow[mode]:
                    print(f"{name}_naive_ms: skipped (too slow at a smaller size)", flush=True)
                    continue

                def start_naive():
                    p = s.start(s.exe("naive_menu.exe"), win_path(data),
                                "cascade" if pum_mode else "flat")
                    p.wait_window(title="Naive-Menue", visible=False, timeout=30)
                    return p

                started = time.monotonic()
                naive_times = measure(s, start_naive, 1 if size >= 10000 else min(args.runs, 3), 120)
                naive = statistics.median(naive_times) if naive_times else None
                if naive is None or time.monotonic() - started > NAIVE_BUDGET_S:
                    naive_too_slow[mode] = True
                print(f"{name}_naive_ms: {fmt(naive)}", flush=True)
                if ours and naive:
                    print(f"{name}_speedup: {naive / ours:.1f}", flush=True)


if __name__ == "__main__":
    main()
