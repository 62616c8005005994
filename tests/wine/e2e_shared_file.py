"""One data file, several PCs, a share that comes and goes - with the real
program under Wine:

- two prefixes (two PCs, the second one's user named Łukasz) on one display
  share one data folder; PC-B deletes entries while PC-A shows its list,
  and PC-A then deletes, renames and edits what it shows;
- a data file on a drive letter whose target disappears and comes back;
- log-off while a typed text cannot be saved;
- a balloon on one PC names who changed which entries on the other;
- "Sicherungen" brings back an entry deleted through the main window.
"""

import os
import stat

from harness import WineSession
from e2e_mainwindow import (CAPTION, MAIN_CLASS, answer, click_toolbar, dialog_with, ini_values,
                            show_from_tray)

RENAME, DELETE = 1, 2
ENTRIES = ["Anrede", "Brief", "Christbaum", "Dank", "Ende"]
CONFLICT = "wurde inzwischen auf einem anderen PC ge\u00e4ndert"
LB_GETCOUNT, LB_GETTOPINDEX, LB_GETITEMHEIGHT = 0x18B, 0x18E, 0x1A1
WM_QUERYENDSESSION = 0x11


def write_entries(path, names=ENTRIES, **common):
    lines = ["[Name]"] + [f"{i}={n}" for i, n in enumerate(names, 1)]
    lines += ["[Text]"] + [f"{i}=Text {n}" for i, n in enumerate(names, 1)]
    for section, value in (("Crypt", "0"), ("Title", ""), ("DosBox", "0")):
        lines += [f"[{section}]"] + [f"{i}={value}" for i in range(1, len(names) + 1)]
    lines += ["[Common]", "HK=1029"] + [f"{k}={v}" for k, v in common.items()]
    lines += ["[Ignore]", "1=Wine System Tray"]
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1252"))


def entries(path):
    """name -> text of the entries as the file holds them now."""
    names, texts = ini_values(path, "Name"), ini_values(path, "Text")
    found, i = {}, 1
    while names.get(str(i)):
        found[names[str(i)]] = texts.get(str(i), "")
        i += 1
    return found


class Pc:
    """The real program in one prefix, its main window shown from the tray
    and placed at `x`, so that two PCs stand side by side on the screen."""

    def __init__(self, session, data, x=0, tray_y=940):
        self.s = session
        session.set_setting("path", session.win_path(data))
        self.process = session.start(session.exe("Zelvoscript.exe"))
        session.wait_until(lambda: self.process.windows(cls=MAIN_CLASS, title=CAPTION), 30,
                           what="start-up to finish")
        self.main = show_from_tray(session, self.process)
        # Every prefix has its tray in the same corner: this one moves aside.
        session.move_window(session.wait_window(title="Wine System Tray").hwnd, 1100, tray_y)
        session.move_window(self.main.hwnd, x, 30)
        self.shown = sorted(entries(data), key=str.lower)  # the list as loaded

    def list_box(self):
        return self.s.children(self.main.hwnd, cls="ListBox")[0]

    def send(self, hwnd, msg, wp=0):
        return int(self.s.wintool("send", hex(hwnd), msg, wp).stdout)

    def rows(self):
        return self.send(self.list_box().hwnd, LB_GETCOUNT)

    def click_row(self, name):
        box = self.list_box()
        row = self.shown.index(name)
        top, height = self.send(box.hwnd, LB_GETTOPINDEX), self.send(box.hwnd, LB_GETITEMHEIGHT)
        self.s.click_window(box, dx=30, dy=2 + (row - top) * height + height // 2)

    def click_editor(self):
        editor = self.s.children(self.main.hwnd, cls="RICHEDIT50W")[0]
        self.s.click_window(editor, dx=40, dy=12)
        return editor

    def toolbar(self, index):
        click_toolbar(self.s, self.main, index)

    def reloaded(self, data):
        self.shown = sorted(entries(data), key=str.lower)
        self.s.wait_until(lambda: self.rows() == len(self.shown), 10, what="the list reloaded")


def delete_on(pc, data, name, lock_prefix=None):
    """Deletes an entry through the toolbar; with `lock_prefix`, checks the
    lock record the file holds while the question is open."""
    pc.click_row(name)
    pc.toolbar(DELETE)
    dialog_with(pc.s, pc.process, "wirklich l\u00f6schen?")
    if lock_prefix:
        assert ini_values(data, "Common")["Lock"].startswith(lock_prefix), ini_values(data, "Common")
    answer(pc.s, pc.process, "wirklich l\u00f6schen?", "Return")
    pc.s.wait_until(lambda: name not in entries(data), 10, what=f"{name} deleted")
    pc.s.wait_until(lambda: ini_values(data, "Common").get("Lock") == "", 10, what="the lock released")
    pc.reloaded(data)


def conflict_message(pc, name):
    box, controls = dialog_with(pc.s, pc.process, CONFLICT)
    text = next(c.title for c in controls if CONFLICT in c.title)
    assert f"'{name}'" in text, text
    pc.s.screenshot("two-pcs-conflict")
    answer(pc.s, pc.process, CONFLICT, "Return")
    return text


def test_two_pcs_delete_rename_and_edit_on_one_file(session):
    data = session.temp_folder("geteilt") / "Zelvoscript.ini"
    write_entries(data)
    # No balloons about the other PC's changes here: under Wine without a
    # window manager one appearing can swallow a key of the typing below.
    session.set_setting("ChangeBalloon", "0")
    a = Pc(session, data)
    a.click_row("Ende")  # number 5

    with WineSession(session.build_dir, artifacts_dir=session.artifacts_dir, display=session.display,
                     env={"USER": "\u0141ukasz", "USERNAME": "\u0141ukasz"}) as pc_b:
        pc_b.set_setting("ChangeBalloon", "0")
        b = Pc(pc_b, data, x=640, tray_y=980)
        session.screenshot("two-pcs")

        # Łukasz takes the lock: the file holds his name as Windows-1252 has
        # it ("?ukasz"), and he releases it again.
        delete_on(b, data, "Anrede", lock_prefix="?ukasz;")  # "Ende" moves to 1

        # PC-A still shows "Ende" under number 5: deleting it is refused.
        a.toolbar(DELETE)
        answer(session, a.process, "wirklich l\u00f6schen?", "Return")
        conflict_message(a, "Ende")
        assert entries(data) == {f"{n}": f"Text {n}" for n in ["Ende", "Brief", "Christbaum", "Dank"]}
        a.reloaded(data)

        # Renaming what PC-A shows after PC-B moved it.
        a.click_row("Dank")  # number 4
        delete_on(b, data, "Brief")  # "Dank" moves to 2
        a.toolbar(RENAME)
        dialog_with(session, a.process, "Bitte geben Sie einen neuen Namen")
        session.key("ctrl+a")
        session.type_text("Danke")
        session.key("Return")
        conflict_message(a, "Dank")
        assert entries(data) == {"Ende": "Text Ende", "Dank": "Text Dank", "Christbaum": "Text Christbaum"}
        a.reloaded(data)

        # Editing: PC-A types while PC-B deletes; the text is kept and saved
        # into the entry where it now is.
        a.click_row("Christbaum")  # number 3
        delete_on(b, data, "Ende")  # "Christbaum" moves to 1
        editor = a.click_editor()
        session.key("ctrl+Home")
        session.type_text("neu ")
        a.click_row("Dank")  # leaving the editor saves
        conflict_message(a, "Christbaum")
        a.reloaded(data)
        if entries(data)["Christbaum"] != "neu Text Christbaum":
            # Shown again with its entry; leaving the editor once more saves
            # it. (The list click itself may already have done so.)
            session.wait_until(lambda: session.window_text(editor.hwnd).startswith("neu Text Christbaum"),
                               10, what="the typed text shown again")
            a.click_editor()
            a.click_row("Dank")
        session.wait_until(lambda: entries(data).get("Christbaum") == "neu Text Christbaum", 10,
                           what="the kept text saved into Christbaum")
        assert entries(data) == {"Christbaum": "neu Text Christbaum", "Dank": "Text Dank"}
        session.wait_until(lambda: ini_values(data, "Common").get("Lock") == "", 10, what="no lock left")
        session.screenshot("two-pcs-end")


def balloons(session):
    """The tray's balloons; Wine draws their text itself, so the picture
    shows it (the text is checked natively)."""
    return session.windows(cls="tooltips_class32", visible=True)


def test_balloon_tells_the_other_pc_who_changed_what(session):
    data = session.temp_folder("geteilt") / "Zelvoscript.ini"
    write_entries(data)
    a = Pc(session, data)

    with WineSession(session.build_dir, artifacts_dir=session.artifacts_dir, display=session.display,
                     env={"USER": "\u0141ukasz", "USERNAME": "\u0141ukasz"}) as pc_b:
        b = Pc(pc_b, data, x=640, tray_y=980)
        # That PC-B is told nothing of its own change is checked natively:
        # here its tray's tooltip could not be told from a balloon.
        delete_on(b, data, "Brief")
        assert any(p.name == "Zelvoscript-Sicherungen" for p in data.parent.iterdir())

        # PC-A's next menu reads the file again and says who changed what.
        a.click_row("Anrede")
        session.key("ctrl+F5")
        session.wait_window(cls="#32768", timeout=10)
        session.key("Escape")
        session.wait_until(lambda: balloons(session), 15, what="the balloon on PC-A")
        session.screenshot("change-balloon")


def test_backups_bring_back_a_deleted_entry(session):
    data = session.temp_folder("geteilt") / "Zelvoscript.ini"
    write_entries(data)
    a = Pc(session, data)
    delete_on(a, data, "Brief")

    a.click_row("Anrede")
    session.key("alt+e", "s")  # Extras, Sicherungen
    box, controls = dialog_with(session, a.process, "&Wiederherstellen")
    lists = [c for c in controls if c.cls == "ListBox"]
    session.wait_until(lambda: session.wintool("items", hex(lists[1].hwnd)).stdout.split("\n")[0].strip(),
                       10, what="the backup's entries")
    session.screenshot("sicherungen")
    restore = next(c for c in controls if c.title == "&Wiederherstellen")
    session.post_click(restore.hwnd)
    answer(session, a.process, "zur\u00fccksetzen?", "alt+j")
    session.wait_until(lambda: "Brief" in entries(data), 10, what="Brief back in the file")
    assert entries(data) == {n: f"Text {n}" for n in ENTRIES}
    a.reloaded(data)
    assert a.rows() == len(ENTRIES)


def test_drive_that_disappears_keeps_list_settings_and_hotkey(session):
    share = session.temp_folder("laufwerk")
    data = share / "Zelvoscript.ini"
    # The border strip at the right edge is a setting that must stay.
    write_entries(data, ["Gru\u00df", "Adresse"], PumActViaBorder=1, PumActPos=3)
    drive = session.prefix / "dosdevices" / "x:"
    os.symlink(share, drive)
    session.set_setting("path", "X:\\Zelvoscript.ini")
    pad = session.start("notepad.exe")
    pad_window = pad.wait_window(title_contains="Editor")
    session.move_window(pad_window.hwnd, 300, 150)
    edit = session.children(pad_window.hwnd, cls="Edit")[0].hwnd
    zs = session.start(session.exe("Zelvoscript.exe"))
    session.wait_until(lambda: zs.windows(cls=MAIN_CLASS, title=CAPTION), 30, what="start-up")
    zs.wait_window(cls="ZelvoscriptBorderStrip")

    def menu():
        session.set_text(edit, "")
        session.click_window(pad_window)
        session.key("ctrl+F5")

    def choose(*keys):
        m = session.wait_window(cls="#32768", pid=zs.winpid(), timeout=10)
        session.focus_popup_menu(m)
        session.key(*keys)
        session.wait_no_window(cls="#32768", timeout=5)

    menu()
    choose("Down", "Return")  # Adresse
    session.wait_until(lambda: session.notepad_text(edit) == "Text Adresse", 10, what="typed")

    os.unlink(drive)  # the drive is gone
    menu()
    box, controls = dialog_with(session, zs, "zuletzt gelesenen Textbausteinen")
    texts = " ".join(c.title for c in controls)
    assert "X:\\Zelvoscript.ini" in texts and "Netzlaufwerk" in texts, texts
    session.screenshot("drive-gone")
    answer(session, zs, "zuletzt gelesenen Textbausteinen", "Return")
    choose("Escape")  # the menu still comes, with the list as last read
    for _ in range(2):
        menu()
        choose("Escape")  # no further message
    assert not [w for w in zs.windows(cls="#32770", visible=True)]
    assert zs.windows(cls="ZelvoscriptBorderStrip", visible=True), "the settings were dropped"

    os.symlink(share, drive)  # back again
    menu()
    answer(session, zs, "ist wieder erreichbar", "Return")
    choose("Down", "Down", "Return")  # Gruß
    session.wait_until(lambda: session.notepad_text(edit) == "Text Gru\u00df", 10, what="typed again")


def test_log_off_is_answered_at_once_and_keeps_a_text_that_cannot_be_saved(session):
    data = session.temp_folder("abmelden") / "Zelvoscript.ini"
    write_entries(data, ["Anrede"])
    pc = Pc(session, data)
    os.chmod(data, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)  # the share turns read-only
    editor = pc.click_editor()
    session.key("ctrl+Home")
    session.type_text("neu ")
    session.wait_until(lambda: session.window_text(editor.hwnd).startswith("neu Text"), 10,
                       what="the typing to arrive")

    # Windows asks to end the session while the caret is in the editor: the
    # text cannot be saved, so the answer is No - at once, without a dialog.
    assert session.wintool("send", hex(pc.main.hwnd), WM_QUERYENDSESSION, 0).stdout.strip() == "0"
    # Then the user decides about the text.
    dialog_with(session, pc.process, "Soll er verworfen werden?")
    session.screenshot("log-off-kept-text")
    answer(session, pc.process, "Soll er verworfen werden?", "Return")  # No: kept
    assert pc.process.running()
    assert not [w for w in pc.process.windows(cls="#32770", visible=True)]

    os.chmod(data, stat.S_IRUSR | stat.S_IWUSR | stat.S_IRGRP | stat.S_IROTH)
    assert session.wintool("send", hex(pc.main.hwnd), WM_QUERYENDSESSION, 0).stdout.strip() == "1"
    assert entries(data) == {"Anrede": "neu Text Anrede"}
