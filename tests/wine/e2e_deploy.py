"""Deployment end to end: the MSI that scripts/package builds, installed,
upgraded and removed silently with Wine's msiexec, the program started from
where it was installed, and the portable zip unpacked into a writable folder.

The packages are built from the session's build (for the 64-bit build that
is an MSI around the 64-bit exe: the same installer logic, a program this
machine may be able to run when it cannot run 32-bit ones). Every scenario
removes what it installed, so the scenarios after it find a clean machine.
"""

import shutil
import subprocess
import zipfile
from pathlib import Path

from harness import SETTINGS_KEY, win_path

ROOT = Path(__file__).resolve().parents[2]
MACHINE_KEY = r"HKLM\Software\Brannox Software\Zelvoscript"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
MAIN_CLASS = "ZelvoscriptMainWindow"
PATH_FIELD = 2010  # the options dialog's PathTB
DEFAULT_LINE = 2011  # the line below it that names the default file

_packages = {}


def packages(s, version=None, marker=b""):
    """(msi, zip) built by scripts/package from the session's build; with a
    version, from a copy of it that carries that version and whose exe ends
    in `marker`, so that an upgrade can tell the two exes apart."""
    key = (version, marker)
    if key not in _packages:
        source = s.build_dir
        if version:
            source = s.temp_folder("build")
            for name in ("Zelvoscript.exe", "sample.ini"):
                shutil.copy(s.build_dir / name, source / name)
            shutil.copytree(s.build_dir / "hilfe", source / "hilfe")
            (source / "version.txt").write_text(version + "\n")
            with open(source / "Zelvoscript.exe", "ab") as exe:
                exe.write(marker)  # bytes after the image: Windows ignores them
        out = s.temp_folder("dist")
        subprocess.run(["bash", str(ROOT / "scripts" / "package"), "--no-build", "--build-dir", str(source),
                        "--out", str(out)], check=True, capture_output=True, timeout=300)
        _packages[key] = (next(out.glob("Zelvoscript-*.msi")), next(out.glob("Zelvoscript-*-portable.zip")))
    return _packages[key]


def msiexec(s, *args):
    result = s.run("msiexec", *args, timeout=600)
    assert result.returncode == 0, f"msiexec {' '.join(args)}: {result.returncode} {result.stderr[-1500:]}"


def c_drive(s):
    return s.prefix / "drive_c"


def install_dir(s):
    return c_drive(s) / "Program Files (x86)" / "Brannox Software" / "Zelvoscript"


def installed_exe_windows_path():
    return r"C:\Program Files (x86)\Brannox Software\Zelvoscript\Zelvoscript.exe"


def user_folder(s, *parts):
    """A folder of the prefix's user profile, e.g. ("AppData", "Roaming")."""
    users = [u for u in (c_drive(s) / "users").iterdir() if u.name.lower() != "public" and u.is_dir()]
    return users[0].joinpath(*parts)


def user_data_file(s):
    return user_folder(s, "AppData", "Roaming", "Brannox Software", "Zelvoscript", "Zelvoscript.ini")


def start_menu_shortcuts(s):
    # Per machine; Wine puts it into the installing user's Start menu instead.
    return [link for top in (c_drive(s) / "ProgramData", c_drive(s) / "users")
            for link in top.rglob("Zelvoscript.lnk") if "Start Menu" in str(link)]


def uninstall_entries(s):
    return [line for line in s.run("uninstaller", "--list").stdout.splitlines()
            if line.endswith("|||Zelvoscript")]


def machine_values(s):
    out = s.reg("query", MACHINE_KEY, "/reg:32", check=False).stdout
    return {parts[0]: parts[2] if len(parts) > 2 else ""
            for parts in (line.split(None, 2) for line in out.splitlines() if "REG_" in line)}


def user_values(s):
    out = s.reg("query", SETTINGS_KEY, check=False).stdout
    return {parts[0]: parts[2] if len(parts) > 2 else ""
            for parts in (line.split(None, 2) for line in out.splitlines() if "REG_" in line)}


def write_data(path, names):
    lines = ["[Name]"] + [f"{i}={n}" for i, n in enumerate(names, 1)]
    lines += ["[Text]"] + [f"{i}=Text {i}" for i in range(1, len(names) + 1)]
    lines += ["[Common]", "HK=0"]
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1252"))


def start(s, exe):
    """Starts the program; returns it once start-up has filled its windows."""
    zs = s.start(exe)
    zs.wait_window(title_contains="Optionen", visible=False, timeout=60)
    return zs


def shown(s, zs):
    """(names in the main window's entry list, the options dialog's path and default line)."""
    main = zs.wait_window(cls=MAIN_CLASS, visible=False)
    # A hidden main window leaves its list empty until it is shown.
    s.wintool("show", hex(main.hwnd))
    entry_list = s.children(main.hwnd, cls="ListBox")[0].hwnd
    s.wait_until(lambda: s.list_items(entry_list), 10, what="the main window's list")
    names = s.list_items(entry_list)
    dialog = zs.wait_window(title_contains="Optionen", visible=False)
    fields = {c.ctrl_id: c for c in s.children(dialog.hwnd)}
    return names, s.window_text(fields[PATH_FIELD].hwnd), fields[DEFAULT_LINE].title


def end(s, zs):
    s.end_started()


def remove_everything(s, msi):
    s.end_started()
    s.run("msiexec", "/x", win_path(msi), "/qn", timeout=600)


def test_silent_install_with_the_office_data_file(s):
    msi, _ = packages(s)
    office = s.temp_folder("buero") / "Zelvoscript.ini"
    write_data(office, ["Angebot", "Mahnung", "Gru\u00df"])
    try:
        msiexec(s, "/i", win_path(msi), "/qn", f"DATENPFAD={win_path(office)}")
        folder = install_dir(s)
        for name in ("Zelvoscript.exe", "sample.ini", "hilfe/index.htm", "hilfe/bilder/menue.png"):
            assert (folder / name).is_file(), f"{name} is not in {folder}"
        assert (folder / "Zelvoscript.exe").read_bytes() == s.exe("Zelvoscript.exe").read_bytes()
        assert len(start_menu_shortcuts(s)) == 1, "no Start menu shortcut"
        assert len(uninstall_entries(s)) == 1
        assert machine_values(s)["path"] == win_path(office)

        # A user without a path of their own works with the office's file.
        zs = start(s, installed_exe_windows_path())
        names, path, _ = shown(s, zs)
        assert sorted(names) == sorted(["Angebot", "Mahnung", "Gru\u00df"])
        assert path == win_path(office)
        assert "path" not in user_values(s), "the office path was copied into the user's settings"
        s.screenshot("installed-with-datenpfad")
        end(s, zs)
    finally:
        remove_everything(s, msi)


def test_upgrade_replaces_the_program_and_keeps_data_and_settings_removal_keeps_them_too(s):
    old_msi, _ = packages(s, "1.0.0", b"older build")
    new_msi, _ = packages(s)
    office = s.temp_folder("buero") / "Zelvoscript.ini"
    write_data(office, ["Angebot"])
    try:
        msiexec(s, "/i", win_path(old_msi), "/qn", f"DATENPFAD={win_path(office)}")
        assert (install_dir(s) / "Zelvoscript.exe").read_bytes().endswith(b"older build")
        # What users and the program left meanwhile: their own file, its lock
        # file, their settings and autostart.
        own = user_data_file(s)
        write_data(own, ["Eigener Baustein"])
        own.with_name("Zelvoscript.ini.lock").write_bytes(b"")
        s.set_setting("path", win_path(own))
        s.set_setting("_Top", "1200")
        s.reg("add", RUN_KEY, "/v", "Zelvoscript", "/t", "REG_SZ", "/d",
              installed_exe_windows_path() + " /AUTOSTART", "/f")
        kept = {"path": win_path(own), "_Top": "1200"}

        def data():
            return own.read_bytes(), office.read_bytes(), own.with_name("Zelvoscript.ini.lock").exists()
        before = data(), user_values(s)

        # The upgrade, without DATENPFAD: the office path stays set.
        msiexec(s, "/i", win_path(new_msi), "/qn")
        assert len(uninstall_entries(s)) == 1
        assert (install_dir(s) / "Zelvoscript.exe").read_bytes() == s.exe("Zelvoscript.exe").read_bytes()
        assert machine_values(s)["path"] == win_path(office)
        assert (data(), user_values(s)) == before
        zs = start(s, installed_exe_windows_path())
        assert shown(s, zs)[0] == ["Eigener Baustein"], "the user's own path no longer wins"
        end(s, zs)
        before = data()

        # Removal takes the program and leaves what belongs to the users.
        msiexec(s, "/x", win_path(new_msi), "/qn")
        assert not install_dir(s).exists()
        assert not install_dir(s).parent.exists(), "an empty Brannox Software folder is left"
        assert start_menu_shortcuts(s) == []
        assert uninstall_entries(s) == []
        assert machine_values(s) == {}
        assert data() == before
        assert {k: user_values(s).get(k) for k in kept} == kept
        assert "Zelvoscript" in s.reg("query", RUN_KEY, "/v", "Zelvoscript", check=False).stdout
    finally:
        remove_everything(s, new_msi)
        s.reg("delete", RUN_KEY, "/v", "Zelvoscript", "/f", check=False)
        shutil.rmtree(user_data_file(s).parent.parent, ignore_errors=True)


def test_installed_program_keeps_its_default_file_per_user_and_takes_over_the_virtual_store(s):
    msi, _ = packages(s)
    local = user_folder(s, "AppData", "Local")
    virtual = local / "VirtualStore" / "Program Files (x86)" / "Brannox Software" / "Zelvoscript" / "Zelvoscript.ini"
    assert not user_data_file(s).exists()
    try:
        msiexec(s, "/i", win_path(msi), "/qn")
        # An older version without a manifest wrote its file into the user's
        # VirtualStore and stored the path beside the program.
        write_data(virtual, ["Aus alter Version"])
        old_bytes = virtual.read_bytes()
        s.set_setting("path", r"C:\Program Files (x86)\Brannox Software\Zelvoscript\Zelvoscript.ini")
        zs = start(s, installed_exe_windows_path())
        names, path, default_line = shown(s, zs)
        own = user_data_file(s)
        assert names == ["Aus alter Version"]
        assert path.endswith(r"\AppData\Roaming\Brannox Software\Zelvoscript\Zelvoscript.ini"), path
        assert own.read_bytes().startswith(old_bytes)
        assert virtual.read_bytes() == old_bytes, "the old file was changed"
        assert user_values(s)["path"] == path
        assert path in default_line
        dialog = zs.wait_window(title_contains="Optionen", visible=False)
        s.run(s.exe("showwindow.exe"), hex(dialog.hwnd), check=True)
        zs.wait_window(title_contains="Optionen")
        s.screenshot("options-installed")
        end(s, zs)

        # A new user: the default file is made from sample.ini in the user's folder.
        own.unlink()
        virtual.unlink()
        s.reset_settings()
        zs = start(s, installed_exe_windows_path())
        assert own.read_bytes().startswith((install_dir(s) / "sample.ini").read_bytes())
        assert not (install_dir(s) / "Zelvoscript.ini").exists()
        end(s, zs)
    finally:
        remove_everything(s, msi)
        shutil.rmtree(user_folder(s, "AppData", "Roaming", "Brannox Software"), ignore_errors=True)
        shutil.rmtree(local / "VirtualStore", ignore_errors=True)


def test_portable_zip_keeps_its_data_file_beside_the_program(s):
    _, portable = packages(s)
    folder = s.temp_folder("usb")
    with zipfile.ZipFile(portable) as z:
        z.extractall(folder)
    program = folder / "Zelvoscript"
    assert sorted(p.name for p in program.iterdir()) == ["Zelvoscript.exe", "hilfe", "sample.ini"]
    zs = start(s, program / "Zelvoscript.exe")
    names, path, default_line = shown(s, zs)
    assert path == win_path(program / "Zelvoscript.ini")
    assert (program / "Zelvoscript.ini").read_bytes().startswith((program / "sample.ini").read_bytes())
    assert names, "the sample entries are not shown"
    assert path in default_line
    assert not user_data_file(s).exists()
    end(s, zs)


def balloons(s):
    return s.windows(cls="tooltips_class32", visible=True)


def test_first_start_of_a_user_shows_the_tray_balloon_once(s):
    s.reset_settings(first_start=True)
    program = s.temp_folder("programm")
    shutil.copy(s.exe("Zelvoscript.exe"), program / "Zelvoscript.exe")
    shutil.copy(s.build_dir / "sample.ini", program / "sample.ini")  # its hotkey is Strg + F5
    zs = start(s, program / "Zelvoscript.exe")
    s.wait_until(lambda: user_values(s).get("_Welcomed") == "1", 20, what="the balloon to be marked as seen")
    s.wait_until(lambda: balloons(s), 10, what="the balloon at the tray icon")
    s.screenshot("first-start-balloon")
    s.end_started()
    s.wait_until(lambda: not balloons(s), 30, what="the balloon to go")

    zs = start(s, program / "Zelvoscript.exe")
    zs.wait_window(cls=MAIN_CLASS, visible=False)
    assert not balloons(s), "the balloon came again"
