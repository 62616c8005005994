"""The search window end to end with the real Zelvoscript.exe: with the
per-user option "Suchfenster statt Menü anzeigen" the hotkey and the tray
icon open it at the mouse pointer; typing narrows the list, Enter or a double
click types the entry into notepad, Escape or a click elsewhere types
nothing; without the option the menu's "&Suchen …" opens it.

A screenshot of the search window is left in the artifacts folder for a
person to look at.
"""

from e2e_activation import Scene

SEARCH_CLASS = "ZelvoscriptSearchWindow"
ENTRIES = [
    ("Adresse", "Musterweg 1"),
    ("Begr\u00fc\u00dfung", "Guten Tag"),
    ("Brief", "Sehr geehrte Damen und Herren, mit Gru\u00df"),  # "grus" only in the text
    ("Gru\u00dfformel", "Mit freundlichen Gr\u00fc\u00dfen"),
    ("Notiz", "Bitte zur\u00fcckrufen"),
]


def search_scene(s, **common):
    s.set_setting("SearchWindow", "1")
    return Scene(s, ENTRIES, **common)


def wait_search(scene):
    return scene.s.wait_window(cls=SEARCH_CLASS, pid=scene.zs.winpid(), timeout=10)


def hotkey_search(scene):
    scene.focus_notepad()
    scene.s.key("ctrl+F5")
    return wait_search(scene)


def wait_closed(scene):
    scene.s.wait_no_window(cls=SEARCH_CLASS, timeout=5)


def first_row_point(s, window):
    """Screen point inside the list's first row (96 DPI layout: frame 1,
    margin 6, edit 24, margin 6, then the list's own edge)."""
    left, top, _, _ = s.window_rect(window.hwnd)
    return left + 60, top + 1 + 6 + 24 + 6 + 2 + 8


def test_hotkey_typing_and_enter_type_the_best_match_escape_and_clicks_elsewhere_type_nothing(s):
    scene = search_scene(s)
    window = hotkey_search(scene)
    left, top, _, _ = s.window_rect(window.hwnd)
    assert (left, top) == s.mouse_location(), "the search window does not open at the pointer"
    s.type_text("grus")  # xdotool cannot type "ß"
    s.screenshot("search-window")
    s.key("Return")
    wait_closed(scene)
    scene.wait_typed("Mit freundlichen Gr\u00fc\u00dfen")

    # Escape: nothing is typed, and the window the user came from keeps the focus.
    window = hotkey_search(scene)
    s.type_text("adr")
    s.key("Escape")
    wait_closed(scene)
    s.wait_until(lambda: s.foreground() == scene.pad_window.hwnd, timeout=5,
                 what="notepad to be in front again")
    assert s.notepad_text(scene.edit) == ""

    # A click elsewhere closes it as it closes a menu.
    hotkey_search(scene)
    s.click_window(scene.pad_window, dx=40, dy=60)
    wait_closed(scene)
    assert s.notepad_text(scene.edit) == ""

    # Nothing typed: the entry used last comes first; Down takes the next,
    # and neither opening changed the window the text goes to.
    hotkey_search(scene)
    s.key("Down", "Return")
    wait_closed(scene)
    scene.wait_typed("Musterweg 1")

    # An entry another PC added meanwhile can be found at once.
    scene.add_entry("Zusage", "Gern geschehen")
    hotkey_search(scene)
    s.type_text("zusage")
    s.key("Return")
    wait_closed(scene)
    scene.wait_typed("Gern geschehen")


def test_tray_click_opens_the_search_window_and_a_double_click_delivers(s):
    scene = search_scene(s)
    scene.focus_notepad()
    tray = s.wait_window(title="Wine System Tray")
    left, _, _, bottom = s.window_rect(tray.hwnd)
    s.click_at(left + 12, bottom - 13)  # the first icon
    window = wait_search(scene)
    s.type_text("notiz")
    x, y = first_row_point(s, window)
    s.xdotool("mousemove", "--sync", x, y, "click", "--repeat", "2", "--delay", "80", "1")
    wait_closed(scene)
    scene.wait_typed("Bitte zur\u00fcckrufen")


def test_menu_item_suchen_opens_the_search_window(s):
    scene = Scene(s, ENTRIES, PumMode=1)
    menu = scene.hotkey_menu()
    scene.choose(menu, "s")  # "&Suchen …"
    wait_search(scene)
    s.type_text("adresse")
    s.key("Return")
    wait_closed(scene)
    scene.wait_typed("Musterweg 1")
