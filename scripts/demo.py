#!/usr/bin/env python3
"""What scripts/run shows on a machine without a display: the program's main
job, on a virtual display in a fresh Wine prefix. A copy of the program starts
beside Wine's notepad with the sample data, the hotkey opens the snippet menu,
the first snippet is typed into notepad, and the screenshot of that moment is
saved. Prints what notepad received.

    demo.py BUILD_DIR SCREENSHOT
"""

import shutil
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "wine"))
from harness import WineSession  # noqa: E402

FUNCTION_KEYS = {i: f"F{i}" for i in range(1, 13)}


def hotkey_of(sample):
    """The xdotool key for the sample data's HK value (Strg + F5 as shipped)."""
    hk = 0
    section = ""
    for line in sample.read_bytes().decode("cp1252").splitlines():
        line = line.strip()
        if line.startswith("["):
            section = line.strip("[]").lower()
        elif section == "common" and line.lower().startswith("hk="):
            hk = int(line[3:].strip() or 0)
    if not 1 <= (hk & 0xFF) <= 12:
        raise SystemExit("demo: the sample data has no hotkey")
    mods = [m for bit, m in ((256, "shift"), (512, "alt"), (1024, "ctrl")) if hk & bit]
    return "+".join(mods + [FUNCTION_KEYS[hk & 0xFF]])


def main():
    build, shot = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    with WineSession(build, artifacts_dir=shot.parent, screen="1280x800x24") as s:
        # A fresh copy, as a user unpacks it: the data file starts as sample.ini.
        folder = s.temp_folder("programm")
        for name in ("Zelvoscript.exe", "sample.ini"):
            shutil.copy(build / name, folder / name)
        shutil.copytree(build / "hilfe", folder / "hilfe")

        pad = s.start("notepad.exe")
        pad_window = pad.wait_window(title_contains="Editor")
        s.move_window(pad_window.hwnd, 300, 150)  # off the tray window at the top left
        edit = s.children(pad_window.hwnd, cls="Edit")[0].hwnd

        zs = s.start(folder / "Zelvoscript.exe")
        zs.wait_window(title_contains="Optionen", visible=False, timeout=60)  # start-up done
        print(f"run: Zelvoscript runs in the tray; the data file is {folder / 'Zelvoscript.ini'}")

        key = hotkey_of(folder / "sample.ini")
        s.click_window(pad_window)
        s.key(key)
        menu = s.wait_window(cls="#32768", pid=zs.winpid(), timeout=20)
        print(f"run: {key} opened the snippet menu; choosing its first entry")
        s.focus_popup_menu(menu)
        s.key("Down", "Return")
        s.wait_no_window(cls="#32768", timeout=10)

        def typed():
            # Done when the text has stopped growing.
            first = s.notepad_text(edit)
            return first if first and s.notepad_text(edit) == first else None
        text = s.wait_until(typed, 30, what="the snippet in notepad")
        s.screenshot(path=shot)
        print("run: notepad received:")
        for line in text.split("\n"):
            print("    " + line)
        print(f"run: screenshot: {shot}")


if __name__ == "__main__":
    main()
