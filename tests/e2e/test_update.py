"""Self-update of the real executable against the stand-in publisher: which starts ask for the
configuration, when the new executable is downloaded, verified and swapped in, and what a
failed or refused update leaves behind."""
import datetime
import hashlib
import os
import shutil
import struct
import subprocess

from harness import EXE, E2ECase, main, wait_until

CONFIG = "/update/ConfigTnVexa.htm"
DOWNLOAD = "/dl/TnVexa.exe"
VERSION_DIGITS = "3001"


def release_key(data: bytes) -> str:
    return hashlib.md5(data).hexdigest()[:28] + VERSION_DIGITS


def older_release(data: bytes) -> bytes:
    """The same program with its version resource saying 2.9.0.0: a replayed older release."""
    # VS_FIXEDFILEINFO after the resource's key: signature, struct version, file version.
    at = data.index(struct.pack("<I", 0xFEEF04BD), data.index("VS_VERSION_INFO".encode("utf-16-le")))
    return data[:at + 8] + struct.pack("<II", 2 << 16 | 9, 0) + data[at + 16:]


def utc_weekday():
    return datetime.datetime.now(datetime.timezone.utc).isoweekday() % 7  # 0 = Sunday


class SelfUpdate(E2ECase):
    def setUp(self):
        super().setUp()
        with open(EXE, "rb") as f:
            self.old = f.read()
        # A second release: the same program with bytes after its image, so another digest.
        self.new = self.old + b"\0second release"
        self.release_file = os.path.join(self.tmp, "release.exe")
        with open(self.release_file, "wb") as f:
            f.write(self.new)
        self.exe = self.installed_exe()

    def publish(self, key, address=None, download=None):
        address = address or self.publisher.url + DOWNLOAD
        config = f"[VerKey]\r\nTnVexa={key}\r\nUpdAddr={address}\r\n"
        routes = {CONFIG: {"body": config}, DOWNLOAD: download or {"file": self.release_file}}
        self.publisher.set_routes(routes)

    def exe_bytes(self):
        with open(self.exe, "rb") as f:
            return f.read()

    def folder_file(self, name):
        return os.path.join(os.path.dirname(self.exe), name)

    def upd_time(self):
        values = self.wine.reg_values() or {}
        if "UpdTime" not in values:
            return None
        data = bytes.fromhex(values["UpdTime"][1])
        year, month, _, day = (int.from_bytes(data[i:i + 2], "little") for i in range(0, 8, 2))
        return datetime.date(year, month, day)

    def pending_deletes(self):
        rc, out = self.wine.tool("reg", "query", r"HKLM\System\CurrentControlSet\Control\Session Manager",
                                 "/v", "PendingFileRenameOperations")
        return out if rc == 0 else ""

    def game_count(self):
        return int(self.statistics().get("game", "0"))

    def assert_swapped_and_relaunched(self):
        self.assertEqual(len(self.publisher.requests(DOWNLOAD)), 1,
                         f"{self.publisher.requests()} {os.listdir(os.path.dirname(self.exe))}")
        self.assertTrue(self.exe_bytes() == self.new, "the new release stands at the old path")
        self.assertTrue(os.path.exists(self.folder_file("OldTnVexa.exe")))
        self.assertFalse(os.path.exists(self.folder_file("NewTnVexa.exe")))
        self.assertEqual(self.upd_time(), datetime.datetime.now(datetime.timezone.utc).date())
        # The relaunch starts without options: an installed launch that counts itself.
        self.assertTrue(wait_until(lambda: self.game_count() == 1, 30), "relaunched copy never counted")

    def launch_goes_on(self, args, stderr=subprocess.DEVNULL):
        """Starts a launch that is expected to go on to the main window: waits until it has
        counted itself (after its update decision) and its activation ping arrived, then ends it.
        Wine writes the program's trace lines to a given stderr."""
        env = None if stderr == subprocess.DEVNULL else {"WINEDEBUG": "+debugstr"}
        self.wine.start(self.exe, args, env, stderr)
        counted = wait_until(lambda: self.game_count() == 1, 60)
        pinged = self.publisher.wait_requests("/active.htm", 1, timeout=30)
        self.wine.kill_all()
        self.assertTrue(counted, "the launch never counted itself")
        self.assertEqual(pinged[0]["query"], "tag=tnvexa&ver=3.0.0.1&count=1")

    def assert_untouched(self):
        self.assertTrue(self.exe_bytes() == self.old, "the executable must not change")
        self.assertFalse(os.path.exists(self.folder_file("OldTnVexa.exe")))
        self.assertIsNone(self.upd_time())

    def test_shortcut_start_with_another_release_downloads_swaps_and_relaunches(self):
        self.publish(release_key(self.new))
        self.assertEqual(self.wine.run(self.exe, ["/TnVexaD"], timeout=90), 0)
        self.assertEqual(len(self.publisher.requests(CONFIG)), 1)
        self.assert_swapped_and_relaunched()
        request = self.publisher.requests(DOWNLOAD)[0]
        self.assertEqual(request["request_line"], f"GET {DOWNLOAD} HTTP/1.1")
        self.assertEqual(dict(request["headers"]).get("User-Agent"), "ZRB")

    def test_an_update_free_weekday_asks_for_nothing(self):
        self.publish(release_key(self.new))
        day = utc_weekday()
        self.wine.reg_set_binary("DisableDays", bytes([day, day, day, 0]))
        self.launch_goes_on(["/TnVexaD"])
        self.assertEqual(self.publisher.requests(CONFIG), [])
        self.assert_untouched()

    def test_the_same_release_changes_nothing(self):
        self.publish(release_key(self.old).upper())  # keys compare without case
        self.launch_goes_on(["/TnVexaD"])
        self.assertEqual(len(self.publisher.requests(CONFIG)), 1)
        self.assertEqual(self.publisher.requests(DOWNLOAD), [])
        self.assert_untouched()

    def test_update_option_downloads_and_swaps_even_the_same_release(self):
        shutil.copyfile(EXE, self.release_file)
        self.new = self.old
        self.publish(release_key(self.old))
        self.assertEqual(self.wine.run(self.exe, ["/update"], timeout=90), 0)
        self.assertEqual(len(self.publisher.requests(CONFIG)), 1)
        self.assert_swapped_and_relaunched()

    def test_an_untrusted_address_is_never_requested(self):
        # Loopback under another name: a request would reach the stand-in and show in its log.
        address = f"http://localhost:{self.publisher.port}{DOWNLOAD}?{self.publisher.host}"
        self.publish(release_key(self.new), address=address)
        self.launch_goes_on(["/TnVexaD"])  # the start goes on as a launch
        self.assertEqual(len(self.publisher.requests(CONFIG)), 1)
        self.assertEqual(self.publisher.requests(DOWNLOAD), [])
        self.assert_untouched()

    def test_a_download_that_is_not_the_published_release_is_not_swapped(self):
        self.publish(release_key(self.new), download={"body": "a complete file, but not the release"})
        self.launch_goes_on(["/TnVexaD"])
        self.assertEqual(len(self.publisher.requests(DOWNLOAD)), 1)
        self.assert_untouched()
        self.assertIn("NewTnVexa.exe", self.pending_deletes(), "the download is scheduled for deletion")

    def test_unsigned_forged_and_older_releases_are_refused(self):
        forger = os.path.join(self.tmp, "forger.pem")
        subprocess.run(["openssl", "ecparam", "-name", "prime256v1", "-genkey", "-noout", "-out", forger], check=True)
        older = os.path.join(self.tmp, "older.exe")
        with open(older, "wb") as f:
            f.write(older_release(self.old))
        refused = f"signature refused: {self.publisher.url}{DOWNLOAD} (error"
        cases = [("unsigned", self.new, {"file": self.release_file, "sign": False}, refused),
                 ("signed by another key", self.new, {"file": self.release_file, "sign_key": forger}, refused),
                 ("older, signed by the publisher", older_release(self.old), {"file": older},
                  "update: release older than this program")]
        for why, data, download, trace in cases:
            with self.subTest(why):
                self.clean_state()
                self.exe = self.installed_exe()
                signatures = len(self.publisher.requests(DOWNLOAD + ".sig"))
                self.publish(release_key(data), download=download)
                with open(os.path.join(self.tmp, "stderr.txt"), "w+", encoding="utf-8", errors="replace") as err:
                    self.launch_goes_on(["/TnVexaD"], err)
                    err.seek(0)
                    self.assertIn(trace, err.read())
                self.assertEqual(len(self.publisher.requests(DOWNLOAD + ".sig")), signatures + 1)
                self.assert_untouched()


if __name__ == "__main__":
    main()
