"""A page's own dialogs end to end: the hall page's "entergame" for a client that is not
installed, answered "确定", downloads the client from the stand-in publisher and starts it; Ctrl+D
typed into a game page opens the favourites dialog, whose "收藏" writes the shortcut. Pages are
driven with the page automation channel, windows read and answered with post_msg.exe."""
import glob
import os

import test_road
from harness import Screen, Wine, main, wait_until

CLIENT_STUB = os.path.join(test_road.WIN_TEST_DIR, "client_stub.exe")
WM_COMMAND, IDOK, IDC_FAV_NAME = 0x111, 1, 1018


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return b""


class PageDialogs(test_road.Road):
    def wait_dialog(self, title, pid, gone=False):
        def find():
            found = [w for w in self.windows() if w.depth == 0 and w.visible and w.text == title and w.pid == pid]
            return (not found) if gone else (found[0] if found else None)
        dlg = wait_until(find, 30)
        self.assertTrue(dlg, f"the dialog {title!r} of process {pid} {'goes' if gone else 'shows'}: {self.windows()}")
        return dlg

    def test_entergame_downloads_and_starts_a_missing_client(self):
        mark = os.path.join(self.tmp, "client-started.txt")

        def serve(signed):
            self.publisher.set_routes({
                "/update/ConfigMygame.htm": {"body": f"[VerKey]\r\nUpdAddr={self.publisher.url}/dl/Mygame.exe\r\n"},
                "/dl/Mygame.exe": {"file": CLIENT_STUB, "sign": signed},
            })
        serve(False)
        # The stand-in client finds where to record its start in the environment it inherits from
        # the main window, which starts it.
        main_wnd = self.start_program(env={"TNVEXA_CLIENT_MARK": Wine.windows(mark)})  # automation on
        self.wine.start(os.path.join(self.wine.install_dir, "TnVexa.exe"), ["/gmhall", f"/{main_wnd.hwnd}"])
        self.assertTrue(wait_until(lambda: len(self.pages()) == 1, 30), f"the hall page joins: {self.windows()}")
        (hall,) = self.pages().values()

        def enter_game(title):
            self.assertEqual(self.wine.run(test_road.PAGE_AUTOMATE, ["frame", "app://entergame|mygame", "20000"],
                                           timeout=40), 0)
            self.answer(self.wait_box(main_wnd.pid))  # "确定": download
            return self.wait_dialog(title, main_wnd.pid)

        # A client that the publisher did not sign is refused before its bytes are fetched, never started.
        self.post(enter_game("下载失败").hwnd, WM_COMMAND, IDOK, 0)
        self.wait_dialog("下载失败", main_wnd.pid, gone=True)
        serve(True)
        dlg = enter_game("下载完成")
        Screen.shot("down_game_done")
        self.assertEqual([r["path"] for r in self.publisher.requests() if r["path"].startswith(("/update/", "/dl/"))],
                         ["/update/ConfigMygame.htm", "/dl/Mygame.exe.sig"] * 2 + ["/dl/Mygame.exe"])
        started = wait_until(lambda: read(mark).decode("utf-8"), 20)
        self.assertTrue(started, "the downloaded client was started")
        # One start: the signed client's (an unsigned one started earlier would have come first).
        self.assertEqual(len(started.splitlines()), 1, started)
        path, command_line, folder, search = started.splitlines()[0].split("\t")
        self.assertTrue(path.lower().endswith("\\mygame.exe"), path)
        self.assertEqual(command_line.strip().lower(), path.lower(), "started by its path alone")
        self.assertFalse(path.lower().startswith("c:\\users"), "never from a folder of the player's")
        self.assertEqual(folder, path.rsplit("\\", 1)[0], "in its own folder, with the system's search path")
        system = "C:\\windows\\system32"
        self.assertEqual(search.lower(), f"{system};C:\\windows;{system}\\Wbem;{folder}".lower())
        self.assertFalse(os.path.exists(os.path.join(self.wine.install_dir, "Mygame.ini")))

        # Button 1 closes the finished dialog; the client's file is gone, or goes at the next
        # restart while the client runs from it.
        self.post(dlg.hwnd, WM_COMMAND, IDOK, 0)
        self.wait_dialog("下载完成", main_wnd.pid, gone=True)
        rc, pending = self.wine.tool("reg", "query", r"HKLM\System\CurrentControlSet\Control\Session Manager",
                                     "/v", "PendingFileRenameOperations")
        self.assertTrue(not os.path.exists(self.wine.unix(path)) or path.lower() in pending.lower(), pending)

    def test_ctrl_d_in_a_page_writes_the_favourite(self):
        # Pages show themselves once loaded, which needs an HTML engine: the second of two tabs is
        # shown by the window-switch key instead.
        self.start_program()
        first = self.log_in_as_tab("S1服-abc-player01", 1, [])
        main_wnd = self.main_window()
        self.add_account(main_wnd)
        page = self.log_in_as_tab("S2服-abc-player02", 2, [first])
        self.assertTrue(self.switch_key(main_wnd, 1, first), f"{self.pages()}")
        self.assertTrue(self.switch_key(main_wnd, 0, page), f"{self.pages()}")
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
        Screen.shot("fav_dialog")
        self.post(dlg.hwnd, WM_COMMAND, IDOK, 0)  # "收藏"
        self.assertTrue(wait_until(lambda: os.path.exists(target), 10), f"{os.listdir(favourites[0])}")
        self.wait_dialog("添加收藏", pid, gone=True)
        lines = read(target).split(b"\r\n")
        os.unlink(target)
        # The page's address as its last completed navigation left it (none without an HTML engine).
        url = lines[1][len(b"BASEURL="):]
        self.assertEqual(lines, [b"[DEFAULT]", b"BASEURL=" + url, b"[{000214A0-0000-0000-C000-000000000046}]",
                                 b"=19,2", b"[InternetShortcut]", b"URL=" + url, b"IDList=", b""])


if __name__ == "__main__":
    main()
