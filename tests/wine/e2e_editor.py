"""The editor and the main window of the real program: multi-line text pasted
into the editor, symbols removed with Rücktaste, Entf and a selection, undo;
the data file, the editor and a key logger that receives the entry agree. And
the main window used by keys alone."""

from e2e_delivery import KeyLog
from e2e_mainwindow import CAPTION, MAIN_CLASS, show_from_tray
from e2e_mainwindow import ini_values as read_values
from e2e_startup import message_box

HOTKEY = "ctrl+F5"  # HK=1029
MENU_BORDER = 3  # pixels in Wine's popup menus
RETURN, TAB = "\uf0c3", "\uf0f0"  # the editor's symbols


def ini_values(path, section):
    """key -> value of one section; empty while a save replaces the file."""
    try:
        return read_values(path, section)
    except FileNotFoundError:
        return {}


def write_data(session, entries):
    """A data file with (name, escaped text, title, method) entries."""
    folder = session.temp_folder("daten")
    lines = []
    for section, field in (("Name", 0), ("Text", 1), ("Title", 2), ("DosBox", 3)):
        lines += [f"[{section}]"] + [f"{n}={e[field]}" for n, e in enumerate(entries, 1)]
    lines += ["[Crypt]"] + [f"{n}=0" for n in range(1, len(entries) + 1)]
    lines += ["[Common]", "HK=1029", "PumActViaBorder=0", "PumMode=0", "Lock="]
    data = folder / "Zelvoscript.ini"
    data.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1252"))
    session.set_setting("path", session.win_path(data))
    return data


def start(session, entries):
    data = write_data(session, entries)
    process = session.start(session.exe("Zelvoscript.exe"))
    session.wait_until(lambda: process.windows(cls=MAIN_CLASS, title=CAPTION), 30, what="start-up to finish")
    main = show_from_tray(session, process)
    return process, main, data


def control(session, main, cls, title=None):
    return next(c for c in session.children(main.hwnd, cls=cls) if title is None or c.title == title)


def editor_picture(session, editor):
    """The editor's content with one "\\r" per line break."""
    return session.window_text(editor.hwnd).replace("\r\n", "\r")


def wait_focus(session, hwnd, what):
    session.wait_until(lambda: session.focus() == hwnd, 10, what=what)


def test_pasted_and_edited_text_is_what_is_stored_and_typed(session):
    process, main, data = start(session, [("A Brief", "", "Zelvo Tasten", 0)])
    editor = control(session, main, "RICHEDIT50W")
    session.click_window(editor)
    wait_focus(session, editor.hwnd, "the editor")

    session.set_clipboard("a\r\nb\nc\td")
    session.key("ctrl+v")
    picture = f"a{RETURN}\rb{RETURN}\rc{TAB}\rd"
    session.wait_until(lambda: editor_picture(session, editor) == picture, 10, what="the pasted lines as symbols")

    # Rücktaste behind a symbol takes its break along, Entf before one too.
    session.key("ctrl+Home", "End", "BackSpace")
    session.wait_until(lambda: editor_picture(session, editor) == f"ab{RETURN}\rc{TAB}\rd", 10,
                       what="the first Enter removed with Rücktaste")
    session.key("End", "Left", "Delete")
    session.wait_until(lambda: editor_picture(session, editor) == f"abc{TAB}\rd", 10,
                       what="the second Enter removed with Entf")
    # A selection from a display break on takes the symbol before it.
    session.key("ctrl+End", "shift+Left", "shift+Left", "Delete")
    session.wait_until(lambda: editor_picture(session, editor) == "abc", 10, what="the selection removed")
    session.key("ctrl+z")
    session.wait_until(lambda: editor_picture(session, editor) == f"abc{TAB}\rd", 10, what="the undone removal")
    session.key("ctrl+End", "Return")
    session.type_text("Ende")
    session.screenshot("editor-symbols")

    # F6 leaves the editor, which stores what it shows.
    session.key("F6")
    session.wait_until(lambda: ini_values(data, "Text").get("1") == r"abc\Td\NEnde", 10, what="the stored text")
    assert editor_picture(session, editor) == f"abc{TAB}\rd{RETURN}\rEnde"

    # Typed into the key logger: Enter where the editor shows the symbol,
    # never with Strg held (that would give the character LF, not CR).
    log = KeyLog(session, "Zelvo Tasten", 400)
    session.click_window(log.window)
    session.wait_until(lambda: session.foreground() == log.window.hwnd, 10, what="the key logger in front")
    session.key(HOTKEY)
    menu = session.wait_window(cls="#32768", timeout=10)
    left, top, _, _ = session.window_rect(menu.hwnd)
    session.xdotool("mousemove", "--sync", left + 30, top + MENU_BORDER + 8)
    session.xdotool("click", 1)
    session.wait_until(lambda: log.chars() == list("abc\td\rEnde"), 20, what="the entry in the key logger")
    assert "KEYDOWN 0D 0" in log.lines()


def test_main_window_by_keys_alone(session):
    process, main, data = start(session, [("Anrede", "Hallo", "", 0), ("Brief", "", "", 0)])
    entry_list = control(session, main, "ListBox")
    editor = control(session, main, "RICHEDIT50W")
    last_window = control(session, main, "Button", "das zuletzt benutzte &Fenster ")
    keystrokes = control(session, main, "Button", "&Tastensimulation")
    clipboard = control(session, main, "Button", "&Zwischenablage")
    crypt = control(session, main, "Button", "&Text chiffriert speichern")
    title_box = control(session, main, "ComboBox")
    wait_focus(session, entry_list.hwnd, "the list to have the focus")

    # A toolbar button by its access key; Esc cancels the question.
    session.key("alt+n")
    box, _ = message_box(session, process, "Bitte geben Sie einen Namen")
    session.key("Escape")
    session.wait_until(lambda: box.hwnd not in [w.hwnd for w in process.windows(visible=True)], 10,
                       what="the question to close")
    assert len(ini_values(data, "Name")) == 2

    # The list, then Enter opens the entry in the editor.
    session.key("Down", "Return")
    wait_focus(session, editor.hwnd, "the editor")
    session.type_text("Gruss")
    session.key("Return", "Tab")
    session.type_text("Ende")
    session.key("F6")  # Tab stays a recorded key in the editor
    wait_focus(session, last_window.hwnd, "the destination options")
    session.wait_until(lambda: ini_values(data, "Text").get("2") == r"Gruss\N\TEnde", 10, what="the stored text")

    # The title box is off, so Tab goes on to the send method; the arrows
    # choose within it, and the access keys reach the options.
    session.key("Tab")
    wait_focus(session, keystrokes.hwnd, "the send method")
    session.key("Down")
    session.wait_until(lambda: ini_values(data, "DosBox").get("2") == "1", 10, what="Eingabeaufforderung")
    session.key("alt+z")
    session.wait_until(lambda: ini_values(data, "DosBox").get("2") == "2", 10, what="Zwischenablage")
    wait_focus(session, clipboard.hwnd, "Zwischenablage to have the focus")
    # The chosen destination pressed again changes nothing.
    session.key("alt+f")
    wait_focus(session, last_window.hwnd, "the destination options")
    session.key("Tab", "Tab")
    wait_focus(session, crypt.hwnd, "the cipher box")
    session.key("space")
    session.wait_until(lambda: ini_values(data, "Crypt").get("2") == "1", 10, what="the enciphered text")
    assert ini_values(data, "DosBox").get("2") == "2"
    assert ini_values(data, "Text").get("2") != r"Gruss\N\TEnde"
    # Three controls carry "T": each press moves on to the next, choosing nothing.
    t_controls = {keystrokes.hwnd, crypt.hwnd, control(session, main, "Button", "Fenster mit dem &Titel:").hwnd}
    session.key("alt+t")
    first = session.wait_until(lambda: (f := session.focus()) in t_controls - {crypt.hwnd} and f, 10,
                               what="the next control with T")
    session.key("alt+t")
    session.wait_until(lambda: session.focus() in t_controls - {first}, 10, what="the one after it")
    assert (ini_values(data, "DosBox").get("2"), ini_values(data, "Crypt").get("2")) == ("2", "1")
    session.key("alt+t")
    wait_focus(session, crypt.hwnd, "the cipher box again")

    # Back to the destination: the title option moves on into the title box.
    session.key("shift+Tab", "shift+Tab", "Down")
    title_edit = session.children(title_box.hwnd)[0]
    wait_focus(session, title_edit.hwnd, "the title box")
    session.type_text("Editor")
    session.key("Return")
    session.wait_until(lambda: ini_values(data, "Title").get("2") == "Editor", 10, what="the title")

    # Search and search again at once.
    session.key("shift+Tab", "shift+Tab", "shift+Tab")
    wait_focus(session, editor.hwnd, "the editor")
    session.key("ctrl+Home", "ctrl+f")
    box, _ = message_box(session, process, "Suchen nach:")
    session.type_text("e")
    session.key("Return")
    session.wait_until(lambda: box.hwnd not in [w.hwnd for w in process.windows(visible=True)], 10,
                       what="the search box to close")
    session.key("F3", "F3")
    box, _ = message_box(session, process, "Die Suche ist am Ende des Textes angekommen.")
    session.key("Return")
    session.wait_until(lambda: box.hwnd not in [w.hwnd for w in process.windows(visible=True)], 10,
                       what="the message to close")
    session.screenshot("mainwindow-keys")

    # Esc hides the window like OK, and gives the lock back.
    wait_focus(session, editor.hwnd, "the editor again")
    session.key("Escape")
    session.wait_until(lambda: not process.windows(cls=MAIN_CLASS, visible=True), 10, what="the window hidden")
    session.wait_until(lambda: ini_values(data, "Common").get("Lock") == "", 10, what="the lock released")
