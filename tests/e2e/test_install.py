"""Install and uninstall of the real executable: a copy started outside the install folder
installs itself (copy, shortcuts, installed-programs entry, the installed copy started, the
install counted and pinged); "/uninst" asks first and, answered yes, removes the settings key,
the shortcuts and the entry, pings the uninstall and leaves a script that deletes the
executable (and the folder only when nothing else was in it) once the process has ended."""
import filecmp
import os
import re
import shutil
import tempfile

from harness import ENTRY_KEY, EXE, NO_SWITCH_EXE, TEST_KEY, WIN_TEST_DIR, E2ECase, Wine, main, wait_until
from test_road import POST_MSG, Window

INSTALL_PING = "/install.htm"
UNINSTALL_PING = "/uninstall.htm"
ACTIVATION_PING = "/active.htm"
YES, NO = 5000, 5001  # the message box's first and second button
WM_COMMAND = 0x111


class InstallAndUninstall(E2ECase):
    def setUp(self):
        super().setUp()
        self.links = self.shortcuts()
        self.menu = os.path.dirname(self.links[-1])

    # Outside views -----------------------------------------------------------------------------
    def entry(self):
        """The installed-programs entry's values as regedit exports them (names and data as text)."""
        path = os.path.join(self.tmp, "entry.reg")
        if os.path.exists(path):
            os.unlink(path)
        rc, _ = self.wine.tool("reg", "export", ENTRY_KEY, Wine.windows(path), "/y")
        if rc != 0 or not os.path.exists(path):
            return None
        with open(path, encoding="utf-16") as f:
            lines = f.read().splitlines()
        values = {}
        for line in lines:
            name, sep, data = line.partition("=")
            if sep and name.startswith('"'):
                # Strings are quoted with their backslashes and quotation marks escaped.
                values[name.strip('"')] = re.sub(r"\\(.)", r"\1", data[1:-1]) if data.startswith('"') else data
        return values

    def message_boxes(self):
        fd, path = tempfile.mkstemp(dir=self.tmp, suffix=".txt")
        os.close(fd)
        self.wine.run(POST_MSG, ["list", Wine.windows(path)], timeout=30)
        with open(path, encoding="utf-8", errors="replace") as f:
            found = [Window(l.rstrip("\n")) for l in f if l.strip()]
        os.unlink(path)
        return [w for w in found if w.role == "msgbox" and w.visible]

    def answer(self, button, not_this=None):
        """Waits for a message box (other than the one given) and presses a button; answers it.
        A box that is gone before the press (one of a process that is ending) is passed over."""
        def press():
            boxes = [b for b in self.message_boxes() if b.hwnd != not_this]
            posted = boxes and self.wine.run(POST_MSG, ["post", str(boxes[0].hwnd), str(WM_COMMAND), str(button),
                                                        "0"]) == 0
            return boxes[0].hwnd if posted else None
        hwnd = wait_until(press, 30)
        self.assertTrue(hwnd, "a message box appears and takes the answer")
        return hwnd

    def installed_copy_running(self):
        def running():
            for pid in self.wine.program_pids():
                try:
                    with open(f"/proc/{pid}/cmdline", "rb") as f:
                        if b"ProgramData" in f.read():
                            return True
                except OSError:
                    pass
            return False
        return wait_until(running, 30)

    def install(self, exe=None):
        activations = len(self.publisher.requests(ACTIVATION_PING))
        self.assertEqual(self.wine.run(exe or self.outside_exe()), 0)
        self.assertTrue(self.installed_copy_running(), "the installed copy is started")
        # Its launch count is written before its ping leaves: killed earlier, it could be cut off
        # in the middle of rewriting Statistic.ini.
        self.assertTrue(wait_until(lambda: len(self.publisher.requests(ACTIVATION_PING)) > activations, 30),
                        "the installed copy counts its launch")
        self.wine.kill_all()

    def uninstall(self, *answers):
        process = self.wine.start(os.path.join(self.wine.install_dir, "TnVexa.exe"), ["/uninst"])
        box = None
        for button in answers:
            box = self.answer(button, box)
        process.wait(60)

    # Scenarios ---------------------------------------------------------------------------------
    def test_a_start_outside_installs_and_a_second_install_continues_the_counters(self):
        self.install()
        installed = os.path.join(self.wine.install_dir, "TnVexa.exe")
        self.assertTrue(filecmp.cmp(installed, EXE, shallow=False))
        for link in self.links:
            self.assertTrue(os.path.getsize(link) > 0, link)
        windows_exe = self.wine.install_dir_win + "\\TnVexa.exe"
        self.assertEqual(self.entry(), {"DisplayName": "VexaTarn微端", "DisplayVersion": "3.0.0.1",
                                        "DisplayIcon": windows_exe, "UninstallString": f'"{windows_exe}" /uninst',
                                        "NoModify": "dword:00000001", "NoRepair": "dword:00000001"})
        self.assertEqual(self.statistics().get("inst"), "1")
        self.assertEqual(self.counts(INSTALL_PING), [1])

        # Installing over an installed copy replaces it and counts on from the stored value.
        with open(installed, "wb") as f:
            f.write(b"an older copy")
        with open(os.path.join(self.wine.install_dir, "Statistic.ini"), "w") as f:
            f.write("[TnVexa]\r\nInst=3\r\n")
        self.install()
        self.assertTrue(filecmp.cmp(installed, EXE, shallow=False))
        self.assertEqual(self.statistics().get("inst"), "4")
        self.assertEqual(self.counts(INSTALL_PING), [1, 4])

    def test_a_start_from_a_sibling_folder_named_like_the_install_folder_installs(self):
        self.install(self.place_exe(self.wine.install_dir + "2"))
        self.assertTrue(filecmp.cmp(os.path.join(self.wine.install_dir, "TnVexa.exe"), EXE, shallow=False))
        self.assertEqual(self.counts(INSTALL_PING), [1])

    def test_libraries_planted_beside_the_downloaded_program_are_not_loaded(self):
        # Wine prefers its own libraries; told to prefer those beside the executable, as Windows
        # does for any library that is not a known system one, it shows what the program loads.
        exe = self.place_exe(os.path.join(self.wine.drive_c, "users", "Public", "Downloads", "planted"))
        folder = os.path.dirname(exe)
        self.addCleanup(shutil.rmtree, folder, True)
        # Not "version": Wine's common controls import it themselves, before the program's first line.
        names = [n for n in os.environ["TNVEXA_DELAY_LOAD_LIBS"].split(",") if n != "version"] + ["dbghelp"]
        for name in names:
            shutil.copyfile(os.path.join(WIN_TEST_DIR, "planted.dll"), os.path.join(folder, name + ".dll"))
        self.assertEqual(self.wine.run(exe, env={"WINEDLLOVERRIDES": ",".join(names) + "=n,b"}), 0)
        self.assertTrue(self.installed_copy_running(), "the installed copy is started")
        self.assertEqual([n for n in os.listdir(folder) if n.endswith(".loaded")], [])

    def test_a_build_for_players_obeys_no_test_switch(self):
        # "crash" would end a test build at its first line (CrashDump); this one asks its question.
        self.set_automation("crash")
        os.makedirs(self.wine.install_dir, exist_ok=True)
        exe = shutil.copy(NO_SWITCH_EXE, os.path.join(self.wine.install_dir, "TnVexa.exe"))
        process = self.wine.start(exe, ["/uninst"])
        self.answer(NO)
        process.wait(60)

    def test_uninstall_answered_no_changes_nothing(self):
        self.install()
        before = (self.wine.reg_values(), self.entry(), self.statistics(), sorted(os.listdir(self.wine.install_dir)))
        self.uninstall(NO)
        self.assertEqual((self.wine.reg_values(), self.entry(), self.statistics(),
                          sorted(os.listdir(self.wine.install_dir))), before)
        self.assertTrue(all(os.path.exists(link) for link in self.links))
        self.assertEqual(self.publisher.requests(UNINSTALL_PING), [])

    def test_uninstall_answered_yes_removes_every_trace_but_the_statistics(self):
        self.install()
        self.uninstall(YES, YES)  # the question, then the closing notice
        self.assertIsNone(self.wine.reg_values())
        self.assertIsNone(self.entry())
        self.assertFalse(any(os.path.exists(link) for link in self.links))
        self.assertFalse(os.path.exists(self.menu))
        self.assertEqual(self.counts(UNINSTALL_PING), [1])
        self.assertEqual(self.publisher.requests(UNINSTALL_PING)[0]["query"], "tag=tnvexa&ver=3.0.0.1&count=1")
        self.assertIn("Publisher", self.wine.reg_values(TEST_KEY) or {}, "the test switches' key is a sibling")
        # Once the process has ended the script deletes the executable; Statistic.ini keeps the folder.
        exe = os.path.join(self.wine.install_dir, "TnVexa.exe")
        self.assertTrue(wait_until(lambda: not os.path.exists(exe), 30), os.listdir(self.wine.install_dir))
        self.assertEqual(os.listdir(self.wine.install_dir), ["Statistic.ini"])
        self.assertEqual(self.statistics().get("uninst"), "1")

    def test_uninstalling_the_only_file_of_the_install_folder_removes_the_folder(self):
        self.installed_exe()
        self.uninstall(YES, YES)
        self.assertTrue(wait_until(lambda: not os.path.exists(self.wine.install_dir), 30),
                        os.listdir(self.wine.install_dir) if os.path.exists(self.wine.install_dir) else None)
        self.assertEqual(self.counts(UNINSTALL_PING), [1])


if __name__ == "__main__":
    main()
