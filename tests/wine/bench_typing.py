#!/usr/bin/env python3
"""Typing benchmark under Wine: a 10,000-character German text typed into
notepad by the program's keyboard sender (tests/win32/tools/typetool.cpp),
and the same text typed by `xdotool type --delay 0` into a second notepad in
the same run. Wine's notepad takes each character slowly, so both are also
measured into a window that only records the characters it receives
(tests/win32/tools/keylog.cpp), which shows what the senders themselves can
do. Prints `name: value` lines: characters per second, their ratio, and how
many characters arrived wrongly or not at all.

    bench_typing.py BUILD_DIR
"""

import difflib
import random
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import WINE, WineSession, win_path  # noqa: E402

LENGTH = 10_000
WORDS = ("Grüße", "Straße", "Größe", "Müller", "Übergabe", "Äpfel", "Öl", "außerdem", "für",
         "Rechnung", "Termin", "Anlage", "bitte", "danke", "und", "der", "die", "das", "mit",
         "100 €", "50%", "(netto)", "{fix}", "[A]", "~ca.", "1+2", "x^2", "Nr. 7", "z. B.",
         "\"Zitat\"", "'a'", "a/b", "a\\b", "€", "#1", "@", "&", "*", "=", "<>", "|", "$5", "ß")


def sample_text(length=LENGTH, seed=7):
    """Mixed German text with punctuation, and an Enter after every few words."""
    rng = random.Random(seed)
    out, line = [], []
    while sum(map(len, out)) < length:
        line.append(rng.choice(WORDS))
        if len(line) >= rng.randint(6, 12):
            out.append(" ".join(line) + rng.choice(".,!?:;") + "\n")
            line = []
    return "".join(out)[:length - 1] + "."


def wrong_characters(want, got):
    """Characters lost, added or changed: the edit size of a diff."""
    matcher = difflib.SequenceMatcher(None, want, got, autojunk=False)
    return sum(max(i2 - i1, j2 - j1) for op, i1, i2, j1, j2 in matcher.get_opcodes() if op != "equal")


def values(text):
    return dict(line.split(": ", 1) for line in text.splitlines() if ": " in line)


def open_notepad(session):
    pad = session.start("notepad.exe")
    window = pad.wait_window(title_contains="Editor")
    session.click_window(window)
    session.wait_until(lambda: session.foreground() == window.hwnd, 10, what="notepad in front")
    return window


def typed_length(text):
    """Notepad's length of a text: Enter becomes CR LF."""
    return len(text.encode("utf-16-le")) // 2 + text.count("\n")


def run_ours(session, text, folder):
    window = open_notepad(session)
    source = folder / "text.txt"
    source.write_bytes(text.encode("utf-8"))
    result = session.run(session.exe("typetool.exe"), "type", hex(window.hwnd), win_path(source),
                         timeout=600)
    v = values(result.stdout)
    seconds = (int(v["done_epoch_ms"]) - int(v["start_epoch_ms"])) / 1000
    sent = (int(v["sent_epoch_ms"]) - int(v["start_epoch_ms"])) / 1000
    return seconds, sent, session.notepad_text(window.hwnd)


def typable_by_xdotool(text):
    """The part of the text that xdotool types reliably into Wine: characters
    on the display's US keymap. For others it remaps a key on the fly, and at
    --delay 0 Wine then loses or garbles whole runs of keys."""
    return "".join(c for c in text if c == "\n" or " " <= c <= "~")


def run_xdotool(session, text, folder):
    window = open_notepad(session)
    output = folder / "watch.txt"
    with output.open("w") as out:
        watcher = subprocess.Popen([WINE, str(session.exe("typetool.exe")), "watch", hex(window.hwnd),
                                    str(typed_length(text))], env=session.env, stdin=subprocess.DEVNULL,
                                   stdout=out, stderr=subprocess.DEVNULL)
        session.wait_until(lambda: "watching" in output.read_text(), 30, what="the watcher")
        start = time.time()
        session.xdotool("type", "--delay", 0, text)
        sent = time.time() - start
        watcher.wait(600)
    seconds = int(values(output.read_text())["done_epoch_ms"]) / 1000 - start
    return seconds, sent, session.notepad_text(window.hwnd)


def typed_in_log(path):
    """The characters a key logger window received, Enter as a line break."""
    if not path.exists():
        return ""
    codes = [line.split()[1] for line in path.read_text().splitlines() if line.startswith("CHAR ")]
    return "".join(chr(int(c, 16)) for c in codes).replace("\r", "\n")  # xdotool types LF itself


def run_into_logger(session, text, folder, sender):
    """Types the text into a fresh key logger window with `sender` ("ours" or
    "xdotool"); returns the seconds until the last character arrived and what
    arrived."""
    log = folder / f"{sender}.log"
    logger = session.start(session.exe("keylog.exe"), "Tastenlog", win_path(log), 100, 100)
    window = logger.wait_window(title="Tastenlog")
    session.click_window(window)
    session.wait_until(lambda: session.foreground() == window.hwnd, 10, what="the logger in front")
    if sender == "ours":
        source = folder / "logger.txt"
        source.write_bytes(text.encode("utf-8"))
        result = session.run(session.exe("typetool.exe"), "type", hex(window.hwnd), win_path(source))
        start = int(values(result.stdout)["start_epoch_ms"]) / 1000
    else:
        start = time.time()
        session.xdotool("type", "--delay", 0, text)
    last, last_change = "", time.time()
    while len(last) < len(text) and time.time() - last_change < 10:
        time.sleep(0.02)
        now = typed_in_log(log)
        if now != last:
            last, last_change = now, time.time()
    logger.kill()
    return last_change - start, last


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else "build/win32").resolve()
    text = sample_text()
    with WineSession(build) as session, tempfile.TemporaryDirectory(prefix="zelvo-bench-") as tmp:
        folder = Path(tmp)
        ours_s, ours_sent, ours_got = run_ours(session, text, folder)
        session.end_started()
        x_text = typable_by_xdotool(text)
        x_s, x_sent, x_got = run_xdotool(session, x_text, folder)
        session.end_started()
        ours_log_s, ours_log_got = run_into_logger(session, text, folder, "ours")
        x_log_s, x_log_got = run_into_logger(session, x_text, folder, "xdotool")

    print(f"typing_chars: {len(text)}")
    print(f"typing_ours_chars_per_s: {len(text) / ours_s:.0f}")
    print(f"typing_ours_send_returned_s: {ours_sent:.2f}")
    print(f"typing_ours_wrong_chars: {wrong_characters(text, ours_got)}")
    left_out = sorted(set(text) - set(x_text))
    print(f"typing_xdotool_left_out: {' '.join(left_out)} ({len(text) - len(x_text)} chars, "
          f"not on the keymap)")
    print(f"typing_xdotool_chars: {len(x_text)}")
    print(f"typing_xdotool_chars_per_s: {len(x_text) / x_s:.0f}")
    print(f"typing_xdotool_send_returned_s: {x_sent:.2f}")
    print(f"typing_xdotool_wrong_chars: {wrong_characters(x_text, x_got)}")
    print(f"typing_ours_to_xdotool_speed_ratio: {(len(text) / ours_s) / (len(x_text) / x_s):.2f}")
    print(f"logger_ours_chars_per_s: {len(text) / ours_log_s:.0f}")
    print(f"logger_ours_wrong_chars: {wrong_characters(text, ours_log_got)}")
    print(f"logger_xdotool_chars_per_s: {len(x_text) / x_log_s:.0f}")
    print(f"logger_xdotool_wrong_chars: {wrong_characters(x_text, x_log_got)}")
    print(f"logger_ours_to_xdotool_speed_ratio: "
          f"{(len(text) / ours_log_s) / (len(x_text) / x_log_s):.2f}")


if __name__ == "__main__":
    main()
