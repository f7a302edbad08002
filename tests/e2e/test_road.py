"""The road from launch to a game tab: the installed copy opens its waiting main window and a
login process; logins become tabs (three at most, no duplicate account on a server); tabs are
switched with the window-switch key and closed with their questions; page processes end with
their main window. Logins are made with the page automation channel, windows are read with
post_msg.exe from inside Wine and with xdotool from outside."""
import os
import subprocess
import tempfile
import time
import urllib.parse

from harness import TEST_KEY, E2ECase, Screen, main, wait_until
# The road's tools, also used by the other scenarios through this module.
from road import PAGE_AUTOMATE, POST_MSG, WIN_TEST_DIR, WM_ADDACCOUNT, RoadDriver, Window, loadgame_url  # noqa: F401

WM_COMMAND = 0x111
WM_SYSCOMMAND = 0x112
SC_CLOSE = 0xF060
MSGBOX_FIRST_BUTTON = 5000  # "确定" of a notice, "是" of a question
TAB_LEFT, TAB_WIDTH = 120, 189
INTERNET_SETTINGS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"


class Road(E2ECase, RoadDriver):
    @property
    def publisher_url(self):
        return self.publisher.url

    def message_boxes(self, pid=None):
        return [w for w in self.windows() if w.role == "msgbox" and w.visible and (pid is None or w.pid == pid)]

    def visible_page(self):
        shown = [h for h, w in self.pages().items() if w.visible]
        return shown[0] if len(shown) == 1 else (shown or None)

    def start_program(self, env=None):
        self.set_automation("1")
        self.wine.start(self.installed_exe(), env=env)
        return self.wait_launched()

    def open_three_tabs(self):
        """Launch and three logins; answers the main window and the page windows in tab order."""
        self.start_program()
        return self.log_in_three_tabs()

    def answer(self, box, button=MSGBOX_FIRST_BUTTON):
        self.post(box.hwnd, WM_COMMAND, button, 0)

    def wait_box(self, pid):
        boxes = wait_until(lambda: self.message_boxes(pid), 20)
        self.assertTrue(boxes, f"a message box of process {pid}: {self.windows()}")
        return boxes[0]

    def tooltip_text(self, main_wnd, tab):
        """Points at a tab and answers the tip the strip shows for it. The pointer first leaves
        the strip until no tip shows, so that the tip read is this tab's, not the last one's."""
        def tips():
            return [w.text for w in self.windows() if w.role == "tip" and w.visible and w.text]
        subprocess.run(["xdotool", "mousemove", str(main_wnd.left + main_wnd.width // 2),
                        str(main_wnd.top + main_wnd.height // 2)], timeout=10)
        self.assertTrue(wait_until(lambda: not tips(), 8), f"the tip goes: {tips()}")
        x, y = main_wnd.left + TAB_LEFT + TAB_WIDTH * tab + 90, main_wnd.top + 15
        subprocess.run(["xdotool", "mousemove", str(x - 20), str(y)], timeout=10)
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], timeout=10)
        return wait_until(lambda: (tips() or [None])[0], 8, interval=0.3)

    def switch_key(self, main_wnd, selected, shows):
        """Types the window-switch key into the main window, Ctrl held until the page `shows` is
        visible (or 10 s pass); answers whether it showed. A click on the selected tab first gives
        the main window the keyboard: a page that has it passes Tab on to the main window, which
        reads Ctrl's state when the message arrives, and under Wine another thread's key state
        may not have caught up then."""
        self.click_tab(main_wnd, selected, 1)
        self.assertTrue(wait_until(lambda: any(w.hwnd == main_wnd.hwnd and w.foreground for w in self.windows()), 10),
                        f"the main window takes the keyboard: {self.windows()}")
        subprocess.run(["xdotool", "keydown", "ctrl"], timeout=10)
        try:
            subprocess.run(["xdotool", "key", "Tab"], timeout=10)
            return self.wait_visible_page(shows)
        finally:
            subprocess.run(["xdotool", "keyup", "ctrl"], timeout=10)

    def key(self, main_wnd, keys):
        """Types keys (xdotool's names) once the main window has the X focus and Win32 sees it or
        one of its pages in the foreground: keys follow the foreground, which another process (a
        login screen closing) may have taken after the X focus moved."""
        xid = self.x_window(main_wnd)
        self.assertIsNotNone(xid, "the main window has an X window")

        def ours():
            return any(w.foreground and (w.hwnd == main_wnd.hwnd or (w.role == "page" and w.depth == 1))
                       for w in self.windows())

        def in_front():
            subprocess.run(["xdotool", "windowfocus", "--sync", str(xid)], timeout=10)
            return wait_until(ours, 2)
        self.assertTrue(wait_until(in_front, 15, interval=0), f"the main window takes the focus: {self.windows()}")
        subprocess.run(["xdotool", "key", keys], timeout=10)

    def point_at_tab(self, main_wnd, tab, x=90, y=15):
        subprocess.run(["xdotool", "mousemove", str(main_wnd.left + TAB_LEFT + TAB_WIDTH * tab + x),
                        str(main_wnd.top + y)], timeout=10)

    def click_tab(self, main_wnd, tab, button, x=90, y=15):
        self.point_at_tab(main_wnd, tab, x, y)
        subprocess.run(["xdotool", "click", str(button)], timeout=10)

    def wait_visible_page(self, page, timeout=10):
        return wait_until(lambda: self.visible_page() == page, timeout)


class LoginToTab(Road):
    def test_logins_become_labelled_tabs_up_to_three(self):
        main_wnd = self.start_program()
        # Waiting for the first page: 1 x 1 in the corner, no tray icon yet.
        self.assertEqual((main_wnd.left, main_wnd.top, main_wnd.width, main_wnd.height), (0, 0, 1, 1))
        self.assertEqual(len(self.main_pids()), 1)
        self.assertFalse(self.tray_shown(), "no tray icon before the first tab")

        first = self.log_in_as_tab("S1服-abc-player01", 1, [])
        main_wnd = self.main_window()
        self.assertGreater(main_wnd.width, 1000, f"the first tab maximises the main window: {main_wnd}")
        self.assertGreater(main_wnd.height, 600)
        self.assertTrue(wait_until(self.tray_shown, 5), "the first tab adds the tray icon")
        # The page window is a child of the main window now, not a window of its own on screen.
        self.assertFalse([w for w in self.windows() if w.role == "page" and w.depth == 0])
        # The page process goes on to the game page; no other login process is started.
        self.assertTrue(self.publisher.wait_requests("/games/tn/s1/game.html", 1, timeout=10))
        # A message sent through the page's and the main window's queues comes back once each has
        # handled what came before it: a login process either started for it exists by then.
        for hwnd in (first, main_wnd.hwnd):
            self.wine.run(POST_MSG, ["send", str(hwnd), "0", "0", "0"])
        self.assertEqual(len(self.page_pids()), 1)
        self.assertEqual(self.backdrops(), [])

        # Another account in a new tab, with the region mark in the middle field.
        self.add_account(main_wnd)
        second = self.log_in_as_tab("S2服-电信》新区一服-acc", 2, [first])
        # The same account on the same server is refused by the login process, which gives up.
        self.add_account(main_wnd)
        pids = self.page_pids()
        self.log_in("S1服-abc-player01", 1)
        box = self.wait_box(None)
        self.assertNotEqual(box.pid, main_wnd.pid, "the login process shows the duplicate message")
        self.post(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0)
        self.assertTrue(wait_until(lambda: len(self.page_pids()) == len(pids) - 1, 10),
                        f"the refused login process ends: {self.page_pids()}")
        self.assertTrue(wait_until(lambda: set(self.pages()) == {first, second}, 10),
                        f"the main window keeps its two tabs: {self.pages()}")
        self.assertIsNotNone(self.main_window(), "the main window only forgets the refused login")
        # A label that differs only in letter case is another account.
        self.add_account(main_wnd)
        third = self.log_in_as_tab("S1服-abc-PLAYER01", 3, [first, second])

        # The labels, as the strip's tooltip shows them.
        expected = ["1服-abc-player01", "2服-新区一服-acc", "1服-abc-PLAYER01"]
        self.assertEqual([self.tooltip_text(main_wnd, i) for i in range(3)], expected)
        Screen.shot("road_tab_tooltip")
        # Three tabs, the last selected, the middle one under the pointer.
        self.point_at_tab(main_wnd, 1, x=60)
        shot = Screen.shot("road_three_tabs_hover", self.x_window(main_wnd))
        self.assertTrue(os.path.getsize(shot) > 0)

        # A fourth tab is refused with a notice of the main window; no process is started.
        pids = self.page_pids()
        self.post(main_wnd.hwnd, WM_ADDACCOUNT, 1, 0)
        box = self.wait_box(main_wnd.pid)
        self.assertEqual(self.page_pids(), pids)
        self.post(box.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0)
        self.assertTrue(wait_until(lambda: not self.message_boxes(), 10), "the notice closes")
        self.assertEqual(set(self.pages()), {first, second, third})
        self.assertEqual(self.page_pids(), pids)

    def tray_shown(self):
        return any(w.cls == "__winex11_standalone_tray" and w.visible for w in self.windows())


class TabsAndEnding(Road):
    def test_switch_key_close_questions_and_quit(self):
        main_wnd, (first, second, third) = self.open_three_tabs()
        # No page shows itself before it is selected (the selected one may once its navigation
        # ends, which with no HTML engine here it may or may not).
        self.assertIn(self.visible_page(), (None, third))
        # The window-switch key (Ctrl+Tab) moves on from the last tab to the first, then the second.
        self.assertTrue(self.switch_key(main_wnd, 2, first), f"Ctrl+Tab shows the first page: {self.pages()}")
        self.assertTrue(self.switch_key(main_wnd, 0, second), f"Ctrl+Tab shows the second page: {self.pages()}")

        # The account question answered "否" keeps the tab.
        self.click_tab(main_wnd, 0, 2)
        box = self.wait_box(main_wnd.pid)
        self.answer(box, MSGBOX_FIRST_BUTTON + 1)
        self.assertTrue(wait_until(lambda: not self.message_boxes(), 10))
        self.assertEqual(len(self.pages()), 3)
        self.assertEqual(len(self.page_pids()), 3)

        # A middle click closes the middle tab after its question: the tab that moved into its
        # place is selected, and the closed page's process ends.
        self.click_tab(main_wnd, 1, 2)
        self.answer(self.wait_box(main_wnd.pid))
        self.assertTrue(wait_until(lambda: set(self.pages()) == {first, third}, 10), f"{self.pages()}")
        self.assertTrue(self.wait_visible_page(third), f"the third page moved into place: {self.pages()}")
        self.assertTrue(wait_until(lambda: len(self.page_pids()) == 2, 10), "the closed page's process ends")

        # Closing the last of two tabs selects the new last one.
        self.click_tab(main_wnd, 1, 1, x=183, y=9)  # its close box
        self.answer(self.wait_box(main_wnd.pid))
        self.assertTrue(wait_until(lambda: set(self.pages()) == {first}, 10), f"{self.pages()}")
        self.assertTrue(self.wait_visible_page(first))
        self.assertTrue(wait_until(lambda: len(self.page_pids()) == 1, 10))

        # The last tab asks the window question; "是" ends every page and the program.
        self.click_tab(main_wnd, 0, 1, x=183, y=9)
        self.answer(self.wait_box(main_wnd.pid))
        start = time.monotonic()
        self.assertTrue(wait_until(lambda: not self.wine.program_pids(), 10), f"{self.wine.program_pids()}")
        self.assertLess(time.monotonic() - start, 5)

    def test_a_page_ends_by_itself_when_its_main_window_is_killed(self):
        self.start_program()
        self.log_in_as_tab("S1服-abc-player01", 1, [])
        (page,) = self.page_pids()
        (main_pid,) = self.main_pids()
        os.kill(main_pid, 9)
        start = time.monotonic()
        self.assertTrue(wait_until(lambda: page not in self.page_pids(), 5, interval=0.05),
                        "the page process ends after its main window")
        elapsed = time.monotonic() - start
        self.assertLess(elapsed, 2.0, "the page watches its main window every 800 ms")

    def test_pages_run_outside_administrators_unless_their_restricted_start_fails(self):
        for words, restricted in (("1", True), ("1,unrestricted", False)):
            with self.subTest(words), tempfile.TemporaryFile() as err:
                self.set_automation(words)
                self.wine.start(self.installed_exe(), env={"WINEDEBUG": "+debugstr"}, stderr=err)
                try:
                    main_wnd = self.wait_launched()
                    tab = self.log_in_as_tab("S1服-abc-player01", 1, [])
                    (page,) = [w.pid for w in self.windows() if w.hwnd == tab]
                    # post_msg.exe admin: 0 the group deny-only and no member, 1 a member.
                    self.assertEqual(self.wine.run(POST_MSG, ["admin", str(main_wnd.pid)]), 1)
                    self.assertEqual(self.wine.run(POST_MSG, ["admin", str(page)]), 0 if restricted else 1)
                finally:
                    self.wine.kill_all()
                err.seek(0)
                trace = err.read().decode("utf-8", "replace")
                self.assertEqual("page process not restricted, started with full rights" in trace, not restricted)

class SwitchesOnlyFromTheRegistry(Road):
    def test_the_environment_neither_redirects_nor_automates(self):
        self.wine.reg_delete(TEST_KEY)
        # Whatever network the machine has, the program's requests stay on loopback: they go
        # through the stand-in as the system's proxy, which logs the host each one names.
        self.wine.reg_import([f"[{INTERNET_SETTINGS}]", '"ProxyEnable"=dword:00000001',
                              f'"ProxyServer"="{self.publisher.host}"'], self.tmp)
        self.addCleanup(self.wine.reg_import, [f"[{INTERNET_SETTINGS}]", '"ProxyEnable"=dword:00000000',
                                               '"ProxyServer"=-'], self.tmp)
        env = {"TNVEXA_PUBLISHER": self.publisher.host, "TNVEXA_AUTOMATION": "1,crash"}
        self.wine.start(self.installed_exe(), env=env)
        self.assertTrue(wait_until(lambda: len(self.page_pids()) == 1 and self.backdrops(), 30),
                        f"no crash; a login process with its backdrop: {self.wine.program_pids()}")
        (ping,) = self.publisher.wait_requests("/active.htm")
        self.assertEqual(urllib.parse.urlsplit(ping["request_line"].split()[1]).hostname, "client.vexatarn.com")
        lines = [r["request_line"] for r in self.publisher.requests()]
        hosts = {urllib.parse.urlsplit(l.split()[1]).hostname for l in lines}
        self.assertLessEqual(hosts, {"client.vexatarn.com", "www.vexatarn.com", "www.vexagame.com"},
                             f"every request names one of the publisher's own hosts: {lines}")
        self.assertEqual(self.wine.run(PAGE_AUTOMATE, ["login", loadgame_url("S1服-a-b", self.game_url(1)), "1500"]),
                         1, "the login page refuses the automation request")
        self.assertEqual(self.pages(), {})


if __name__ == "__main__":
    main()
