"""The data file as the real program saves it: a file saved as UTF-8 keeps
the characters Windows-1252 lacks, and a folder where no lock file can be
made is saved in place."""

from e2e_mainwindow import (NEW, click_selected_row, click_toolbar, dialog_with, show_from_tray,
                            start_with_data)

SYNC = 3  # toolbar "Lan-&Sync": reads the file anew
BOM = b"\xef\xbb\xbf"
UTF8_FILE = BOM + (
    "[Name]\r\n1=\u0141ukasz Brief\r\n2=Gr\u00fc\u00dfe\r\n"
    "[Text]\r\n1=Sehr geehrter Herr Dvo\u0159\u00e1k\r\n2=Mit freundlichen Gr\u00fc\u00dfen\r\n"
    "[Crypt]\r\n1=0\r\n2=0\r\n[Title]\r\n1=\r\n2=\r\n[DosBox]\r\n1=0\r\n2=0\r\n").encode("utf-8")


def holds(data, piece):
    """True when the data file holds `piece`. Wine's ReplaceFileW moves the
    old file aside before the new one takes its name, so for a moment there
    is no file at all."""
    try:
        return piece in data.read_bytes()
    except FileNotFoundError:
        return False


def add_entry(session, process, main, data, name, text):
    """A new entry through the toolbar, its text typed, the editor left."""
    click_toolbar(session, main, NEW)
    dialog_with(session, process, "Bitte geben Sie einen Namen")
    session.type_text(name)
    session.key("Return")
    session.wait_until(lambda: holds(data, name.encode()), 10, what="the new entry")
    session.type_text(text)
    # Unticking the cipher box (new entries are enciphered) saves the text plainly.
    crypt = session.children(main.hwnd, title="&Text chiffriert speichern")[0]
    session.click_window(crypt, dx=8)
    session.wait_until(lambda: holds(data, text.encode()), 10, what="the typed text")
    click_selected_row(session, main)


def test_utf8_file_keeps_what_1252_lacks(session):
    process, main, data = start_with_data(session)
    data.write_bytes(UTF8_FILE)
    main = show_from_tray(session, process)
    click_toolbar(session, main, SYNC)
    add_entry(session, process, main, data, "Neu", "Hallo")
    session.screenshot("datafile-utf8-list")

    saved = data.read_bytes()
    assert saved.startswith(BOM)
    text = saved[len(BOM):].decode("utf-8")
    for kept in ("1=\u0141ukasz Brief", "1=Sehr geehrter Herr Dvo\u0159\u00e1k", "2=Mit freundlichen Gr\u00fc\u00dfen"):
        assert kept in text, kept
    assert "3=Neu" in text and "3=Hallo" in text


def test_folder_without_room_for_a_lock_file_is_saved_in_place(session):
    process, main, data = start_with_data(session)
    # A folder at the lock file's name: the lock file cannot be made, as
    # where users may change the data file but not create files.
    lock = data.with_name(data.name + ".lock")
    if lock.exists():
        lock.unlink()
    lock.mkdir()
    main = show_from_tray(session, process)
    add_entry(session, process, main, data, "Vor Ort", "gespeichert")

    assert not process.windows(cls="#32770", visible=True), "no message"
    # The folder itself allows new files: the replaced version is kept there.
    backups = data.parent / "Zelvoscript-Sicherungen"
    assert sorted(p.name for p in data.parent.iterdir()) == sorted([data.name, lock.name, backups.name])
    assert len(list(backups.glob("*.ini"))) == 1
