"""The hotkeys, the menus and the settings dialog of the real executable, with keys and clicks sent
to the X server (so that keys pass the program's desktop-wide keyboard hook as a player's do):
the boss and sound keys with and without a tab, the system and tray menus with the boss key read
from the settings file, exit and update from the menus, and a settings change made in one running
instance that reaches another one and its pages. A small key-target program holds the focus when
a key must come from another program."""
import hashlib
import os
import subprocess

from harness import EXE, Screen, Wine, main, wait_until
from test_road import POST_MSG, WIN_TEST_DIR, Road, loadgame_url

KEY_TARGET = os.path.join(WIN_TEST_DIR, "key_target.exe")
PAGE_AUTOMATE = os.path.join(WIN_TEST_DIR, "page_automate.exe")
WM_COMMAND = 0x111
WM_TRAYNOTIFY = 0x401
WM_RBUTTONUP = 0x205
AUTOMATION_QUERY = 0x8058
ASK_MUTE, ASK_KEYDOWNS, ASK_HOTKEY = 0, 1, 2
VK_F10 = 0x79
SYSTEM_BUTTON_RIGHT, SYSTEM_BUTTON_WIDTH = 185, 44  # button 1003 at (client width - 185, 0)
HIDE_BUTTON_RIGHT = 114  # button 1001 at (client width - 114, 0), 27 x 27
CONFIG = "/update/ConfigTnVexa.htm"
BOSS_EDIT = 1007


class Keys(Road):
    # Helpers ----------------------------------------------------------------------------------
    def ask_page(self, page, question, argument=0):
        """The page process's answer to an automation question (a small number)."""
        return self.wine.run(POST_MSG, ["send", str(page), str(AUTOMATION_QUERY), str(question), str(argument)])

    def start_key_target(self):
        proc = self.wine.start(KEY_TARGET)
        self.addCleanup(proc.kill)
        target = wait_until(lambda: [w for w in self.windows() if w.cls == "TnVexaKeyTarget" and w.visible], 30)
        self.assertTrue(target, f"the key target shows its window (exit code {proc.poll()}): {self.windows()}")
        t = target[0]
        xids = wait_until(lambda: [x for x in Screen.find("TnVexa key target") if (lambda g: (
            g.get("X"), g.get("Y"), g.get("WIDTH"), g.get("HEIGHT")) == (t.left, t.top, t.width, t.height))(
                Screen.geometry(x))], 10)
        self.assertTrue(xids, "the key target has an X window")
        self.key_target = xids[0]

    def target_state(self):
        """(active, [virtual keys received]) of the key target, from its title."""
        texts = [w.text for w in self.windows() if w.text.startswith("TnVexa key target")]
        if not texts:
            return False, []
        head, _, keys = texts[0].partition(":")
        return "(active)" in head, keys.split()

    def target_keys(self):
        return self.target_state()[1]

    def keys_at_target(self, *keys):
        """Types keys into the key target, made the foreground window by a click first: Wine sends
        keys to its foreground window whatever the X focus is."""
        g = Screen.geometry(self.key_target)
        for _ in range(3):
            # A window the program raised may cover it on the X side: the click must land on it.
            subprocess.run(["xdotool", "windowraise", str(self.key_target)], timeout=10)
            subprocess.run(["xdotool", "mousemove", str(g["X"] + g["WIDTH"] // 2), str(g["Y"] + g["HEIGHT"] // 2)],
                           timeout=10)
            wait_until(lambda: self.pointer_window() == self.key_target, 3)
            subprocess.run(["xdotool", "click", "1"], timeout=10)
            if wait_until(lambda: self.target_state()[0], 3):
                break
        self.assertTrue(self.target_state()[0], "the key target is the active window")
        subprocess.run(["xdotool", "windowfocus", "--sync", str(self.key_target)], timeout=10)
        subprocess.run(["xdotool", "key", *keys], timeout=10)

    def main_windows(self):
        return [w for w in self.windows() if w.role == "main"]

    def main_visible(self):
        found = self.main_windows()
        return found[0].visible if len(found) == 1 else None

    def settings_file(self):
        return os.path.join(self.wine.install_dir, "Statistic.ini")

    def store(self, name, value):
        """Sets one key of the settings file as another program would (the INI is UTF-16 or ANSI)."""
        path = self.settings_file()
        raw = open(path, "rb").read() if os.path.exists(path) else b""
        lines = [l for l in raw.decode("utf-8", "replace").splitlines() if l and not l.startswith(name + "=")]
        if "[TnVexa]" not in lines:
            lines.insert(0, "[TnVexa]")
        lines.insert(lines.index("[TnVexa]") + 1, f"{name}={value}")
        with open(path, "w", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")

    @staticmethod
    def pointer_window():
        r = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True, text=True, timeout=10)
        values = dict(line.split("=", 1) for line in r.stdout.split() if "=" in line)
        return int(values.get("WINDOW", "0") or 0)

    def open_menu(self, how):
        """Opens the system menu (a real click on "系统") or the tray menu (a right click on the tray
        icon, or its notification where no tray shows it); answers the menu window once it lists
        its items."""
        main_wnd = self.main_window()
        if how == "system":
            x = main_wnd.left + main_wnd.width - SYSTEM_BUTTON_RIGHT + SYSTEM_BUTTON_WIDTH // 2
            subprocess.run(["xdotool", "mousemove", str(x), str(main_wnd.top + 14), "click", "1"], timeout=10)
        else:
            trays = [w for w in self.windows() if w.cls == "__winex11_standalone_tray" and w.visible]
            if trays:
                # Wine shows the icons in a small window of its own (caption band above, icon row
                # below), here under the maximised main window: raised, its first icon is clicked.
                t = trays[0]
                x, y = t.left + 12, t.top + t.height - 12
                for _ in range(3):
                    for xid in Screen.find("Wine System Tray", only_visible=True):
                        subprocess.run(["xdotool", "windowraise", str(xid)], timeout=10)
                    subprocess.run(["xdotool", "mousemove", str(x), str(y)], timeout=10)
                    wait_until(lambda: self.pointer_window() in Screen.find("Wine System Tray", only_visible=True), 3)
                    subprocess.run(["xdotool", "click", "3"], timeout=10)
                    if wait_until(lambda: [w for w in self.windows() if w.cls == "#32768" and w.visible], 3):
                        break
            else:
                self.post(main_wnd.hwnd, WM_TRAYNOTIFY, 1, WM_RBUTTONUP)
        menus = wait_until(lambda: [w for w in self.windows() if w.cls == "#32768" and w.visible and w.text], 10)
        self.assertTrue(menus, f"the {how} menu opens: {self.windows()}")
        return menus[0]

    # Scenarios --------------------------------------------------------------------------------
    def test_boss_and_sound_keys(self):
        self.start_key_target()
        main_wnd = self.start_program()
        # Before the first tab both keys do nothing, though they reach the focused program.
        self.keys_at_target("F10", "ctrl+q")
        self.assertTrue(wait_until(lambda: self.target_keys().count("81") == 1, 10), self.target_keys())
        self.assertEqual(self.target_keys().count("121"), 1)
        self.assertTrue(self.main_visible())

        page = self.log_in_as_tab("S1服-abc-player01", 1, [])
        self.assertTrue(wait_until(lambda: self.ask_page(page, ASK_MUTE) == 0, 10), "the page is told: not muted")
        main_wnd = self.main_window()
        # A click into the window's empty content area takes the keyboard back from the key target.
        subprocess.run(["xdotool", "mousemove", str(main_wnd.left + main_wnd.width // 2),
                        str(main_wnd.top + main_wnd.height // 2), "click", "1"], timeout=10)
        self.assertTrue(wait_until(lambda: not self.target_state()[0], 5), "the main window is active")
        self.key(main_wnd, "ctrl+Tab")  # shows the selected page
        self.assertTrue(self.wait_visible_page(page))

        # F10 with the game focused: the window and its page go, and the page has its F10 too.
        page_f10 = self.ask_page(page, ASK_KEYDOWNS, VK_F10)
        self.key(main_wnd, "F10")
        self.assertTrue(wait_until(lambda: self.main_visible() is False, 10), "F10 hides the main window")
        self.assertFalse(self.pages()[page].visible)
        self.assertTrue(wait_until(lambda: self.ask_page(page, ASK_KEYDOWNS, VK_F10) > page_f10, 5),
                        "the page receives F10 as well")
        # F10 typed into another program: the window comes back with its page, and goes again; the
        # program that has the focus gets its F10 as well.
        self.keys_at_target("F10")
        self.assertTrue(wait_until(lambda: self.main_visible() is True, 10), "F10 restores the main window")
        self.assertTrue(wait_until(lambda: self.visible_page() == page, 10))
        target_f10 = self.target_keys().count("121")
        self.keys_at_target("F10")
        self.assertTrue(wait_until(lambda: self.main_visible() is False, 10), "F10 hides it again")
        self.assertTrue(wait_until(lambda: self.target_keys().count("121") == target_f10 + 1, 5),
                        "the other program gets its F10")

        # Ctrl+Q mutes and unmutes every page within the mute broadcast's period.
        for muted in (1, 0):
            self.keys_at_target("ctrl+q")
            seen = []  # what the page answered, for the failure's message
            ok = wait_until(lambda: seen.append(self.ask_page(page, ASK_MUTE)) or seen[-1] == muted, 10)
            self.assertTrue(ok, f"mute state {muted}: the page answered {seen}, the key target got {self.target_keys()}")

    def test_menus_show_the_stored_boss_key_and_exit_quits_without_asking(self):
        self.start_program()
        self.log_in_as_tab("S1服-abc-player01", 1, [])
        # Read afresh each time a menu opens: a value written while the program runs is shown.
        self.store("ShortKey", "2,118")
        menu = self.open_menu("system")
        self.assertEqual(menu.text.split("|"),
                         ["刷新 (F5)", "隐藏/恢复(Ctrl  +  F7)", "清除缓存", "更新", "设置...", "版本号: 3.0.0.1"])
        self.assertEqual((menu.left, menu.top), (self.main_window().width - SYSTEM_BUTTON_RIGHT, 30),
                         "below the button, 2 pixels apart")
        Screen.shot("keys_system_menu")
        subprocess.run(["xdotool", "key", "Escape"], timeout=10)
        self.assertTrue(wait_until(lambda: not [w for w in self.windows() if w.cls == "#32768" and w.visible], 10))

        # The hide button sends the window to the tray, where its icon's menu is opened.
        main_wnd = self.main_window()
        subprocess.run(["xdotool", "mousemove", str(main_wnd.left + main_wnd.width - HIDE_BUTTON_RIGHT + 13),
                        str(main_wnd.top + 13), "click", "1"], timeout=10)
        self.assertTrue(wait_until(lambda: self.main_visible() is False, 10), "the hide button hides the window")
        self.store("ShortKey", "0,0")
        menu = self.open_menu("tray")
        self.assertEqual(menu.text.split("|"),
                         ["刷新 (F5)", "隐藏/恢复(无)", "清除缓存", "更新", "设置...", "退出"])
        # "退出", the last item, quits at once: no question, every process ends.
        subprocess.run(["xdotool", "mousemove", str(menu.left + menu.width // 2), str(menu.top + menu.height - 10),
                        "click", "1"], timeout=10)
        self.assertTrue(wait_until(lambda: not self.wine.program_pids(), 15),
                        f"the program ends without asking: {self.message_boxes()}")

    def test_update_with_the_running_release_changes_nothing(self):
        with open(EXE, "rb") as f:
            key = hashlib.md5(f.read()).hexdigest()[:28] + "3001"
        self.publisher.set_routes({CONFIG: {"body": f"[VerKey]\r\nTnVexa={key}\r\nUpdAddr={self.publisher.url}/x\r\n"}})
        main_wnd = self.start_program()
        self.log_in_as_tab("S1服-abc-player01", 1, [])
        pids = sorted(self.wine.program_pids())
        self.open_menu("system")
        subprocess.run(["xdotool", "key", "Down", "Down", "Down", "Down", "Return"], timeout=10)  # "更新"
        box = self.wait_box(main_wnd.pid)
        self.assertEqual(len(self.publisher.requests(CONFIG)), 1)
        self.assertEqual(sorted(self.wine.program_pids()), pids, "no updater is started")
        self.assertFalse(os.path.exists(os.path.join(self.wine.install_dir, "NewTnVexa.exe")))
        self.answer(box)
        self.assertTrue(wait_until(lambda: not self.message_boxes(), 10))
        self.assertTrue(self.main_visible())
        self.assertEqual(sorted(self.wine.program_pids()), pids)

    def test_a_settings_change_reaches_every_running_instance_and_its_pages(self):
        self.start_key_target()
        exe = self.installed_exe()
        self.set_automation("1")
        for _ in range(2):
            self.wine.start(exe)
        self.assertTrue(wait_until(lambda: len(self.page_pids()) == 2 and len(self.backdrops()) == 2, 40),
                        f"two instances at their logins: {self.windows()}")
        # Both login pages take the same login: one tab in each main window.
        url = loadgame_url("S1服-abc-player01", self.game_url(1))
        self.assertEqual(self.wine.run(PAGE_AUTOMATE, ["login", url, "20000"], timeout=40), 0)
        self.assertTrue(wait_until(lambda: len(self.pages()) == 2, 20), f"{self.windows()}")
        pages = list(self.pages())

        # The settings dialog of the instance on top, from its system menu: F7 becomes the boss key.
        self.open_menu("system")
        subprocess.run(["xdotool", "key", "Down", "Down", "Down", "Down", "Down", "Return"], timeout=10)  # "设置..."
        dialogs = wait_until(lambda: [w for w in self.windows() if w.text == "设置" and w.visible], 10)
        self.assertTrue(dialogs, "the settings dialog opens")
        xid = Screen.wait_window("设置", 10)[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", str(xid)], timeout=10)
        subprocess.run(["xdotool", "key", "F7"], timeout=10)
        self.assertTrue(wait_until(lambda: self.control_text(dialogs[0].hwnd, BOSS_EDIT) == "F7", 10),
                        "the boss key's edit takes the key typed")
        Screen.shot("keys_settings_dialog", xid)
        self.post(dialogs[0].hwnd, WM_COMMAND, 1, 0)  # "确定"
        self.assertTrue(wait_until(lambda: self.wine.read_ini(self.settings_file()).get("shortkey") == "0,118", 10))

        # Every page rereads its keys; F10 no longer hides anything, F7 hides both windows.
        for page in pages:
            self.assertTrue(wait_until(lambda: self.ask_page(page, ASK_HOTKEY, 0) == 118, 10), f"page {page}")
        self.keys_at_target("F10")
        self.assertTrue(wait_until(lambda: self.target_keys().count("121") == 1, 10))
        self.assertTrue(all(w.visible for w in self.main_windows()))
        self.keys_at_target("F7")
        self.assertTrue(wait_until(lambda: not any(w.visible for w in self.main_windows()), 10),
                        f"F7 hides both instances: {self.main_windows()}")

    def control_text(self, dialog, control):
        path = os.path.join(self.tmp, "control.txt")
        if self.wine.run(POST_MSG, ["text", str(dialog), str(control), Wine.windows(path)]) != 0:
            return None
        with open(path, encoding="utf-8") as f:
            return f.read()


if __name__ == "__main__":
    main()
