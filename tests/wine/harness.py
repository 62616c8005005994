"""Wine test bed: one throwaway Wine prefix and one virtual X display per run.

    with WineSession(build_dir) as s:
        out = s.run(s.exe("platform_test.exe"))        # console program, output captured
        pad = s.start("notepad.exe")                   # GUI program, ended with the session
        w = s.wait_window(title_contains="Editor", pid=pad.winpid())
        s.click_window(w); s.key("ctrl+a"); s.type_text("Hallo")
        s.wait_until(lambda: s.window_text(w.hwnd) == "Hallo")

Everything the session starts (Xvfb, wine processes) is ended by process id
when the session ends, also after a failure; `wineserver -k` then ends the
rest of its own prefix, and the prefix folder is removed.
"""

import os
import re
import shutil
import subprocess
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

SETTINGS_KEY = r"HKCU\Software\VB and VBA Program Settings\Brannox Software\Zelvoscript"


class WineError(Exception):
    pass


def _wine_loader():
    """"wine", or the 64-bit loader where this machine's kernel cannot start
    the 32-bit one (then only 64-bit programs run)."""
    for loader in ("wine", "/usr/lib/wine/wine64"):
        try:
            if subprocess.run([loader, "--version"], stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=60).returncode == 0:
                return loader
        except (OSError, subprocess.TimeoutExpired):
            pass
    return "wine"


WINE = _wine_loader()


class TimedOut(AssertionError):
    pass


@dataclass(frozen=True)
class Window:
    hwnd: int
    pid: int  # Windows process id (not the Unix one)
    visible: bool
    cls: str
    title: str
    ctrl_id: int = 0  # for child windows

    def __str__(self):
        return f"{self.hwnd:#x} pid={self.pid} {'visible' if self.visible else 'hidden'} [{self.cls}] {self.title!r}"


def wait_until(condition, timeout=10.0, interval=0.05, what="condition"):
    """Polls `condition` until it returns something truthy and returns that;
    raises TimedOut after `timeout` seconds. Waits grow up to 0.5 s."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise TimedOut(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)
        interval = min(interval * 1.5, 0.5)


def win_path(path):
    """A Unix path as Wine's Z: drive sees it."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


class GuiProcess:
    """A program started with WineSession.start."""

    def __init__(self, session, popen, exe_name, known_winpids):
        self.session = session
        self.popen = popen
        self.pid = popen.pid  # Unix process id, for ending it
        self._exe_name = exe_name.lower()
        self._known = known_winpids
        self._winpid = None

    def running(self):
        return self.popen.poll() is None

    def winpid(self, timeout=15.0):
        """The Windows process id: the new process of this exe's name."""
        if self._winpid is None:
            def fresh():
                found = [p for p, _, name in self.session.processes()
                         if name.lower() == self._exe_name and p not in self._known]
                return found[0] if found else None
            self._winpid = wait_until(fresh, timeout, what=f"process {self._exe_name}")
        return self._winpid

    def windows(self, **criteria):
        return self.session.windows(pid=self.winpid(), **criteria)

    def wait_window(self, timeout=15.0, **criteria):
        return self.session.wait_window(timeout=timeout, pid=self.winpid(), **criteria)

    def wait_exit(self, timeout=15.0):
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TimedOut(f"{self._exe_name} still running after {timeout:g} s")

    def kill(self):
        if self.running():
            self.popen.kill()
        try:
            self.popen.wait(10)
        except subprocess.TimeoutExpired:
            pass


class WineSession:
    def __init__(self, build_dir, artifacts_dir=None, screen="1280x1024x24", keep_prefix=False,
                 managed_windows=False, display=None, env=None):
        """`display`: use that X display (another session's) instead of an own
        Xvfb, so that two prefixes - two PCs - show on one screen. `env`:
        extra environment for every program of the prefix (USER names the
        Windows user)."""
        self.build_dir = Path(build_dir).resolve()
        self.artifacts_dir = Path(artifacts_dir or self.build_dir / "wine-artifacts").resolve()
        self.screen = screen
        self.keep_prefix = keep_prefix
        self.managed_windows = managed_windows
        self.prefix = None
        self.display = display
        self._own_display = display is None
        self.extra_env = dict(env or {})
        self.env = None
        self.timings = {}
        self._xvfb = None
        self._started = []  # GuiProcess objects, ended by end_started() and at exit
        self._temp_dirs = []
        self._shots = 0

    # ---- life cycle ----

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _start(self):
        t0 = time.monotonic()
        self.prefix = Path(tempfile.mkdtemp(prefix="zelvo-wine-"))
        self.artifacts_dir.mkdir(parents=True, exist_ok=True)
        if self._own_display:
            self._start_xvfb()
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": str(self.prefix),
            "WINEDEBUG": "-all",
            # No Mono or Gecko installer prompts, and no menu entries of
            # installed programs in the desktop's own menus.
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
            "LANG": "de_DE.UTF-8",
            "LC_ALL": "de_DE.UTF-8",
            "DISPLAY": self.display,
        })
        self.env.update(self.extra_env)
        self.env.pop("WINEARCH", None)
        self.timings["xvfb"] = time.monotonic() - t0
        # A persistent server keeps each later program start fast.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        boot = self._run_to_files([WINE, "wineboot", "-i"], timeout=300)
        if boot.returncode != 0:
            raise WineError(f"wineboot -i failed ({boot.returncode}): {boot.stderr[-2000:]}")
        self._check_screen_size()
        self._install_wine_fonts()
        if not self.managed_windows:
            # There is no window manager on the display: a managed window then
            # waits 2 s for a state change that never comes each time it hides.
            self.reg("add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/t", "REG_SZ",
                     "/d", "N", "/f")
        self.timings["prefix"] = time.monotonic() - t0

    def _check_screen_size(self):
        """Wine now and then starts up on a busy machine believing in a
        1024x768 screen instead of the display's; every placement would then
        be off. The server is started afresh until it sees the display."""
        want = tuple(int(v) for v in self.screen.split("x")[:2])
        for attempt in range(3):
            seen = tuple(int(v) for v in self.wintool("screen").stdout.split())
            if seen == want or attempt == 2:
                break
            subprocess.run(["wineserver", "-k"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-p"], env=self.env, check=True, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if seen != want:
            raise WineError(f"Wine sees a screen of {seen}, the display is {want}")

    def _install_wine_fonts(self):
        """Debian's Wine does not find the fonts it ships: caption buttons then
        show the letters "0 1 r" instead of Marlett's symbols, and dialogs a
        stand-in for Tahoma. Copied into the prefix's font folder, they are used."""
        fonts = self.prefix / "drive_c" / "windows" / "Fonts"
        fonts.mkdir(parents=True, exist_ok=True)
        for name in ("marlett.ttf", "tahoma.ttf", "tahomabd.ttf"):
            source = Path("/usr/share/wine/fonts") / name
            if source.exists():
                shutil.copy(source, fonts / name)

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", self.screen, "-nolisten", "tcp"],
                pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL)
            os.close(write_fd)
            write_fd = None
            number = b""
            with os.fdopen(read_fd, "rb") as pipe:
                read_fd = None
                while not number.endswith(b"\n"):
                    chunk = pipe.read(1)
                    if not chunk:
                        raise WineError("Xvfb ended before it reported its display")
                    number += chunk
            self.display = ":" + number.decode().strip()
        finally:
            for fd in (read_fd, write_fd):
                if fd is not None:
                    os.close(fd)

    def close(self):
        self.end_started()
        if self.env is not None:
            subprocess.run(["wineserver", "-k"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        if self._xvfb is not None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait()
            self._xvfb = None
        for d in self._temp_dirs:
            shutil.rmtree(d, ignore_errors=True)
        self._temp_dirs = []
        if self.prefix is not None and not self.keep_prefix:
            shutil.rmtree(self.prefix, ignore_errors=True)
        self.prefix = None
        self.env = None

    def end_started(self):
        """Ends every program this session started that still runs."""
        for p in self._started:
            p.kill()
        self._started = []

    # ---- programs ----

    def exe(self, name):
        """A program of the build directory."""
        path = self.build_dir / name
        if not path.exists():
            raise WineError(f"{path} is missing: build it first")
        return path

    def run(self, exe, *args, timeout=120, cwd=None, check=False, raw=False):
        """Runs a console program to its end. Returns a CompletedProcess whose
        stdout and stderr are text with "\\n" line ends (with raw, exactly
        as written: for programs that put stdout in binary mode)."""
        result = self._run_to_files([WINE, str(exe), *map(str, args)], timeout, cwd, raw)
        if check and result.returncode != 0:
            raise WineError(f"{Path(str(exe)).name} {' '.join(map(str, args))} exited with "
                            f"{result.returncode}: {result.stdout}{result.stderr}")
        return result

    def _run_to_files(self, command, timeout, cwd=None, raw=False):
        # Output goes through files, not pipes: Wine's helper processes
        # (services, the desktop) inherit the handles and would keep a pipe
        # open long after the program itself has ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            popen = subprocess.Popen(command, env=self.env, cwd=cwd, stdin=subprocess.DEVNULL,
                                     stdout=out, stderr=err)
            try:
                popen.wait(timeout)
            except subprocess.TimeoutExpired:
                popen.kill()
                popen.wait()
                raise
            texts = []
            for f in (out, err):
                f.seek(0)
                text = f.read().decode("utf-8", "replace")
                texts.append(text if raw else text.replace("\r\n", "\n"))
        return subprocess.CompletedProcess(command, popen.returncode, texts[0], texts[1])

    def start(self, exe, *args, cwd=None):
        """Starts a GUI program (a build product, or a Windows program such
        as "notepad.exe") and returns its GuiProcess."""
        name = re.split(r"[\\/]", str(exe))[-1]  # a Unix path or a Windows one
        if not name.lower().endswith(".exe"):
            name += ".exe"
        known = {pid for pid, _, n in self.processes() if n.lower() == name.lower()}
        popen = subprocess.Popen([WINE, str(exe), *map(str, args)], env=self.env, cwd=cwd,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        process = GuiProcess(self, popen, name, known)
        self._started.append(process)
        return process

    def wintool(self, *args, check=True):
        # Wine now and then fails to start a program at all (exit code 1, no
        # output) while another one is starting. The tool itself never exits
        # with 1, so such a try did nothing and is made again.
        for attempt in range(3):
            result = self.run(self.exe("wintool.exe"), *args, timeout=30, raw=True)
            if result.returncode != 1 or result.stdout or attempt == 2:
                break
            time.sleep(1)
        if check and result.returncode != 0:
            raise WineError(f"wintool.exe {' '.join(map(str, args))} exited with "
                            f"{result.returncode}: {result.stdout}{result.stderr}")
        return result

    def processes(self):
        """(Windows pid, parent pid, exe name) of every process in the prefix."""
        listing = self.wintool("processes").stdout
        rows = []
        for line in listing.splitlines():
            pid, parent, name = line.split("\t", 2)
            rows.append((int(pid), int(parent), name))
        return rows

    # ---- windows ----

    @staticmethod
    def _parse_windows(text, children=False):
        found = []
        for line in text.splitlines():
            parts = line.split("\t", 5 if children else 4)
            if children:
                hwnd, pid, visible, cls, ctrl_id, title = parts
            else:
                hwnd, pid, visible, cls, title = parts
                ctrl_id = 0
            found.append(Window(int(hwnd, 16), int(pid), visible == "1", cls, title, int(ctrl_id)))
        return found

    @staticmethod
    def _matches(w, title=None, title_contains=None, cls=None, pid=None, visible=None):
        return ((title is None or w.title == title)
                and (title_contains is None or title_contains in w.title)
                and (cls is None or w.cls.lower() == cls.lower())
                and (pid is None or w.pid == pid)
                and (visible is None or w.visible == visible))

    def windows(self, **criteria):
        """Top-level windows, optionally filtered by title, title_contains,
        cls, pid (Windows pid) and visible."""
        found = self._parse_windows(self.wintool("windows").stdout)
        return [w for w in found if self._matches(w, **criteria)]

    def children(self, hwnd, **criteria):
        """All descendant windows (controls) of a window, with their ctrl_id."""
        found = self._parse_windows(self.wintool("children", hex(hwnd)).stdout, children=True)
        return [w for w in found if self._matches(w, **criteria)]

    def wait_window(self, timeout=15.0, **criteria):
        """The first top-level window matching the criteria (visible ones by
        default), once it exists."""
        criteria.setdefault("visible", True)
        return wait_until(lambda: next(iter(self.windows(**criteria)), None), timeout,
                          what=f"a window with {criteria}")

    def wait_no_window(self, timeout=15.0, **criteria):
        criteria.setdefault("visible", True)
        wait_until(lambda: not self.windows(**criteria), timeout,
                   what=f"no window with {criteria}")

    def window_text(self, hwnd):
        """Text of a window's first edit control (or of the window itself),
        exactly as WM_GETTEXT gives it (notepad: "\\r\\n" line ends)."""
        return self.wintool("text", hex(hwnd)).stdout

    def notepad_text(self, hwnd):
        return self.window_text(hwnd).replace("\r\n", "\n")

    def list_items(self, hwnd):
        """The items of a list box."""
        return self.wintool("items", hex(hwnd)).stdout.splitlines()

    def set_text(self, hwnd, text):
        self.wintool("settext", hex(hwnd), text)

    def window_rect(self, hwnd):
        """(left, top, right, bottom) in screen pixels."""
        return tuple(int(v) for v in self.wintool("rect", hex(hwnd)).stdout.split())

    def move_window(self, hwnd, x, y):
        """Moves a window (its size and place in the z-order stay)."""
        self.wintool("move", hex(hwnd), x, y)

    def foreground(self):
        return int(self.wintool("foreground").stdout.strip(), 16)

    def focus(self):
        """The window with the keyboard focus (in the foreground window's thread)."""
        return int(self.wintool("focus").stdout.strip(), 16)

    def post_click(self, hwnd):
        """BM_CLICK on a button (or a posted click on another control)."""
        self.wintool("click", hex(hwnd))

    def close_window(self, hwnd):
        self.wintool("close", hex(hwnd))

    # ---- clipboard ----

    def clipboard(self):
        """The clipboard's text, or None when it holds no text."""
        # Reading changes nothing, so a try that found the clipboard held by
        # another program is made again.
        for attempt in range(3):
            result = self.wintool("clipboard", check=False)
            if result.returncode in (0, 4):
                break
            time.sleep(1)
        return result.stdout if result.returncode == 0 else None

    def set_clipboard(self, text):
        self.wintool("setclipboard", text)

    # ---- keyboard and mouse, as a user would (xdotool on the X display) ----

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True,
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=60)

    def key(self, *keys, delay_ms=30):
        """Presses keys such as "ctrl+F5", "Down", "Return"."""
        self.xdotool("key", "--delay", delay_ms, *keys)

    def type_text(self, text, delay_ms=20):
        """Types text; characters missing from the X keymap (e.g. "ß") are lost."""
        self.xdotool("type", "--delay", delay_ms, text)

    def mouse_location(self):
        """(x, y) of the mouse pointer."""
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env, check=True,
                             stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
        values = dict(line.split("=", 1) for line in out.stdout.split())
        return int(values["X"]), int(values["Y"])

    def x_window_at(self, rect):
        """The X window id whose geometry is exactly `rect` (left, top,
        right, bottom), or None."""
        left, top, right, bottom = rect
        out = subprocess.run(["xwininfo", "-root", "-children"], env=self.env, check=True,
                             stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
        for line in out.stdout.splitlines():
            m = re.match(r"\s*(0x[0-9a-f]+) .*?\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s", line)
            if m and tuple(int(v) for v in m.groups()[1:]) == (right - left, bottom - top, left, top):
                return m.group(1)
        return None

    def focus_popup_menu(self, menu):
        """Gives the X keyboard focus to an open popup menu (a "#32768"
        Window), so that keys reach it. Without a window manager the X focus
        stays on the window clicked last, and Wine drops the keys pressed
        there while the foreground belongs to the menu's hidden owner."""
        xid = wait_until(lambda: self.x_window_at(self.window_rect(menu.hwnd)), 5,
                         what="the menu's X window")
        self.xdotool("windowfocus", "--sync", xid)

    def click_at(self, x, y, button=1):
        self.xdotool("mousemove", "--sync", x, y, "click", button)

    def click_window(self, window, dx=None, dy=None):
        """Clicks into a window (its centre by default), which also activates it."""
        hwnd = window.hwnd if isinstance(window, Window) else window
        left, top, right, bottom = self.window_rect(hwnd)
        self.click_at(left + (dx if dx is not None else (right - left) // 2),
                      top + (dy if dy is not None else (bottom - top) // 2))

    # ---- files, settings, evidence ----

    def temp_folder(self, name="data"):
        """A fresh empty folder, removed with the session. Returns a Path;
        win_path() gives the program's view of it."""
        folder = Path(tempfile.mkdtemp(prefix=f"zelvo-{name}-"))
        self._temp_dirs.append(folder)
        return folder

    def capture_browser(self):
        """Makes Wine hand web addresses to a script that writes them down
        instead of starting a browser. Returns a function that gives the
        addresses opened so far."""
        folder = self.temp_folder("browser")
        log, script = folder / "opened.txt", folder / "browser.sh"
        script.write_text(f'#!/bin/sh\necho "$1" >> "{log}"\n')
        script.chmod(0o755)
        self.reg("add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/t", "REG_SZ", "/d", str(script), "/f")
        # Wine's shell adds a "/" to a bare host name; it is dropped here.
        return lambda: [a.rstrip("/") for a in log.read_text().split()] if log.exists() else []

    def reg(self, *args, check=True):
        return self.run("reg", *args, timeout=60, check=check)

    def reset_settings(self, first_start=False):
        """Removes the program's per-user settings. Unless `first_start`, the
        user has seen the first-start balloon, which would otherwise lie
        over the tray icon at every start."""
        self.reg("delete", SETTINGS_KEY, "/f", check=False)
        if not first_start:
            self.set_setting("_Welcomed", "1")

    def set_setting(self, name, value):
        self.reg("add", SETTINGS_KEY, "/v", name, "/t", "REG_SZ", "/d", value, "/f")

    def screenshot(self, name=None, path=None):
        """Saves what the screen shows as a PNG (numbered, in the artifacts
        folder, unless a path is given) and returns its path."""
        self._shots += 1
        path = path or self.artifacts_dir / f"{name or 'shot'}-{self._shots:02d}.png"
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True,
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        return path

    wait_until = staticmethod(wait_until)
    win_path = staticmethod(win_path)
