"""Activation end to end with the real Zelvoscript.exe: the hotkey, the tray
icon and the border strip open the snippet menu at the mouse pointer, a
keyboard choice types the entry into notepad, entries another process adds
to the data file show up in the next menu, and a hotkey that another program
holds gives the conflict message.

Each scenario writes its own data file into a temporary folder and points
the `path` setting at it. Screenshots of the flat and the cascading menu and
of the options dialog are left in the artifacts folder for a person to look at.
"""

from harness import TimedOut, win_path

HOTKEY_STRG_F5 = 1024 + 5
# Clicking the tray icon makes Wine's tray window the foreground window; a
# user keeps such helper windows out of the target search with the ignore list.
IGNORED = ["Wine System Tray"]

ENTRIES = [
    ("Gru\u00df", "Mit freundlichen Gr\u00fc\u00dfen"),
    ("Adresse", "Musterweg 1"),
    ("Brief", "Sehr geehrte Damen und Herren"),
    ("apfel", "Obst"),
]
# Flat order: Adresse, Brief, Gruß, apfel, then the fixed items.


def write_data(path, entries, **common):
    lines = []
    for section, field in (("Name", 0), ("Text", 1)):
        lines.append(f"[{section}]")
        lines += [f"{i}={e[field]}" for i, e in enumerate(entries, 1)]
    for section, value in (("Crypt", "0"), ("Title", ""), ("DosBox", "0")):
        lines.append(f"[{section}]")
        lines += [f"{i}={value}" for i in range(1, len(entries) + 1)]
    lines.append("[Common]")
    lines += [f"{k}={v}" for k, v in {"HK": HOTKEY_STRG_F5, **common}.items()]
    lines.append("[Ignore]")
    lines += [f"{i}={t}" for i, t in enumerate(IGNORED, 1)]
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1252"))


class Scene:
    """Notepad as the target, Zelvoscript started on its own data file."""

    def __init__(self, s, entries=ENTRIES, **common):
        self.s = s
        self.entries = list(entries)
        self.common = common
        self.ini = s.temp_folder("activation") / "Zelvoscript.ini"
        write_data(self.ini, self.entries, **common)
        s.set_setting("path", win_path(self.ini))
        self.pad = s.start("notepad.exe")
        self.pad_window = self.pad.wait_window(title_contains="Editor")
        # Off the tray window, which also sits at the top left corner.
        s.move_window(self.pad_window.hwnd, 300, 150)
        self.edit = s.children(self.pad_window.hwnd, cls="Edit")[0].hwnd
        self.start_program()

    def start_program(self):
        self.zs = self.s.start(self.s.exe("Zelvoscript.exe"))
        self.main = self.zs.wait_window(cls="ZelvoscriptMainWindow", visible=False)
        # Start-up has run once the options dialog holds the settings.
        self.zs.wait_window(title_contains="Optionen", visible=False)

    def add_entry(self, name, text):
        """Another process (this test) changes the data file while the program runs."""
        self.entries.append((name, text))
        write_data(self.ini, self.entries, **self.common)

    def focus_notepad(self):
        self.s.set_text(self.edit, "")
        self.s.click_window(self.pad_window)

    def wait_menu(self):
        return self.s.wait_window(cls="#32768", pid=self.zs.winpid(), timeout=10)

    def hotkey_menu(self):
        self.focus_notepad()
        self.s.key("ctrl+F5")
        return self.wait_menu()

    def choose(self, menu, *keys):
        self.s.focus_popup_menu(menu)
        self.s.key(*keys)
        self.s.wait_no_window(cls="#32768", timeout=5)

    def wait_typed(self, text):
        self.s.wait_until(lambda: self.s.notepad_text(self.edit) == text, timeout=10,
                          what=f"notepad to show {text!r} (it shows {self.s.notepad_text(self.edit)!r})")


def menu_at_pointer(s, menu):
    left, top, _, _ = s.window_rect(menu.hwnd)
    assert (left, top) == s.mouse_location(), "the menu's top left corner is not at the pointer"


def test_hotkey_menu_types_choice_and_shows_entries_added_meanwhile(s):
    scene = Scene(s)
    menu = scene.hotkey_menu()
    menu_at_pointer(s, menu)
    s.screenshot("menu-flat")
    scene.choose(menu, "Down", "Down", "Return")  # Brief
    scene.wait_typed("Sehr geehrte Damen und Herren")

    scene.add_entry("Aal-Rezept", "Neu im Men\u00fc")  # sorts first
    menu = scene.hotkey_menu()
    scene.choose(menu, "Down", "Return")
    scene.wait_typed("Neu im Men\u00fc")


def test_tray_click_opens_cascading_menu(s):
    scene = Scene(s, ENTRIES + [("Bier", "Prost")], PumMode=1)
    scene.focus_notepad()
    tray = s.wait_window(title="Wine System Tray")
    left, _, _, bottom = s.window_rect(tray.hwnd)
    s.click_at(left + 12, bottom - 13)  # the first icon
    menu = scene.wait_menu()
    menu_at_pointer(s, menu)
    s.focus_popup_menu(menu)
    s.key("b")  # opens "&B" with its first entry selected
    s.wait_until(lambda: len(s.windows(cls="#32768", visible=True)) == 2, what="the B submenu")
    s.screenshot("menu-cascading")
    s.key("Return")
    s.wait_no_window(cls="#32768", timeout=5)
    scene.wait_typed("Prost")


def wait_strip(s, scene):
    strip = scene.zs.wait_window(cls="ZelvoscriptBorderStrip")
    screen_w, screen_h = (int(v) for v in s.screen.split("x")[:2])
    assert s.window_rect(strip.hwnd) == (screen_w - 1, 0, screen_w, screen_h)
    return screen_w - 1


def no_menu_for(s, seconds):
    """True when no popup menu shows up within `seconds`."""
    try:
        s.wait_until(lambda: s.windows(cls="#32768", visible=True), seconds)
        return False
    except TimedOut:
        return True


def test_border_strip_by_mouse_over_and_by_click(s):
    scene = Scene(s, PumActViaBorder=1, PumActPos=3, PumActBorderCol=255)
    x = wait_strip(s, scene)
    scene.focus_notepad()
    s.xdotool("mousemove", "--sync", x, 400)
    menu = scene.wait_menu()
    # A keyboard choice with the pointer resting on the strip: the text
    # arrives and the menu does not pop up again over the target.
    scene.choose(menu, "Down", "Return")
    scene.wait_typed("Musterweg 1")
    s.xdotool("mousemove", "--sync", x, 420)  # along the strip
    assert no_menu_for(s, 2), "the menu opened again without the pointer leaving the strip"
    assert s.foreground() == scene.pad_window.hwnd

    # Escape with the pointer on the strip closes the menu for good; leaving
    # the strip (to click into notepad) and coming back opens the next one.
    scene.focus_notepad()
    s.xdotool("mousemove", "--sync", x, 400)
    scene.choose(scene.wait_menu(), "Escape")
    assert no_menu_for(s, 2), "Escape on the strip reopened the menu"

    # "&Beenden" from the menu ends the program; it comes back in click mode.
    scene.focus_notepad()
    s.xdotool("mousemove", "--sync", x, 400)
    menu = scene.wait_menu()
    scene.choose(menu, "b")
    scene.zs.wait_exit(10)
    scene.common["PumActBorderByClick"] = 1
    write_data(scene.ini, scene.entries, **scene.common)
    scene.start_program()
    wait_strip(s, scene)

    s.xdotool("mousemove", "--sync", x, 400)
    s.xdotool("mousemove", "--sync", x, 420)
    assert not s.windows(cls="#32768", visible=True), "moving over the strip opened the menu"
    s.xdotool("click", 1)
    menu = scene.wait_menu()
    scene.choose(menu, "Escape")
    s.xdotool("click", 3)
    scene.zs.wait_window(cls="ZelvoscriptMainWindow", visible=True)
    s.xdotool("mousemove", "--sync", x, 400, "click", 3)
    scene.zs.wait_window(cls="ZelvoscriptMainWindow", visible=False)


def test_taken_hotkey_gives_conflict_message_and_is_off(s):
    holder = s.start(s.exe("hotkey_holder.exe"))
    holder.wait_window(title="Hotkey-Halter", visible=False)
    ini = s.temp_folder("conflict") / "Zelvoscript.ini"
    write_data(ini, ENTRIES, PumActViaBorder=1, PumActPos=1, PumMode=1)
    s.set_setting("path", win_path(ini))
    zs = s.start(s.exe("Zelvoscript.exe"))

    box = zs.wait_window(cls="#32770", title="Zelvoscript")
    texts = [c.title for c in s.children(box.hwnd, cls="Static")]
    assert any(t.startswith("Die Tastenkombination Strg + F5 ist bereits anderweitig belegt.")
               and t.endswith("Bitte w\u00e4hlen Sie eine andere Kombination.") for t in texts), texts
    s.post_click(s.children(box.hwnd, cls="Button")[0].hwnd)
    s.wait_no_window(cls="#32770", title="Zelvoscript", pid=zs.winpid())

    dialog = zs.wait_window(title_contains="Optionen", visible=False)
    key_list = next(c for c in s.children(dialog.hwnd) if c.ctrl_id == 2004)
    s.wait_until(lambda: s.window_text(key_list.hwnd) == "(deaktiviert)",
                 what="the key list to show (deaktiviert)")
    s.run(s.exe("showwindow.exe"), hex(dialog.hwnd), check=True)
    zs.wait_window(title_contains="Optionen")
    s.screenshot("options-dialog")
