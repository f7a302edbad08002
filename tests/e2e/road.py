"""The road from launch to game tabs, driven from outside the program: windows are read with
post_msg.exe inside Wine, logins are made through the page automation channel with
page_automate.exe (the "Automation" test switch must be set before the program starts).
Shared by the e2e road tests and the headless run of tools/run.sh. A step that does not happen
within its bound raises AssertionError saying what was seen."""
import os
import tempfile
import urllib.parse

from harness import POST_MSG, WIN_TEST_DIR, Screen, Wine, wait_until

PAGE_AUTOMATE = os.path.join(WIN_TEST_DIR, "page_automate.exe")

WM_ADDACCOUNT = 0x406
BACKDROP_SIZE = (888, 518)
# Three accounts: the second with a region mark in its middle field, the third differing from
# the first only in letter case (another account).
THREE_LOGINS = (("S1服-abc-player01", 1), ("S2服-电信》新区一服-acc", 2), ("S1服-abc-PLAYER01", 3))


def check(condition, message):
    if not condition:
        raise AssertionError(message)
    return condition


class Window:
    """One line of post_msg.exe's list."""

    FIELDS = ("depth", "hwnd", "pid", "cls", "visible", "left", "top", "width", "height", "exstyle", "owner",
              "role", "text", "foreground")

    def __init__(self, line):
        parts = line.split("\t")
        parts += ["0"] * (len(self.FIELDS) - len(parts))
        for name, value in zip(self.FIELDS, parts):
            setattr(self, name, int(value) if name not in ("cls", "role", "text") else value)
        self.visible = bool(self.visible)
        self.foreground = bool(self.foreground)

    def __repr__(self):
        return (f"<{self.role} {self.cls} hwnd={self.hwnd} pid={self.pid} vis={int(self.visible)} "
                f"{self.width}x{self.height}+{self.left}+{self.top} {self.text!r}{' fg' if self.foreground else ''}>")


def loadgame_url(payload, game_url):
    """The URL a login page navigates to when the player has logged in."""
    return "app://loadgame?" + urllib.parse.quote(payload, safe="") + "|" + game_url


class RoadDriver:
    """Needs self.wine (harness.Wine), self.tmp (a scratch folder) and self.publisher_url."""

    def __init__(self, wine, tmp, publisher_url):
        self.wine, self.tmp, self.publisher_url = wine, tmp, publisher_url

    # Processes and windows --------------------------------------------------------------------
    def page_pids(self):
        return sorted(self.wine.program_pids(page=True))

    def main_pids(self):
        return sorted(self.wine.program_pids(page=False))

    def windows(self):
        with tempfile.NamedTemporaryFile(dir=self.tmp, suffix=".txt", delete=False) as f:
            path = f.name
        self.wine.run(POST_MSG, ["list", Wine.windows(path)], timeout=30)
        with open(path, encoding="utf-8", errors="replace") as f:
            lines = [l.rstrip("\n") for l in f if l.strip()]
        os.unlink(path)
        return [Window(l) for l in lines]

    def post(self, hwnd, msg, wparam=0, lparam=0):
        rc = self.wine.run(POST_MSG, ["post", str(hwnd), str(msg), str(wparam), str(lparam)])
        check(rc == 0, f"message {msg:#x} posted to window {hwnd}")

    def main_window(self):
        found = [w for w in self.windows() if w.role == "main" and w.depth == 0]
        return found[0] if found else None

    def pages(self):
        """The page windows inside the main window, by handle."""
        return {w.hwnd: w for w in self.windows() if w.role == "page" and w.depth == 1}

    def backdrops(self):
        return [w for w in self.windows()
                if w.cls == "#32770" and w.visible and (w.width, w.height) == BACKDROP_SIZE]

    def x_window(self, win):
        """The X window that shows a top-level window (same place and size)."""
        for xid in Screen.find("Vexa - Tarn"):
            g = Screen.geometry(xid)
            if (g.get("X"), g.get("Y"), g.get("WIDTH"), g.get("HEIGHT")) == (win.left, win.top, win.width, win.height):
                return xid
        return None

    # The road ---------------------------------------------------------------------------------
    def wait_launched(self):
        """After a start: the main window and one login process with its backdrop; answers the
        main window."""
        check(wait_until(self.main_window, 30),
              f"the main window appears: {self.wine.program_pids()} {self.windows()}")
        check(wait_until(lambda: len(self.page_pids()) == 1 and self.backdrops(), 30),
              f"one login process with its backdrop: {self.wine.program_pids()} {self.windows()}")
        # Read again: the window found first may still be finishing its initialisation.
        return self.main_window()

    def game_url(self, server):
        return f"{self.publisher_url}/games/tn/s{server}/game.html"

    def log_in(self, payload, server):
        url = loadgame_url(payload, self.game_url(server))
        check(self.wine.run(PAGE_AUTOMATE, ["login", url, "20000"], timeout=40) == 0,
              "a login page takes the request")

    def log_in_as_tab(self, payload, server, known):
        """Logs in and waits for the new tab; answers the new page window's handle."""
        before = set(known)
        self.log_in(payload, server)
        pages = wait_until(lambda: (lambda p: p if len(set(p) - before) == 1 else None)(self.pages()), 20)
        check(pages, f"the page window joins the main window: {self.windows()}")
        (new,) = set(pages) - before
        return new

    def add_account(self, main_wnd, expect_new_process=True):
        before = self.page_pids()
        self.post(main_wnd.hwnd, WM_ADDACCOUNT, 1, 0)
        if expect_new_process:
            check(wait_until(lambda: len(self.page_pids()) == len(before) + 1 and self.backdrops(), 30),
                  f"another login process: {self.wine.program_pids()}")

    def log_in_three_tabs(self):
        """From the first login screen: three logins, each a tab; answers the main window and
        the page windows in tab order once no login screen is left."""
        tabs = [self.log_in_as_tab(*THREE_LOGINS[0], [])]
        main_wnd = self.main_window()
        for payload, server in THREE_LOGINS[1:]:
            self.add_account(main_wnd)
            tabs.append(self.log_in_as_tab(payload, server, tabs))
        check(wait_until(lambda: not self.backdrops(), 10), f"the login screens close: {self.windows()}")
        return self.main_window(), tabs
