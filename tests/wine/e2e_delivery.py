"""Delivery through the real program: the hotkey opens the snippet menu, a
click picks an entry, and the text arrives in notepad, Wine's console or a
key logger window, by each send method; an enciphered text leaves the
clipboard after the paste; several matching windows open the chooser, none
(or only one of the program's own) gives the error message; a long typed
text stops when the user switches windows or presses Esc."""

import datetime
import re

from e2e_startup import message_box, press_ok, start_resident

HOTKEY = "ctrl+F5"  # HK=1029
MENU_BORDER, MENU_SEPARATOR = 3, 9  # pixels in Wine's popup menus
GRUSS_FILE = "Datei: Stra\xdfe\r\nzwei\r\n"

# Flat menu, sorted by name: the entries are the first items in this order.
ENTRIES = [
    # name, text (expanded form with placeholders), title, method
    ("A Tasten", "Gr\xfc\xdfe \xe4\xf6\xfc \xc4\xd6\xdc \xdf \u20ac {a} [b] 50% (c) ~ ^+\tTab\r"
                 "Monat %monat%/%jahr%\r%datei={gruss}%Ende", "", 0),
    ("B Ablage", "Ablage: Gr\xfc\xdfe 50% {x} (y) ~\u20ac\rZeile 2", "", 2),
    ("C Konsole", "dir /w", "Zelvo Konsole", 1),
    ("D Auswahl", "Hallo Ziel", "zelvo ziel", 0),
    ("E Kein Ziel", "nie", "Kein solches Fenster", 0),
    ("F Eigenes", "nie", "Optionen", 0),  # only the program's own hidden options dialog
    ("G Lang", "{long}", "", 0),
    ("H Konsole", "echo Zelvo in der Konsole> {console_out}\r", "system32\\cmd.exe", 1),
    ("I Geheim", "Kennwort: Gr\xfc\xdfe 50%", "", 2, True),
]
LONG_TEXT = "".join(f"Zeile {n:04d}: Gr\xfc\xdfe aus der langen \xdcbertragung.\r"
                    for n in range(1, 10000))[:20000]


def escape(text):
    """The data file's text codes."""
    return (text.replace("\\", "\\\\").replace("\t", "\\T").replace("\n", "\\L")
            .replace("\r", "\\N").replace('"', "\\H"))


def encipher(text, seed=12345):
    """An enciphered entry's stored text: a hex word per 1252 byte, the seed last."""
    keys = [round(seed / 2 ** m) & 0xFF for m in range(8)]
    words = [(c ^ keys[i % 8]) << 4 for i, c in enumerate(text.encode("cp1252"), 1)] + [seed]
    return "".join(f"{w:04X}" for w in words)


def write_data_file(session):
    """A data folder with the entries above; returns the expanded texts by name."""
    folder = session.temp_folder("daten")
    gruss = folder / "gruss.txt"
    gruss.write_bytes(GRUSS_FILE.encode("cp1252"))
    sections = {s: [] for s in ("Name", "Crypt", "Text", "Title", "DosBox")}
    expanded = {}
    for number, (name, text, title, method, *crypt) in enumerate(ENTRIES, 1):
        text = (text.replace("{gruss}", session.win_path(gruss)).replace("{long}", LONG_TEXT)
                .replace("{console_out}", session.win_path(folder / "konsole.txt")))
        stored = encipher(escape(text)) if crypt else escape(text)
        sections["Name"].append(f"{number}={name}")
        sections["Crypt"].append(f"{number}={1 if crypt else 0}")
        sections["Text"].append(f"{number}={stored}")
        sections["Title"].append(f"{number}={title}")
        sections["DosBox"].append(f"{number}={method}")
        expanded[name] = text.replace(f"%datei={session.win_path(gruss)}%",
                                      GRUSS_FILE.replace("\n", ""))
    lines = []
    for section, values in sections.items():
        lines += [f"[{section}]", *values]
    lines += ["[Common]", "HK=1029", "PumActViaBorder=0", "PumMode=0", "Lock=",
              "[Ignore]", "1=DF\xdc-Netzwerkmonitor"]
    data = folder / "Zelvoscript.ini"
    data.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1252"))
    session.set_setting("path", session.win_path(data))
    expanded["folder"] = folder
    return expanded


def with_clock(text):
    """The text with the month placeholders as they read now."""
    now = datetime.date.today()
    return text.replace("%monat%", f"{now.month:02d}").replace("%jahr%", str(now.year))


def choose_entry(session, window, name):
    """Clicks into `window`, presses the hotkey and clicks the entry in the
    snippet menu. Under Wine without a window manager the keyboard stays with
    the clicked window's X window and never reaches a menu owned by the
    hidden main window, so the entry is picked with the mouse."""
    session.click_window(window)
    session.wait_until(lambda: session.foreground() == window.hwnd, 10, what="the window in front")
    session.key(HOTKEY)
    menu = session.wait_window(cls="#32768", timeout=10)
    left, top, right, bottom = session.window_rect(menu.hwnd)
    items = len(ENTRIES) + 4  # "Suchen", "Öffnen", "Beenden", "Abbrechen", and one separator
    height = (bottom - top - 2 * MENU_BORDER - MENU_SEPARATOR) // items
    index = [e[0] for e in ENTRIES].index(name)
    session.xdotool("mousemove", "--sync", left + 30, top + MENU_BORDER + height * index + height // 2)
    session.xdotool("click", 1)
    session.wait_no_window(cls="#32768", timeout=10)


def start_program_and_notepad(session):
    expanded = write_data_file(session)
    program, _ = start_resident(session, session.build_dir)
    pad = session.start("notepad.exe")
    window = pad.wait_window(title_contains="Editor")
    edit = session.children(window.hwnd, cls="Edit")[0]
    return expanded, program, window, edit


def test_keystrokes_and_clipboard_reach_notepad(session):
    expanded, program, window, edit = start_program_and_notepad(session)

    choose_entry(session, window, "A Tasten")
    want = with_clock(expanded["A Tasten"]).replace("\r", "\n")
    got = session.wait_until(lambda: (t := session.notepad_text(window.hwnd)).endswith("Ende") and t,
                             30, what="the typed entry in notepad")
    assert got == want

    session.set_text(edit.hwnd, "")
    choose_entry(session, window, "B Ablage")
    want = expanded["B Ablage"]
    session.wait_until(lambda: session.notepad_text(window.hwnd), 15, what="the pasted entry")
    assert session.clipboard() == want
    assert session.notepad_text(window.hwnd) == want

    # An enciphered entry is pasted, then the text copied before comes back.
    session.set_text(edit.hwnd, "")
    session.set_clipboard("vorher kopiert")
    choose_entry(session, window, "I Geheim")
    want = expanded["I Geheim"]
    session.wait_until(lambda: session.notepad_text(window.hwnd) == want, 15,
                       what="the enciphered entry in notepad")
    session.wait_until(lambda: session.clipboard() == "vorher kopiert", 15,
                       what="the clipboard's previous text back")


class KeyLog:
    """A key logger window (tests/win32/tools/keylog.cpp) with its title."""

    def __init__(self, session, title, left):
        self.path = session.temp_folder("tasten") / "keys.log"
        # Below notepad, so that clicks into notepad reach notepad.
        self.process = session.start(session.exe("keylog.exe"), title, session.win_path(self.path),
                                     left, 780)
        self.window = self.process.wait_window(title=title)

    def lines(self):
        return self.path.read_text().splitlines() if self.path.exists() else []

    def chars(self):
        """The characters received, with "SYS" before those typed under Alt."""
        return [("SYS" if kind == "SYSCHAR" else "") + chr(int(code, 16))
                for kind, code, *_ in map(str.split, self.lines()) if kind.endswith("CHAR")]


def test_console_chooser_and_missing_target(session):
    expanded, program, pad, _ = start_program_and_notepad(session)
    console = KeyLog(session, "Zelvo Konsole", 0)
    first, second = KeyLog(session, "Zelvo Ziel 1", 400), KeyLog(session, "Zelvo Ziel 2", 800)

    # The console paste: the text on the clipboard, then Alt+Space, B, E.
    choose_entry(session, pad, "C Konsole")
    session.wait_until(lambda: len(console.chars()) == 3, 15, what="three keys in the console")
    assert console.chars() == ["SYS ", "B", "E"]
    assert "SYSKEYDOWN 20 1" in console.lines()  # the space bar with Alt held
    assert session.clipboard() == expanded["C Konsole"]

    # Two windows match: the chooser lists both, the second line gets the text.
    choose_entry(session, pad, "D Auswahl")
    chooser = program.wait_window(title="Auswahl - Zelvoscript")
    session.key("Down")
    ok = next(c for c in session.children(chooser.hwnd) if c.title == "&OK")
    session.post_click(ok.hwnd)
    want = list(expanded["D Auswahl"])
    session.wait_until(lambda: second.chars() == want, 15, what="the text in the second window")
    assert first.chars() == []

    # No window matches, or only one of the program's own (the hidden options
    # dialog): the error message, and nothing typed anywhere.
    for name in ("E Kein Ziel", "F Eigenes"):
        choose_entry(session, pad, name)
        box, texts = message_box(session, program, "Es wurde kein passendes Zielfenster identifiziert.")
        assert any("Die \xdcbertragung wird daher abgebrochen." in t for t in texts)
        press_ok(session, box)
        session.wait_no_window(pid=program.winpid(), cls="#32770")
    assert session.notepad_text(pad.hwnd) == ""
    assert (first.chars(), second.chars(), console.chars()[3:]) == ([], want, [])


def test_console_method_pastes_into_wines_console(session):
    expanded, program, pad, _ = start_program_and_notepad(session)
    session.start("wineconsole", "cmd")
    console = session.wait_window(cls="WineConsoleClass", title_contains="cmd.exe")
    session.move_window(console.hwnd, 600, 600)  # clear of notepad, which the test clicks
    out = expanded["folder"] / "konsole.txt"

    # The console gets its paste command, not keys for a German menu; the
    # pasted line ends with an Enter, so cmd runs it.
    choose_entry(session, pad, "H Konsole")
    session.wait_until(out.exists, 20, what="the file the pasted command writes")
    assert session.wait_until(lambda: out.read_bytes().strip(), 10) == b"Zelvo in der Konsole"
    assert session.clipboard() == expanded["H Konsole"]


def stopped_message(session, program, reason):
    """The message that typing stopped for `reason`; returns the range of the
    20.000 characters it says were sent ("350", or "350 bis 400" when the
    target was not seen reading the last of them)."""
    box, texts = message_box(session, program, reason)
    session.screenshot("typing-stopped")
    pattern = r"Gesendet wurden ([\d.]+)(?: bis ([\d.]+))? von 20\.000 Zeichen\."
    found = next(m for t in texts if (m := re.search(pattern, t)))
    press_ok(session, box)
    session.wait_no_window(pid=program.winpid(), cls="#32770")
    low = int(found.group(1).replace(".", ""))
    return low, int((found.group(2) or found.group(1)).replace(".", ""))


def wait_notepad_holds(session, pad, want, sent):
    """Notepad ends up with the start of `want`, as long as the message said."""
    low, high = sent

    def settled():
        text = session.notepad_text(pad.hwnd)
        return low <= len(text) <= high and want.startswith(text)
    session.wait_until(settled, 60, what=f"{low} to {high} characters of the text in notepad"
                       f" (it holds {len(session.notepad_text(pad.hwnd))}:"
                       f" {session.notepad_text(pad.hwnd)[-60:]!r})")


HALF = 10000


def test_long_typing_stops_when_the_user_switches_windows_or_presses_esc(session):
    expanded, program, pad, edit = start_program_and_notepad(session)
    other = KeyLog(session, "Zelvo Anderes Fenster", 800)
    want = expanded["G Lang"].replace("\r", "\n")
    assert len(want) == 20000

    # The user clicks into another window halfway: the rest goes nowhere.
    choose_entry(session, pad, "G Lang")
    session.wait_until(lambda: len(session.notepad_text(pad.hwnd)) >= HALF, 900,
                       what="half of the text in notepad")
    session.click_window(other.window)
    sent = stopped_message(session, program, "Das Zielfenster ist nicht mehr im Vordergrund.")
    assert HALF <= sent[0] <= sent[1] < 20000
    wait_notepad_holds(session, pad, want, sent)
    # Keys already on their way when the click came may reach the other
    # window; they are those the message gave as uncertain, never the rest.
    typed = len(session.notepad_text(pad.hwnd))
    strayed = "".join(other.chars()).replace("\r", "\n")
    assert typed + len(strayed) <= sent[1], (typed, strayed, sent)
    assert want[typed:typed + len(strayed)] == strayed, (typed, strayed)

    # Esc stops it.
    session.set_text(edit.hwnd, "")
    choose_entry(session, pad, "G Lang")
    session.wait_until(lambda: len(session.notepad_text(pad.hwnd)) >= 100, 120,
                       what="the text beginning in notepad")
    session.key("Escape")
    sent = stopped_message(session, program, "Die \xdcbertragung wurde mit Esc abgebrochen.")
    assert 100 <= sent[0] <= sent[1] < 20000
    wait_notepad_holds(session, pad, want, sent)
