"""The test bed itself: if this fails, the product scenarios cannot be trusted
(German locale missing, xdotool not reaching Wine, wintool broken)."""


def test_keys_and_clipboard_reach_notepad(s):
    pad = s.start("notepad.exe")
    window = pad.wait_window(title="(unbenannt) - Editor")  # German Wine
    assert window.cls == "Notepad" and window.visible
    s.click_window(window)
    s.type_text("Hallo")
    s.key("Return")
    s.set_clipboard("Grüße für 5 €")
    s.key("ctrl+v")
    s.wait_until(lambda: s.notepad_text(window.hwnd) == "Hallo\nGrüße für 5 €",
                 what="the typed and pasted text in notepad")
    s.key("ctrl+a", "ctrl+c")
    s.wait_until(lambda: s.clipboard() == "Hallo\r\nGrüße für 5 €", what="notepad's copy")
    assert s.screenshot("testbed").stat().st_size > 0
