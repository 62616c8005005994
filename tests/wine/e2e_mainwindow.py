"""The main window of the real program, driven as a user would: shown from
the tray, an entry created through the toolbar and typed into the editor
with Enter and Tab, renamed and deleted; the debuggers; and a data file
locked by another PC."""

import shutil
from pathlib import Path

from harness import TimedOut

MAIN_CLASS = "ZelvoscriptMainWindow"
CAPTION = "\u2022 Zelvoscript 2.5"
SAMPLE = Path(__file__).resolve().parents[2] / "data" / "sample.ini"
# Toolbar buttons by position: &Neu, &Name, &Löschen, Lan-&Sync, &Optionen, &Debug, ...
NEW, RENAME, DELETE, DEBUG, INFO = 0, 1, 2, 5, 7
FOREIGN_LOCK = "Fremd;PC-ANDERS;01.03.2026 10:00:00;1234567890123456"


def ini_values(path, section):
    """key -> value of one section of the data file (Windows-1252)."""
    values, current = {}, None
    for line in path.read_bytes().decode("cp1252").split("\r\n"):
        if line.startswith("["):
            current = line.strip("[]")
        elif current == section and "=" in line:
            key, value = line.split("=", 1)
            values[key] = value
    return values


def start_with_data(session):
    data = session.temp_folder("daten") / "Zelvoscript.ini"
    shutil.copy(SAMPLE, data)
    session.set_setting("path", session.win_path(data))
    process = session.start(session.exe("Zelvoscript.exe"))
    main = session.wait_until(lambda: next(iter(process.windows(cls=MAIN_CLASS, title=CAPTION)), None), 30,
                              what="start-up to finish")
    return process, main, data


def show_from_tray(session, process):
    tray = session.wait_window(title="Wine System Tray")
    left, top, _, bottom = session.window_rect(tray.hwnd)
    # The first icon sits at the left; a right click shows the main window.
    session.click_at(left + 12, (top + bottom) // 2 + 8, button=3)
    return process.wait_window(cls=MAIN_CLASS)


def click_toolbar(session, main, index):
    toolbar = session.children(main.hwnd, cls="ToolbarWindow32")[0]
    left, top, right, bottom = (int(v) for v in session.wintool("tbrect", hex(toolbar.hwnd), index).stdout.split())
    session.click_at((left + right) // 2, (top + bottom) // 2)


def click_selected_row(session, main):
    entry_list = session.children(main.hwnd, cls="ListBox")[0]
    send = lambda msg, wp=0: int(session.wintool("send", hex(entry_list.hwnd), msg, wp).stdout)
    row, top_row, height = send(0x188), send(0x18E), send(0x1A1, 0)  # CURSEL, TOPINDEX, ITEMHEIGHT
    session.click_window(entry_list, dx=30, dy=2 + (row - top_row) * height + height // 2)


def dialog_with(session, process, text_part, timeout=15):
    """A visible dialog of the program (message or input box) with a control
    whose text contains `text_part`; returns it and its controls."""
    def found():
        for box in process.windows(cls="#32770", visible=True):
            controls = session.children(box.hwnd)
            if any(text_part in c.title for c in controls):
                return box, controls
        return None
    return session.wait_until(found, timeout, what=f"a dialog saying {text_part!r}")


def answer(session, process, text_part, *keys):
    """Waits for the dialog, clicks into it and presses the keys there."""
    box, controls = dialog_with(session, process, text_part)
    session.click_window(box, dy=12)  # the caption: activates without pressing a control
    session.key(*keys)
    session.wait_until(lambda: box.hwnd not in [w.hwnd for w in process.windows(visible=True)], 10,
                       what="the dialog to close")
    return box, controls


def number_of(data, name):
    return next(key for key, value in ini_values(data, "Name").items() if value == name)


def test_entry_typed_renamed_and_deleted_through_the_toolbar(session):
    process, main, data = start_with_data(session)
    main = show_from_tray(session, process)
    session.screenshot("mainwindow-list")

    click_toolbar(session, main, NEW)
    box, _ = dialog_with(session, process, "Bitte geben Sie einen Namen")
    assert box.title == "Zelvoscript - Neuen Eintrag erstellen"
    session.type_text("Testeintrag")
    session.key("Return")
    session.wait_until(lambda: "Testeintrag" in ini_values(data, "Name").values(), 10, what="the new entry")
    number = number_of(data, "Testeintrag")
    assert number == "10"

    # The new entry's editor has the focus: Enter and Tab become symbols.
    session.type_text("ab")
    session.key("Return")
    session.type_text("c")
    session.key("Tab")
    session.type_text("d")
    session.screenshot("mainwindow-editor-symbols")
    # Leaving the editor for the cipher box saves; unticking it stores plain text.
    crypt = session.children(main.hwnd, title="&Text chiffriert speichern")[0]
    session.click_window(crypt, dx=8)
    session.wait_until(lambda: ini_values(data, "Crypt").get(number) == "0", 10, what="the plain text")
    assert ini_values(data, "Text")[number] == r"ab\Nc\Td"

    # The cipher box keeps the lock while it has the focus; the list takes none.
    click_selected_row(session, main)
    session.wait_until(lambda: ini_values(data, "Common").get("Lock") == "", 10, what="the lock released")
    click_toolbar(session, main, RENAME)
    box, _ = dialog_with(session, process, "Bitte geben Sie einen neuen Namen")
    session.key("ctrl+a")
    session.type_text("Umbenannt")
    session.key("Return")
    session.wait_until(lambda: ini_values(data, "Name").get(number) == "Umbenannt", 10, what="the new name")
    assert ini_values(data, "Text")[number] == r"ab\Nc\Td"

    click_toolbar(session, main, DELETE)
    answer(session, process, "wirklich l\u00f6schen?", "Return")  # Yes is the default
    session.wait_until(lambda: ini_values(data, "Name").get(number) == "", 10, what="the deletion")
    assert len([v for v in ini_values(data, "Name").values() if v]) == 9
    session.wait_until(lambda: ini_values(data, "Common").get("Lock") == "", 10, what="the lock released")


def test_debuggers_and_a_data_file_locked_by_another_pc(session):
    notepad = session.start("notepad.exe")
    editor = notepad.wait_window(title_contains="Editor")
    process, main, data = start_with_data(session)
    main = show_from_tray(session, process)

    # Opening the snippet menu from the tray captures the windows for DebFrm.
    tray = session.wait_window(title="Wine System Tray")
    left, top, _, bottom = session.window_rect(tray.hwnd)
    # Wine's tray window, just mapped on a loaded machine, may miss the very
    # first click; one more click is what a user would do.
    for attempt in (1, 2):
        session.click_at(left + 12, (top + bottom) // 2 + 8)
        try:
            session.wait_until(lambda: process.windows(cls="#32768", visible=True), 10, what="the snippet menu")
            break
        except TimedOut:
            if attempt == 2:
                raise
    session.key("Escape")

    # DebFrm holds the lock while it is open.
    click_toolbar(session, main, DEBUG)
    debugger = process.wait_window(title=CAPTION + " - Debugger")
    assert ini_values(data, "Common")["Lock"].count(";") == 3
    titles = session.children(debugger.hwnd, cls="ListBox")[0]
    assert int(session.wintool("send", hex(titles.hwnd), 0x18B).stdout) >= 1  # LB_GETCOUNT
    texts = [c.title for c in session.children(debugger.hwnd)]
    assert "&Markierten Titel in Zukunft ignorieren" in texts
    assert any(t.startswith("Beim Klick in das Popup-Men\u00fc der Textbausteine") for t in texts)

    # Shift+Ctrl and a click on the frame "Bearbeitung" open the window list,
    # whose title follows the foreground window.
    frame = session.children(main.hwnd, title="Bearbeitung")[0]
    left, top, right, bottom = session.window_rect(frame.hwnd)
    session.xdotool("mousemove", "--sync", right - 3, (top + bottom) // 2)
    session.xdotool("keydown", "shift", "keydown", "ctrl", "click", "1", "keyup", "ctrl", "keyup", "shift")
    window_list = process.wait_window(cls="#32770", title="QVDEBUGFRM")
    assert {"visible only", "Exit"} <= {c.title for c in session.children(window_list.hwnd)}
    session.run(session.exe("showwindow.exe"), hex(editor.hwnd))
    session.wait_until(lambda: session.wintool("title", hex(window_list.hwnd)).stdout.strip() == editor.title, 5,
                       what="the window list to name the editor")
    for window in (main, window_list, debugger):
        session.run(session.exe("showwindow.exe"), hex(window.hwnd))
    session.screenshot("debuggers")

    closing = next(c for c in session.children(debugger.hwnd) if c.title.startswith("&Dieses Fenster"))
    session.post_click(closing.hwnd)
    session.wait_until(lambda: ini_values(data, "Common")["Lock"] == "", 10, what="the debugger's lock released")
    session.post_click(next(c for c in session.children(window_list.hwnd) if c.title == "Exit").hwnd)
    session.wait_until(lambda: not process.windows(cls="#32770", visible=True), 10, what="both debuggers closed")

    # Another PC holds the lock: "&Neu" names it and changes nothing.
    text = data.read_bytes().decode("cp1252").replace("[Name]", f"[Common]\r\nLock={FOREIGN_LOCK}\r\n\r\n[Name]", 1)
    data.write_bytes(text.encode("cp1252"))
    before = data.read_bytes()
    click_toolbar(session, main, NEW)
    box, controls = answer(session, process, "bearbeitet werden.", "Return")
    message = next(c.title for c in controls if "bearbeitet werden." in c.title)
    assert "''Fremd'' auf ''PC-ANDERS''" in message
    assert not [w for w in process.windows(cls="#32770", visible=True)]  # no input box followed
    assert data.read_bytes() == before


def test_banner_and_about_box_open_the_makers_page(session):
    opened = session.capture_browser()
    process, main, data = start_with_data(session)
    main = show_from_tray(session, process)
    banner = session.children(main.hwnd, cls="ZelvoscriptBanner")[0]
    session.click_window(banner)
    session.wait_until(lambda: opened() == ["https://www.brannox.example"], 15, what="the banner to open the maker's page")

    click_toolbar(session, main, INFO)
    about = process.wait_window(title=CAPTION + " - Info")
    texts = [c.title for c in session.children(about.hwnd)]
    assert "Zelvoscript 2.5.18" in texts
    assert "Automatische Texteinf\u00fcgungen aller Art" in texts
    assert {"&Homepage", "Nach &Updates suchen"} <= set(texts)
    left, top, right, bottom = session.window_rect(about.hwnd)
    assert abs((left + right) // 2 - 640) <= 1 and abs((top + bottom) // 2 - 512) <= 1
    session.screenshot("about")
    session.post_click(next(c for c in session.children(about.hwnd) if c.title == "&Homepage").hwnd)
    session.wait_until(lambda: opened()[1:] == ["https://www.brannox.example"], 15, what="the about box's homepage")
    session.post_click(next(c for c in session.children(about.hwnd) if c.title.startswith("&Schlie")).hwnd)
    session.wait_no_window(pid=about.pid, title=about.title)
