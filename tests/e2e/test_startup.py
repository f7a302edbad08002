"""Start-up routing of the real executable: where it lies and what its command line says
decide whether it installs, launches or updates, which counters rise and which pings go out."""
import glob
import os

from harness import E2ECase, main, wait_until

INSTALL_PING = "/install.htm"
ACTIVE_PING = "/active.htm"


class StartupRouting(E2ECase):
    def launch_installed(self, exe, args=()):
        """Starts a launching copy, waits for its activation to be counted and its ping to
        arrive (the ping follows the count), then ends it (the main window would stay open)."""
        before = int(self.statistics().get("game", "0"))
        pings = len(self.publisher.requests(ACTIVE_PING))
        self.wine.start(exe, args)
        counted = wait_until(lambda: int(self.statistics().get("game", "0")) > before, 60)
        pinged = wait_until(lambda: len(self.publisher.requests(ACTIVE_PING)) > pings, 30)
        self.wine.kill_all()
        return counted and pinged

    def test_a_copy_outside_the_install_folder_installs(self):
        os.makedirs(self.wine.install_dir, exist_ok=True)
        self.assertEqual(self.wine.run(self.outside_exe()), 0)
        self.assertEqual(self.statistics().get("inst"), "1")
        values = self.wine.reg_values()
        self.assertIsNotNone(values, "the install chooses its update-free days")
        kind, data = values["DisableDays"]
        self.assertEqual(kind, "REG_BINARY")
        days = bytes.fromhex(data)
        self.assertEqual(len(days), 4)
        self.assertTrue(all(d < 7 for d in days[:3]) and days[3] == 0, data)
        self.assertEqual(self.counts(INSTALL_PING), [1])
        ping = self.publisher.requests(INSTALL_PING)[0]
        self.assertEqual(ping["query"], "tag=tnvexa&ver=3.0.0.1&count=1")

    def test_the_installed_copy_and_one_in_a_subfolder_launch(self):
        for exe in (self.installed_exe(), self.installed_exe("sub")):
            self.assertTrue(self.launch_installed(exe), exe)
        stats = self.statistics()
        self.assertEqual(stats.get("game"), "2")
        self.assertNotIn("inst", stats)
        self.assertEqual(self.counts(ACTIVE_PING), [1, 2])
        self.assertEqual(self.publisher.requests(ACTIVE_PING)[0]["query"], "tag=tnvexa&ver=3.0.0.1&count=1")
        self.assertEqual(self.publisher.requests(INSTALL_PING), [])

    def test_counters_continue_over_repeated_starts(self):
        exe = self.installed_exe()
        for _ in range(3):
            self.assertTrue(self.launch_installed(exe, ["/TnVexaD"]))
        self.assertEqual(self.statistics().get("game"), "3")
        self.assertEqual(self.counts(ACTIVE_PING), [1, 2, 3])

    def test_update_option_is_matched_whole_and_without_case(self):
        exe = self.outside_exe()
        os.makedirs(self.wine.install_dir, exist_ok=True)
        # "/update2" is no option: the copy lies outside the install folder, so it installs.
        self.assertEqual(self.wine.run(exe, ["/update2"]), 0)
        self.assertEqual(self.statistics().get("inst"), "1")
        # The installed copy that the install started counts its launch; it is ended before going on.
        self.assertTrue(wait_until(lambda: self.statistics().get("game") == "1", 60))
        self.wine.kill_all()
        # "/UPDATE" is the update option: no install, no counter; it asks for the configuration.
        self.wine.start(exe, ["/UPDATE"])
        self.publisher.wait_requests("/update/ConfigTnVexa.htm", 1, timeout=20)
        self.wine.kill_all()
        self.assertEqual(self.statistics().get("inst"), "1")
        self.assertEqual(self.statistics().get("game"), "1")
        self.assertEqual(len(self.publisher.requests(INSTALL_PING)), 1)
        self.assertEqual(len(self.publisher.requests("/update/ConfigTnVexa.htm")), 1)

    def test_channel_launch_counts_its_own_counter(self):
        os.makedirs(self.wine.install_dir, exist_ok=True)
        self.wine.run(self.outside_exe(), ["/lumod"], timeout=60)
        self.assertEqual(self.statistics().get("vexa"), "1")
        self.assertEqual(self.publisher.requests(ACTIVE_PING)[0]["query"], "tag=weblumo&ver=3.0.0.1&count=1")

    def test_a_page_process_without_a_live_parent_ends_by_itself(self):
        exe = self.installed_exe()
        for args in (["/newgm"], ["/newgm", "/12345678901234567890", "/1"], ["/gmhall"]):
            self.assertEqual(self.wine.run(exe, args, timeout=30), 0, args)


class CrashDump(E2ECase):
    def test_a_crash_dump_goes_beside_the_executable_or_for_a_page_into_the_players_folder(self):
        exe = self.installed_exe()
        beside = os.path.join(os.path.dirname(exe), "TnVexa.dmp")
        local = [p for p in glob.glob(os.path.join(self.wine.drive_c, "users", "*", "AppData", "Local"))
                 if os.sep + "Public" + os.sep not in p]
        players = os.path.join(local[0], "Vexa", "GameLogin", "TnVexa.dmp")
        self.set_automation("crash")
        for args, dump, other in (([], beside, players), (["/newgm", "/1", "/0"], players, beside)):
            with self.subTest(args):
                self.wine.run(exe, args, timeout=60)
                self.assertTrue(wait_until(lambda: os.path.exists(dump) and os.path.getsize(dump) > 0, 10))
                with open(dump, "rb") as f:
                    self.assertEqual(f.read(4), b"MDMP")
                self.assertFalse(os.path.exists(other))
                os.unlink(dump)
        # The crash came first thing: nothing was counted.
        self.assertEqual(self.statistics(), {})

if __name__ == "__main__":
    main()
