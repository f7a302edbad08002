"""The shipped executable itself: a static 64-bit GUI program that loads on a bare Windows,
asks for administrator rights and carries its version."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

from harness import EXE

# Known system libraries of Windows 7 and 10, loaded from the system folder whatever the search order
# (and the common controls, which the manifest takes from the side-by-side store). Any other
# import would first be looked for beside the executable: it has to be imported late.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
    "comctl32.dll", "shlwapi.dll", "msvcrt.dll", "comdlg32.dll", "imm32.dll",
}


class Executable(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.headers = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", EXE], capture_output=True, text=True,
                                     timeout=60).stdout
        with open(EXE, "rb") as f:
            cls.data = f.read()

    def test_is_a_64_bit_gui_program(self):
        self.assertRegex(self.headers, r"Magic\s+020b\s+\(PE32\+\)")
        self.assertRegex(self.headers, r"Subsystem\s+00000002\s+\(Windows GUI\)")

    def test_imports_only_system_dlls(self):
        dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", self.headers)}
        self.assertTrue(dlls)
        self.assertEqual(dlls - SYSTEM_DLLS, set())

    def test_manifest_asks_for_administrator_and_common_controls_6(self):
        self.assertIn(b'level="requireAdministrator"', self.data)
        self.assertIn(b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"', self.data)

    def test_version_resource_says_3_0_0_1(self):
        self.assertIn("3.0.0.1".encode("utf-16-le"), self.data)
        self.assertIn(b'name="Vexa.TnVexa" version="3.0.0.1"', self.data)  # the manifest's identity
        # VS_FIXEDFILEINFO: signature, struct version, then file version 3.0 / 0.1.
        fixed = b"\xbd\x04\xef\xfe\x00\x00\x01\x00" + (3 << 16).to_bytes(4, "little") + (1).to_bytes(4, "little")
        self.assertIn(fixed, self.data)

    def test_what_a_player_downloads_stays_below_2_mb(self):
        # The release preset links the test build's objects with "-s": a stripped copy of this
        # executable is, but for its time stamp, the release executable.
        with tempfile.TemporaryDirectory() as tmp:
            copy = os.path.join(tmp, "TnVexa.exe")
            shutil.copyfile(EXE, copy)
            subprocess.run(["x86_64-w64-mingw32-strip", copy], check=True, timeout=60)
            self.assertLess(os.path.getsize(copy), 2 * 1024 * 1024)


if __name__ == "__main__":
    unittest.main(verbosity=2)
