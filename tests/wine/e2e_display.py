"""The program at 100, 125, 150 and 200 % display scale, looked at from the
outside: every window is opened, and no control's text may need more room
than the control has, and no two controls may overlap. Also: a move to a
monitor of another scale (WM_DPICHANGED), and the names a screen reader
reads through the accessibility interface."""

from e2e_delivery import KeyLog, choose_entry, write_data_file
from e2e_mainwindow import (CAPTION, DEBUG, INFO, MAIN_CLASS, NEW, click_toolbar, dialog_with, show_from_tray,
                            start_with_data)
from e2e_startup import start_resident

OPTIONS = 4  # toolbar position of "&Optionen"
DESKTOP = r"HKCU\Control Panel\Desktop"
SCALES = (96, 120, 144, 192)


def set_dpi(session, dpi):
    """The display scale of programs started from now on."""
    session.reg("add", DESKTOP, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")


def layout(session, hwnd):
    out = session.run(session.exe("uiprobe.exe"), "layout", hex(hwnd), timeout=60, check=True, raw=True).stdout
    controls = []
    for line in out.splitlines():
        h, parent, cls, ident, container, *numbers, text = line.split("\t")
        left, top, right, bottom, need_w, need_h = map(int, numbers)
        controls.append(dict(hwnd=h, parent=parent, cls=cls, id=int(ident), container=container == "1",
                             rect=(left, top, right, bottom), need=(need_w, need_h), text=text))
    return controls


def problems(controls):
    """What a person would see as cut off or covered."""
    found = []
    for c in controls:
        left, top, right, bottom = c["rect"]
        need_w, need_h = c["need"]
        name = f"{c['cls']} {c['text'] or c['id']!r}"
        if need_w > right - left:
            found.append(f"{name}: text needs {need_w} pixels, has {right - left}")
        if need_h > bottom - top:
            found.append(f"{name}: text needs {need_h} pixels high, has {bottom - top}")
    for i, a in enumerate(controls):
        for b in controls[i + 1:]:
            if a["parent"] != b["parent"] or a["container"] or b["container"]:
                continue
            (al, at, ar, ab), (bl, bt, br, bb) = a["rect"], b["rect"]
            if min(ar, br) > max(al, bl) and min(ab, bb) > max(at, bt):
                found.append(f"{a['cls']} {a['text'] or a['id']!r} overlaps {b['cls']} {b['text'] or b['id']!r}")
    return found


def check_window(session, window, dpi, name, shots):
    found = problems(layout(session, window.hwnd))
    if dpi in shots:
        session.screenshot(f"display-{dpi}-{name}")
    assert not found, f"{name} at {dpi} DPI:\n  " + "\n  ".join(found)


def open_every_window(session, dpi, shots=()):
    """Main window, input box, options, backups, both debuggers, about box; each is
    checked, then closed again."""
    process, main, _ = start_with_data(session)
    main = show_from_tray(session, process)
    check_window(session, main, dpi, "hauptfenster", shots)

    click_toolbar(session, main, NEW)
    box, _ = dialog_with(session, process, "Bitte geben Sie einen Namen")
    check_window(session, box, dpi, "eingabe", shots)
    session.key("Escape")
    session.wait_no_window(pid=process.winpid(), title=box.title)

    click_toolbar(session, main, OPTIONS)
    options = process.wait_window(title_contains="Optionen")
    check_window(session, options, dpi, "optionen", shots)
    # With the border strip chosen, its position buttons show as well.
    icon_und = next(c for c in session.children(options.hwnd) if c.title == "Icon &und")
    session.post_click(icon_und.hwnd)
    session.wait_until(lambda: len(session.children(options.hwnd, title="&Farbauswahl", visible=True)) == 1, 10,
                       what="the border strip's controls")
    check_window(session, options, dpi, "optionen-rand", shots)
    session.post_click(next(c for c in session.children(options.hwnd) if c.title == "Sicherungen ...").hwnd)
    backups = process.wait_window(title=CAPTION + " - Sicherungen")
    check_window(session, backups, dpi, "sicherungen", shots)
    session.close_window(backups.hwnd)
    session.close_window(options.hwnd)

    click_toolbar(session, main, DEBUG)
    debugger = process.wait_window(title=CAPTION + " - Debugger")
    check_window(session, debugger, dpi, "debugger", shots)
    session.post_click(next(c for c in session.children(debugger.hwnd) if c.title.startswith("&Dieses")).hwnd)

    frame = session.children(main.hwnd, title="Bearbeitung")[0]
    left, top, right, bottom = session.window_rect(frame.hwnd)
    session.xdotool("mousemove", "--sync", right - 3, (top + bottom) // 2)
    session.xdotool("keydown", "shift", "keydown", "ctrl", "click", "1", "keyup", "ctrl", "keyup", "shift")
    window_list = process.wait_window(cls="#32770", title="QVDEBUGFRM", timeout=10)
    check_window(session, window_list, dpi, "fensterliste", shots)
    session.close_window(window_list.hwnd)

    click_toolbar(session, main, INFO)
    about = process.wait_window(title=CAPTION + " - Info")
    check_window(session, about, dpi, "info", shots)
    session.close_window(about.hwnd)
    session.end_started()


def open_the_chooser(session, dpi, shots=()):
    write_data_file(session)
    program, _ = start_resident(session, session.build_dir)
    pad = session.start("notepad.exe").wait_window(title_contains="Editor")
    KeyLog(session, "Zelvo Ziel 1", 400), KeyLog(session, "Zelvo Ziel 2", 800)
    choose_entry(session, pad, "D Auswahl")
    chooser = program.wait_window(title="Auswahl - Zelvoscript")
    check_window(session, chooser, dpi, "auswahl", shots)
    session.close_window(chooser.hwnd)
    session.end_started()


def test_every_window_fits_at_every_scale(session):
    try:
        for dpi in SCALES:
            set_dpi(session, dpi)
            session.reset_settings()
            open_every_window(session, dpi, shots=(144, 192))
            open_the_chooser(session, dpi, shots=(144, 192))
    finally:
        set_dpi(session, 96)


def test_moved_to_a_monitor_of_another_scale(session):
    """Windows sends WM_DPICHANGED with a suggested rectangle; the window
    takes it and lays itself out for the new scale, fonts and toolbar
    included, and the options dialog scales its controls."""
    process, main, _ = start_with_data(session)
    main = show_from_tray(session, process)
    before = {c["cls"] + str(c["id"]): c["rect"] for c in layout(session, main.hwnd)}
    session.run(session.exe("uiprobe.exe"), "dpichanged", hex(main.hwnd), 192, check=True)
    left, top, right, bottom = session.window_rect(main.hwnd)
    after = layout(session, main.hwnd)
    entries = next(c for c in after if c["cls"] == "ListBox")
    el, et, er, eb = entries["rect"]
    bl, bt, br, bb = before["ListBox" + str(entries["id"])]
    assert abs((er - el) - 2 * (br - bl)) <= 2, (before, entries)
    toolbar = next(c for c in after if c["cls"] == "ToolbarWindow32")
    assert toolbar["rect"][3] - toolbar["rect"][1] >= 2 * 36 - 2
    session.screenshot("display-dpichanged-main")
    assert not problems(after), problems(after)

    click_toolbar(session, main, OPTIONS)
    options = process.wait_window(title_contains="Optionen")
    ok_before = next(c for c in layout(session, options.hwnd) if c["text"] == "&OK")["rect"]
    session.run(session.exe("uiprobe.exe"), "dpichanged", hex(options.hwnd), 144, check=True)
    scaled = layout(session, options.hwnd)
    ok_after = next(c for c in scaled if c["text"] == "&OK")["rect"]
    assert abs((ok_after[2] - ok_after[0]) * 2 - (ok_before[2] - ok_before[0]) * 3) <= 3, (ok_before, ok_after)
    assert not problems(scaled), problems(scaled)


def accessible(session, hwnd):
    out = session.run(session.exe("uiprobe.exe"), "accessible", hex(hwnd), timeout=60, check=True, raw=True).stdout
    return [dict(zip(("hwnd", "cls", "id", "name", "value"), line.split("\t"))) for line in out.splitlines()]


def test_screen_reader_names(session):
    process, main, _ = start_with_data(session)
    main = show_from_tray(session, process)
    controls = accessible(session, main.hwnd)
    unnamed = [c for c in controls if not c["name"]]
    assert not unnamed, unnamed
    names = {c["cls"].lower(): c for c in controls}
    assert names["listbox"]["name"] == "Textbausteine"
    # The list says which entry is chosen: after start-up the first one.
    assert names["listbox"]["value"] == "Adresse"
    assert names["richedit50w"]["name"] == "Bearbeitung"
    assert names["combobox"]["name"] == "Fenster mit dem Titel"
    assert {"das zuletzt benutzte Fenster ", "Tastensimulation", "Text chiffriert speichern"} <= {
        c["name"] for c in controls}

    # Enter and Tab in the editor are spoken as words.
    click_toolbar(session, main, NEW)
    dialog_with(session, process, "Bitte geben Sie einen Namen")
    session.type_text("Vorlesen")
    session.key("Return")
    session.wait_until(lambda: process.windows(cls="#32770", visible=True) == [], 10, what="the input box closed")
    session.type_text("ab")
    session.key("Return")
    session.type_text("c")
    session.key("Tab")
    session.type_text("d")
    editor = lambda: next(c for c in accessible(session, main.hwnd) if c["cls"].lower() == "richedit50w")
    session.wait_until(lambda: editor()["value"].endswith("d"), 10, what="the typed text")
    assert " ".join(editor()["value"].split()) == "ab Eingabe c Tabulator d"

    click_toolbar(session, main, OPTIONS)
    options = process.wait_window(title_contains="Optionen")
    controls = accessible(session, options.hwnd)
    unnamed = [c for c in controls if not c["name"]]
    assert not unnamed, unnamed
    named = {c["name"] for c in controls}
    assert {"Funktionstaste", "Ablage der Textbausteine", "Shift + ", "OK"} <= named
