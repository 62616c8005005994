"""Start-up of the real program: one instance only, the fallback to the
starter data file, and a main window that never shows at start-up."""

import shutil

MAIN_CLASS = "ZelvoscriptMainWindow"
CAPTION = "\u2022 Zelvoscript 2.5"
SAMPLE = "[Name]\r\n1=Gru\xdf\r\n[Text]\r\n1=Mit freundlichen Gr\xfc\xdfen\r\n".encode("cp1252")


def program_folder(session, with_sample=True):
    """A copy of the program in a folder of its own, as an office installs it."""
    folder = session.temp_folder("programm")
    shutil.copy(session.exe("Zelvoscript.exe"), folder / "Zelvoscript.exe")
    if with_sample:
        (folder / "sample.ini").write_bytes(SAMPLE)
    return folder


def message_box(session, process, text_part):
    """The visible message box of `process` whose text contains `text_part`."""
    def found():
        for box in process.windows(cls="#32770", visible=True):
            texts = [c.title for c in session.children(box.hwnd)]
            if any(text_part in t for t in texts):
                return box, texts
        return None
    return session.wait_until(found, 20, what=f"a message box saying {text_part!r}")


def press_ok(session, box):
    ok = next(c for c in session.children(box.hwnd) if c.cls.lower() == "button")
    session.post_click(ok.hwnd)


def start_resident(session, folder):
    first = session.start(folder / "Zelvoscript.exe")
    # Start-up ends with the caption built; the window stays hidden all along.
    main = session.wait_until(
        lambda: next(iter(first.windows(cls=MAIN_CLASS, title=CAPTION)), None), 30,
        what="the main window with its caption")
    return first, main


def test_second_start_is_refused_and_the_first_keeps_running(session):
    folder = program_folder(session)
    data = session.temp_folder("daten")
    (data / "Zelvoscript.ini").write_bytes(SAMPLE)
    session.set_setting("path", session.win_path(data / "Zelvoscript.ini"))
    first, main = start_resident(session, folder)
    assert not main.visible

    second = session.start(folder / "Zelvoscript.exe")
    box, texts = message_box(session, second, "wird bereits ausgef\u00fchrt")
    assert box.title == "Zelvoscript"
    assert "Zelvoscript wird bereits ausgef\u00fchrt." in texts
    # The refused instance created no visible window besides its message.
    assert [w for w in second.windows(visible=True) if w.hwnd != box.hwnd] == []
    press_ok(session, box)
    second.wait_exit(15)

    assert first.running()
    assert first.windows(cls=MAIN_CLASS, title=CAPTION)
    assert not any(w.visible for w in first.windows(cls=MAIN_CLASS))


def test_missing_stored_file_falls_back_to_the_starter_file_beside_the_program(session):
    folder = program_folder(session)
    missing = session.temp_folder("weg") / "Zelvoscript.ini"
    session.set_setting("path", session.win_path(missing))
    process = session.start(folder / "Zelvoscript.exe")

    box, texts = message_box(session, process, "keine Zelvoscript-datei")
    assert box.title == "Zelvoscript"
    assert any("Die Pfadangabe wird daher auf Standardwerte zur\u00fcckgesetzt." in t for t in texts)
    press_ok(session, box)

    default = folder / "Zelvoscript.ini"
    session.wait_until(default.exists, 20, what="the default data file beside the program")
    session.wait_until(lambda: process.windows(cls=MAIN_CLASS, title=CAPTION), 20,
                       what="start-up to finish")
    assert default.read_bytes() == SAMPLE + b"[Ignore]\r\n1=DF\xdc-Netzwerkmonitor\r\n" \
        b"2=Microsoft Office Shortcut-Leiste\r\n"
    stored = session.reg("query", r"HKCU\Software\VB and VBA Program Settings\Brannox Software"
                         r"\Zelvoscript", "/v", "path", check=True).stdout
    assert session.win_path(default) in stored
    assert not missing.exists()
