#!/usr/bin/env python3
"""What scripts/run shows on a machine without a display: the program's main
job, on a virtual display in a fresh Wine prefix. A copy of the program starts
beside Wine's notepad with the sample data, the hotkey (or, when it does not
answer, a click on the tray icon) opens the snippet menu, a typed snippet of
several lines goes into notepad, and the screenshot of that moment is saved.
Prints what notepad received; a failure is one sentence, its details go to
a log beside the screenshot.

    demo.py BUILD_DIR SCREENSHOT
"""

import re
import shutil
import sys
import time
import traceback
from contextlib import contextmanager
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "wine"))
from harness import TimedOut, WineSession  # noqa: E402

KEYS = {"shift": "Umschalt", "alt": "Alt", "ctrl": "Strg"}
TRAY = "Wine System Tray"
# How long the menu may take to open on a busy machine, per try.
MENU_WAIT_S = 20


class DemoFailed(Exception):
    """What went wrong, in one sentence for the user."""


@contextmanager
def step(failure):
    """Runs a step; any error in it becomes DemoFailed(failure)."""
    try:
        yield
    except DemoFailed:
        raise
    except Exception as e:
        raise DemoFailed(failure) from e


def read_sample(sample):
    """{section: {key: value}} of the sample data file."""
    sections, section = {}, None
    for line in sample.read_bytes().decode("cp1252").splitlines():
        line = line.strip()
        if line.startswith("["):
            section = sections.setdefault(line.strip("[]").lower(), {})
        elif section is not None and "=" in line and not line.startswith(";"):
            key, value = line.split("=", 1)
            section[key.strip().lower()] = value.strip()
    return sections


def hotkey_of(data):
    """(xdotool keys, the same as a user reads them) of the HK value (Strg + F5 as shipped)."""
    hk = int(data.get("common", {}).get("hk", "0") or 0)
    if not 1 <= (hk & 0xFF) <= 12:
        return None
    mods = [m for bit, m in ((256, "shift"), (512, "alt"), (1024, "ctrl")) if hk & bit]
    key = f"F{hk & 0xFF}"
    return "+".join(mods + [key]), "+".join([KEYS[m] for m in mods] + [key])


def unescape(stored):
    """A stored text as keystrokes type it into notepad."""
    codes = {"N": "\n", "T": "\t", "H": '"', "\\": "\\"}
    return re.sub(r"\\(.)", lambda m: codes.get(m.group(1), m.group(0)), stored)


def demo_entry(data):
    """(name, position in the flat menu, text as notepad shows it) of the
    first entry in menu order that is typed as keystrokes into the window
    used last, spans several lines and has no placeholders."""
    names, texts = data.get("name", {}), data.get("text", {})
    sections = {s: data.get(s, {}) for s in ("crypt", "dosbox", "title")}
    # The flat menu lists the names in the order of their 1252 bytes.
    order = sorted((name.encode("cp1252"), int(n)) for n, name in names.items() if n.isdigit() and name)
    for position, (_, number) in enumerate(order):
        n = str(number)
        text = texts.get(n, "")
        if (sections["crypt"].get(n, "0") == "0" and sections["dosbox"].get(n, "0") == "0"
                and not sections["title"].get(n) and "\\N" in text and "%" not in text
                and "\\L" not in text):
            return names[n], position, unescape(text)
    return None


def open_menu(s, zs, pad_window, key, key_text):
    """Opens the snippet menu with the hotkey, twice if need be, then with a
    click on the tray icon. Returns (menu window, how it was opened)."""
    def menu_within(seconds):
        try:
            return s.wait_window(cls="#32768", pid=zs.winpid(), timeout=seconds)
        except TimedOut:
            if not zs.running():
                raise DemoFailed("Zelvoscript ended before its snippet menu opened.")
            return None

    for _ in range(2):
        # Wine passes a hotkey on only while one of its windows has the keyboard focus.
        s.click_window(pad_window)
        s.key(key)
        menu = menu_within(MENU_WAIT_S)
        if menu:
            return menu, key_text
    tray = s.wait_window(title=TRAY)
    left, _, _, bottom = s.window_rect(tray.hwnd)
    s.click_window(pad_window)
    s.click_at(left + 12, bottom - 13)  # the first icon
    menu = menu_within(MENU_WAIT_S)
    if menu:
        return menu, "a click on the tray icon"
    raise DemoFailed(f"Neither {key_text} (pressed twice) nor a click on the tray icon opened "
                     f"the snippet menu within {MENU_WAIT_S} s each.")


def run(build, shot):
    missing = [n for n in ("Zelvoscript.exe", "sample.ini", "hilfe", "wintool.exe") if not (build / n).exists()]
    if missing:
        raise DemoFailed(f"The build in {build} lacks {', '.join(missing)}.")
    s = WineSession(build, artifacts_dir=shot.parent, screen="1280x800x24")
    with step("Wine could not set up a fresh prefix on a virtual display (is scripts/setup done?)"):
        s.__enter__()
    with s:
        # A fresh copy, as a user unpacks it: the data file starts as sample.ini.
        folder = s.temp_folder("programm")
        for name in ("Zelvoscript.exe", "sample.ini"):
            shutil.copy(build / name, folder / name)
        shutil.copytree(build / "hilfe", folder / "hilfe")
        data = read_sample(folder / "sample.ini")
        # Clicking the tray icon makes Wine's tray window, which Windows does
        # not have, the window used last; the data file's ignore list keeps
        # it from receiving the snippet, as an office keeps its helper windows.
        sample = (folder / "sample.ini").read_bytes().decode("cp1252")
        last_section = ([line.strip().lower() for line in sample.splitlines() if line.startswith("[")] or [""])[-1]
        added = "" if last_section == "[ignore]" else "[Ignore]\r\n"
        added += f"{len(data.get('ignore', {})) + 1}={TRAY}\r\n"
        (folder / "Zelvoscript.ini").write_bytes((sample.rstrip("\r\n") + "\r\n" + added).encode("cp1252"))
        hotkey, entry = hotkey_of(data), demo_entry(data)
        if not hotkey or not entry or data.get("common", {}).get("pummode", "0") != "0":
            raise DemoFailed("The sample data lacks what the demo shows: a hotkey, the flat menu "
                             "and a typed snippet of several lines.")
        name, position, expected = entry

        with step("Wine's notepad did not start within 15 s."):
            pad = s.start("notepad.exe")
            pad_window = pad.wait_window(title_contains="Editor")
            s.move_window(pad_window.hwnd, 300, 150)  # off the tray window at the top left
            edit = s.children(pad_window.hwnd, cls="Edit")[0].hwnd

        with step("Zelvoscript did not finish starting within 90 s."):
            zs = s.start(folder / "Zelvoscript.exe")
            zs.wait_window(title_contains="Optionen", visible=False, timeout=90)
        print(f"run: Zelvoscript runs in the tray; its data file is {folder / 'Zelvoscript.ini'}")

        with step("The snippet menu could not be opened."):
            menu, how = open_menu(s, zs, pad_window, *hotkey)
        with step(f"Choosing \"{name}\" in the snippet menu did not close it."):
            s.focus_popup_menu(menu)
            s.key(*["Down"] * (position + 1), "Return")
            s.wait_no_window(cls="#32768", timeout=10)
        print(f"run: {how} opened the snippet menu; \"{name}\" was chosen")

        try:
            s.wait_until(lambda: s.notepad_text(edit) == expected, 30, what="the snippet in notepad")
        except TimedOut:
            got = s.notepad_text(edit)
            s.screenshot(path=shot)
            raise DemoFailed(f"Notepad received {got!r} instead of the snippet within 30 s "
                             f"(screenshot: {shot}).")
        s.screenshot(path=shot)
        print("run: notepad received:")
        for line in expected.split("\n"):
            print("    " + line.replace("\t", "    ") if line else "")
        print(f"run: screenshot: {shot}")


def main():
    build, shot = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    log = shot.with_name("run-demo.log")
    started = time.monotonic()
    try:
        run(build, shot)
    except Exception as e:
        sentence = str(e) if isinstance(e, DemoFailed) else f"The demo stopped unexpectedly: {e}"
        log.write_text(traceback.format_exc())
        print(f"run: {sentence} Details: {log}", file=sys.stderr)
        sys.exit(1)
    except KeyboardInterrupt:
        sys.exit(130)
    print(f"run: the demo took {time.monotonic() - started:.0f} s")


if __name__ == "__main__":
    main()
