"""A page's own dialogs end to end: the hall page's "entergame" for a client that is not
installed, answered "确定", downloads the client from the stand-in publisher and starts it; Ctrl+D
typed into a game page opens the favourites dialog, whose "收藏" writes the shortcut. Pages are
driven with the page automation channel, windows read and answered with post_msg.exe."""
import glob
import os

import test_road
from harness import Screen, Wine, main, wait_until

CLIENT_STUB = os.path.join(test_road.WIN_TEST_DIR, "client_stub.exe")
PAGE_AUTOMATE = test_road.PAGE_AUTOMATE
WM_COMMAND = 0x111
IDOK = 1
IDC_FAV_NAME = 1018


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return b""


class PageDialogs(test_road.Road):
    def dialog(self, title, pid):
        found = [w for w in self.windows() if w.depth == 0 and w.visible and w.text == title and w.pid == pid]
        return found[0] if found else None

    def wait_dialog(self, title, pid, timeout=30):
        dlg = wait_until(lambda: self.dialog(title, pid), timeout)
        self.assertIsNotNone(dlg, f"the dialog {title!r} of process {pid}: {self.windows()}")
        return dlg

    def test_entergame_downloads_and_starts_a_missing_client(self):
        mark = os.path.join(self.tmp, "client-started.txt")
        self.publisher.set_routes({
            "/update/ConfigMygame.htm": {"body": f"[VerKey]\r\nUpdAddr={self.publisher.url}/dl/Mygame.exe\r\n"},
            "/dl/Mygame.exe": {"file": CLIENT_STUB},
        })
        main_wnd = self.start_program()
        env = self.env(TNVEXA_AUTOMATION="1", TNVEXA_CLIENT_MARK=Wine.windows(mark))
        exe = os.path.join(self.wine.install_dir, "TnVexa.exe")
        self.wine.start(exe, ["/gmhall", f"/{main_wnd.hwnd}"], env=env)
        self.assertTrue(wait_until(lambda: len(self.pages()) == 1, 30), f"the hall page joins: {self.windows()}")
        (hall,) = self.pages().values()

        self.assertEqual(self.wine.run(PAGE_AUTOMATE, ["frame", "app://entergame|mygame", "20000"], timeout=40), 0)
        box = self.wait_box(hall.pid)
        self.answer(box)  # "确定": download
        dlg = self.wait_dialog("下载完成", hall.pid)
        self.assertEqual([r["path"] for r in self.publisher.requests() if r["path"].startswith(("/update/", "/dl/"))],
                         ["/update/ConfigMygame.htm", "/dl/Mygame.exe"])
        started = wait_until(lambda: read(mark).decode("utf-8"), 20)
        self.assertTrue(started, "the downloaded client was started")
        path, command_line = started.splitlines()[0].split("\t")
        self.assertTrue(path.lower().endswith("\\mygame.exe"), path)
        self.assertEqual(command_line.strip().lower(), path.lower(), "started by its path alone, without arguments")
        self.assertFalse(path.lower().startswith("c:\\users"), "never from a folder of the player's")
        self.assertFalse(os.path.exists(os.path.join(self.wine.install_dir, "Mygame.ini")))
        Screen.shot("down_game_done", self.x_window_of(dlg))

        # Button 1 closes the finished dialog; the client file goes once the client has ended.
        self.post(dlg.hwnd, WM_COMMAND, IDOK, 0)
        self.assertTrue(wait_until(lambda: not self.dialog("下载完成", hall.pid), 10))
        unix = self.wine.unix(path)
        self.assertTrue(wait_until(lambda: not os.path.exists(unix) or self.pending_delete(path), 10),
                        f"the client file is removed, or will be at the next restart: {unix}")

    def test_ctrl_d_in_a_page_writes_the_favourite(self):
        # Pages show themselves once loaded, which needs an HTML engine: the second of two tabs is
        # shown by the window-switch key instead.
        self.start_program()
        first = self.log_in_as_tab("S1服-abc-player01", 1, [])
        main_wnd = self.main_window()
        self.add_account(main_wnd)
        page = self.log_in_as_tab("S2服-abc-player02", 2, [first])
        self.key(main_wnd, "ctrl+Tab")
        self.key(main_wnd, "ctrl+Tab")
        self.assertTrue(self.wait_visible_page(page), f"{self.pages()}")
        pid = self.pages()[page].pid
        favourites = glob.glob(os.path.join(self.wine.drive_c, "users", "*", "Favorites"))
        self.assertTrue(favourites, "the prefix has a Favorites folder")
        target = os.path.join(favourites[0], "我的游戏.url")
        if os.path.exists(target):
            os.unlink(target)

        self.key(main_wnd, "ctrl+d")
        dlg = self.wait_dialog("添加收藏", pid)
        self.assertEqual(self.wine.run(test_road.POST_MSG, ["settext", str(dlg.hwnd), str(IDC_FAV_NAME),
                                                            "我的游戏".encode("utf-8").hex()]), 0)
        Screen.shot("fav_dialog", self.x_window_of(dlg))
        self.post(dlg.hwnd, WM_COMMAND, IDOK, 0)  # "收藏"
        self.assertTrue(wait_until(lambda: os.path.exists(target), 10), f"{os.listdir(favourites[0])}")
        self.assertTrue(wait_until(lambda: not self.dialog("添加收藏", pid), 10))
        data = read(target)
        lines = data.split(b"\r\n")
        self.assertEqual(len(lines), 8, data)
        self.assertEqual(lines[-1], b"", "each of the seven lines ends with CR LF")
        # The page's address as its last completed navigation left it (none without an HTML engine).
        url = lines[1][len(b"BASEURL="):]
        self.assertEqual(lines[1], b"BASEURL=" + url)
        self.assertEqual(lines[2:7], [b"[{000214A0-0000-0000-C000-000000000046}]", b"=19,2", b"[InternetShortcut]",
                                      b"URL=" + url, b"IDList="])
        os.unlink(target)

    def x_window_of(self, win):
        for xid in Screen.find(win.text):
            g = Screen.geometry(xid)
            if (g.get("X"), g.get("Y"), g.get("WIDTH"), g.get("HEIGHT")) == (win.left, win.top, win.width, win.height):
                return xid
        return None

    def pending_delete(self, path):
        rc, out = self.wine.tool("reg", "query", r"HKLM\System\CurrentControlSet\Control\Session Manager",
                                 "/v", "PendingFileRenameOperations")
        return rc == 0 and path.lower() in out.lower()


if __name__ == "__main__":
    main()
