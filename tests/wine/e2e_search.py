"""The search window end to end with the real Zelvoscript.exe: with the
per-user option "Suchfenster statt Menü anzeigen" the hotkey and the tray
icon open it at the mouse pointer; typing narrows the list, Enter or a double
click types the entry into notepad, Escape or a click elsewhere types
nothing; without the option the menu's "&Suchen …" opens it. "muller" finds
"Café Müller", an enciphered entry is found by what its text says, and the
line below the list shows a long name whole.

A screenshot of the search window is left in the artifacts folder for a
person to look at.
"""

from e2e_activation import HOTKEY_STRG_F5, IGNORED, Scene

SEARCH_CLASS = "ZelvoscriptSearchWindow"
ENTRIES = [
    ("Adresse", "Musterweg 1"),
    ("Begr\u00fc\u00dfung", "Guten Tag"),
    ("Brief", "Sehr geehrte Damen und Herren, mit Gru\u00df"),  # "grus" only in the text
    ("Gru\u00dfformel", "Mit freundlichen Gr\u00fc\u00dfen"),
    ("Notiz", "Bitte zur\u00fcckrufen"),
]


def encipher(text, seed=0x4D2):
    """A text as the program stores an enciphered one: per character a hex
    word holding its 1252 code XOR a key byte of the seed, the seed last."""
    keys = [round(seed / 2 ** m) & 0xFF for m in range(8)]
    words = [(c ^ keys[i % 8]) << 4 for i, c in enumerate(text.encode("cp1252"), 1)]
    return "".join(f"{w:04X}" for w in words) + f"{seed:04X}"


def write_entries(path, entries):
    """(name, text, enciphered) rows as the data file holds them."""
    lines = ["[Name]"] + [f"{i}={e[0]}" for i, e in enumerate(entries, 1)]
    lines += ["[Text]"] + [f"{i}={encipher(e[1]) if e[2] else e[1]}" for i, e in enumerate(entries, 1)]
    lines += ["[Crypt]"] + [f"{i}={int(e[2])}" for i, e in enumerate(entries, 1)]
    lines += ["[Common]", f"HK={HOTKEY_STRG_F5}", "[Ignore]"] + [f"{i}={t}" for i, t in enumerate(IGNORED, 1)]
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1252"))


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


LONG_NAME = "Angebot Hausmeisterdienste f\u00fcr die Wohnanlage Am Stadtpark 12 bis 18, zweites Halbjahr"


def test_umlauts_either_way_enciphered_texts_and_long_names_whole(s):
    scene = search_scene(s)
    # Written while the program runs: the reload of the next activation reads it.
    write_entries(scene.ini, [(n, t, False) for n, t in ENTRIES] + [
        ("Caf\u00e9 M\u00fcller", "Hauptstra\u00dfe 3", False),
        (LONG_NAME, "Sehr geehrte Frau Berger", False),
        ("Bank", "IBAN DE02 1203 0000 0000 2020 51", True),
    ])

    def search(typed, name):
        window = hotkey_search(scene)
        detail = s.children(window.hwnd, cls="Static")[0]
        s.type_text(typed)
        s.wait_until(lambda: s.window_text(detail.hwnd) == name, timeout=10,
                     what=f"{name!r} selected for {typed!r} (shown: {s.window_text(detail.hwnd)!r})")
        return window

    search("muller", "Caf\u00e9 M\u00fcller")
    s.key("Return")
    wait_closed(scene)
    scene.wait_typed("Hauptstra\u00dfe 3")

    search("hausmeister", LONG_NAME)
    s.screenshot("search-long-name")
    s.key("Escape")
    wait_closed(scene)

    search("iban 1203", "Bank")
    s.screenshot("search-enciphered")  # its text shows as "(verschlüsselt)"
    s.key("Return")
    wait_closed(scene)
    scene.wait_typed("IBAN DE02 1203 0000 0000 2020 51")
