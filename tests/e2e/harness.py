"""Drives the real TnVexa.exe under Wine and checks it from outside.

A scenario is a unittest.TestCase deriving from E2ECase. Each case gets a fresh stand-in
publisher (its request log and scenario routes), a clean install folder, statistics file and
registry key in the run's Wine prefix, and a kill of every leftover TnVexa process afterwards.
Every wait is bounded; failures print what was seen.

The program's test switches are registry values (TEST_KEY) that every process reads as it
starts: each case begins with "Publisher" naming its stand-in, "TrustOwnUser" (the user stands in
for the administrators as owner of the install folders) and no "Automation";
self.set_automation("1") (or "crash", ...) opens the automation channel for the starts that
follow, and self.wine.reg_delete(TEST_KEY) takes both away.

Environment (set by tools/test.sh and the e2e CMake file): TNVEXA_EXE, TNVEXA_NO_SWITCH_EXE,
TNVEXA_DELAY_LOAD_LIBS, TNVEXA_SOURCE_DIR, TNVEXA_E2E_OUT, WINEPREFIX, DISPLAY.
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

SOURCE_DIR = os.environ.get("TNVEXA_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
EXE = os.environ.get("TNVEXA_EXE", os.path.join(SOURCE_DIR, "build", "win64", "TnVexa.exe"))
# The program linked with its test switches built as for players: it reads none.
NO_SWITCH_EXE = os.environ.get("TNVEXA_NO_SWITCH_EXE", os.path.join(os.path.dirname(EXE), "TnVexaNoTestSwitches.exe"))
OUT_DIR = os.environ.get("TNVEXA_E2E_OUT", os.path.join(SOURCE_DIR, "build", "win64", "e2e"))
PUBLISHER = os.path.join(SOURCE_DIR, "tools", "publisher", "server.py")
REG_KEY = r"HKLM\Software\Vexa\GameLogin\TnVexa"
TEST_KEY = r"HKLM\Software\Vexa\GameLogin\TnVexaTest"
ENTRY_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TnVexa"
WIN_TEST_DIR = os.environ.get("TNVEXA_WIN_TEST_DIR", os.path.join(SOURCE_DIR, "build", "win64", "tests", "win"))
POST_MSG = os.path.join(WIN_TEST_DIR, "post_msg.exe")


def _wine_loader():
    for d in ("/usr/lib/wine", "/usr/lib/x86_64-linux-gnu/wine"):
        if os.path.exists(os.path.join(d, "wine64")):
            return os.path.join(d, "wine64")
    return shutil.which("wine64") or "wine64"


WINE64 = _wine_loader()


def wait_until(predicate, timeout, interval=0.1):
    """Polls predicate until it answers a true value or timeout seconds pass; answers its value."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= end:
            return value
        time.sleep(interval)


class Wine:
    """The run's Wine prefix: paths, processes and registry."""

    def __init__(self):
        self.prefix = os.environ.get("WINEPREFIX") or os.environ.get("TNVEXA_WINEPREFIX")
        if not self.prefix or not os.environ.get("DISPLAY"):
            raise RuntimeError("e2e tests need WINEPREFIX and DISPLAY: run them through tools/test.sh")
        # Shortcuts written by an install must not become menu entries and desktop files of the
        # machine that runs the tests: Wine's menu builder stays off.
        self.env = dict(os.environ, WINEDEBUG=os.environ.get("WINEDEBUG", "-all"), WINEARCH="win64",
                        WINEPREFIX=self.prefix, WINEDLLOVERRIDES="winemenubuilder.exe=d")
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.started = []  # reaped by kill_all

    # Paths -----------------------------------------------------------------------------------
    def unix(self, win_path):
        """C:\\a\\b -> <prefix>/drive_c/a/b (case as given)."""
        assert win_path[1:3] == ":\\", win_path
        return os.path.join(self.drive_c, *win_path[3:].split("\\"))

    @staticmethod
    def windows(unix_path):
        return "Z:" + os.path.abspath(unix_path).replace("/", "\\")

    def dos(self, unix_path):
        """The path as the program sees it when Wine starts it from there: C: inside the prefix's
        drive, Z: elsewhere."""
        rel = os.path.relpath(os.path.abspath(unix_path), self.drive_c)
        if rel == ".." or rel.startswith(".." + os.sep):
            return self.windows(unix_path)
        return "C:\\" + rel.replace("/", "\\")

    @property
    def install_dir(self):
        return os.path.join(self.drive_c, "ProgramData", "Vexa", "GameLogin")

    @property
    def install_dir_win(self):
        return "C:\\ProgramData\\Vexa\\GameLogin"

    # Processes -------------------------------------------------------------------------------
    def start(self, exe_unix, args=(), env=None, stderr=subprocess.DEVNULL):
        e = dict(self.env)
        e.update(env or {})
        p = subprocess.Popen([WINE64, exe_unix, *args], env=e, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                             stderr=stderr, start_new_session=True)
        self.started.append(p)
        return p

    def run(self, exe_unix, args=(), env=None, timeout=60):
        """Runs to the end; answers the exit code (raises on time-out after killing it).

        The code is the one Windows recorded, passed on by post_msg.exe through a file: the Unix
        status of a Wine process is not to be trusted (it once read -9, a SIGKILL, on a loaded
        machine for an install that the program had otherwise finished)."""
        fd, code_file = tempfile.mkstemp(prefix="exit-", suffix=".txt")
        os.close(fd)
        if os.path.abspath(exe_unix) == os.path.abspath(POST_MSG):
            wrapped = ["--code", self.windows(code_file), *args]
        else:
            wrapped = ["--code", self.windows(code_file), "run", self.dos(exe_unix), *args]
        p = self.start(POST_MSG, wrapped, env)
        try:
            status = p.wait(timeout)
        except subprocess.TimeoutExpired:
            self.kill_all()
            p.kill()
            raise AssertionError(f"{exe_unix} {args} did not end within {timeout} s")
        finally:
            with open(code_file, encoding="ascii", errors="replace") as f:
                written = f.read().strip()
            os.unlink(code_file)
        try:
            return int(written)
        except ValueError:
            return status  # the wrapper itself went before writing: its status is all there is

    def tool(self, *args, timeout=60):
        # Output through a file, not a pipe: Wine's helper processes may inherit it and outlive us.
        with tempfile.TemporaryFile() as out:
            r = subprocess.run([WINE64, *args], env=self.env, stdin=subprocess.DEVNULL, stdout=out,
                               stderr=subprocess.DEVNULL, timeout=timeout)
            out.seek(0)
            return r.returncode, out.read().decode("utf-8", "replace")

    def owns(self, pid):
        """Whether a process runs in this run's prefix (other runs may share the machine)."""
        try:
            with open(f"/proc/{pid}/environ", "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            return False
        return ("WINEPREFIX=" + self.prefix).encode() in env

    def program_pids(self, name="TnVexa", page=None):
        """Linux pids of this prefix's running Wine processes whose image name contains name (any
        case); page True or False keeps only the page processes ("/newgm") or only the others."""
        out = subprocess.run(["ps", "-eo", "pid=,args="], capture_output=True, text=True).stdout
        pids = []
        for line in out.splitlines():
            pid, _, cmd = line.strip().partition(" ")
            exe = cmd.split(" ")[0]
            if name.lower() not in exe.lower() or not exe.lower().endswith(".exe"):
                continue
            if page is not None and ("/newgm" in cmd.lower().split()) != page:
                continue
            if self.owns(int(pid)):
                pids.append(int(pid))
        return pids

    def kill_all(self, name="TnVexa"):
        """Kills this prefix's program processes until none is left: a process that one of them
        was starting at the moment of the kill appears only afterwards and would otherwise live
        on into the next step (holding the executable's file, showing its windows)."""
        quiet = [0]  # looks in a row that found none: a child still starting shows its name late

        def none_left():
            pids = self.program_pids(name)
            for pid in pids:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            quiet[0] = 0 if pids else quiet[0] + 1
            return quiet[0] >= 3
        if not wait_until(none_left, 20, interval=0.2):
            raise AssertionError(f"program processes outlive the kill: {self.program_pids(name)}")
        self.started = [p for p in self.started if p.poll() is None]

    # Registry --------------------------------------------------------------------------------
    def reg_values(self, key=REG_KEY):
        """{name: (type, data)} of a key's values, or None when the key does not exist."""
        rc, out = self.tool("reg", "query", key, "/reg:64")
        if rc != 0:
            return None
        values = {}
        for line in out.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
        return values

    def reg_delete(self, key=REG_KEY):
        self.tool("reg", "delete", key, "/f", "/reg:64")

    def reg_set_binary(self, name, data: bytes, key=REG_KEY):
        rc, out = self.tool("reg", "add", key, "/v", name, "/t", "REG_BINARY", "/d", data.hex(), "/f", "/reg:64")
        assert rc == 0, out

    def set_switch(self, name, value):
        """Sets one of the program's test switches (a REG_SZ value of TEST_KEY)."""
        rc, out = self.tool("reg", "add", TEST_KEY, "/v", name, "/t", "REG_SZ", "/d", value, "/f", "/reg:64")
        assert rc == 0, out

    def reg_import(self, lines, workdir):
        """Imports .reg lines ("[key]", "[-key]", '"name"="text"'; keys as HKLM\\... or
        HKCU\\...) in one Wine start, the quickest way to change several keys."""
        def line(l):
            if l.startswith("["):
                l = l.replace("HKLM\\", "HKEY_LOCAL_MACHINE\\", 1).replace("HKCU\\", "HKEY_CURRENT_USER\\", 1)
            return l + "\r\n"
        text = "Windows Registry Editor Version 5.00\r\n\r\n" + "".join(line(l) for l in lines)
        path = os.path.join(workdir, "state.reg")
        with open(path, "wb") as f:
            f.write(b"\xff\xfe" + text.encode("utf-16-le"))
        rc, out = self.tool("regedit", "/S", self.windows(path))
        assert rc == 0, out

    # INI files -------------------------------------------------------------------------------
    @staticmethod
    def read_ini(path, section="TnVexa"):
        """{key: value} of a section (names lower-cased), {} when the file is missing."""
        try:
            with open(path, "rb") as f:
                raw = f.read()
        except OSError:
            return {}
        text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("utf-8", "replace")
        values, current = {}, None
        for line in text.splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                current = line[1:-1].lower()
            elif "=" in line and current == section.lower():
                k, _, v = line.partition("=")
                values[k.strip().lower()] = v.strip()
        return values


class Publisher:
    """The stand-in publisher on 127.0.0.1 with its request log and scenario routes."""

    def __init__(self, workdir):
        self.workdir = workdir
        self.log = os.path.join(workdir, "requests.jsonl")
        self.scenario = os.path.join(workdir, "scenario.json")
        self._scenario_ns = 0
        self.set_routes({})
        port_file = os.path.join(workdir, "port")
        self.proc = subprocess.Popen([sys.executable, PUBLISHER, "--port", "0", "--log", self.log,
                                      "--scenario", self.scenario, "--port-file", port_file],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(lambda: os.path.exists(port_file), 10):
            self.stop()
            raise RuntimeError("the stand-in publisher did not start")
        with open(port_file) as f:
            self.port = int(f.read())
        self.host = f"127.0.0.1:{self.port}"
        self.url = f"http://{self.host}"

    def set_routes(self, routes):
        tmp = self.scenario + ".tmp"
        with open(tmp, "w", encoding="utf-8") as f:
            json.dump({"routes": routes}, f)
        # The server notices a change by modification time: each write gets a later one.
        self._scenario_ns = max(time.time_ns(), self._scenario_ns + 1_000_000)
        os.utime(tmp, ns=(self._scenario_ns, self._scenario_ns))
        os.replace(tmp, self.scenario)

    def requests(self, path=None):
        try:
            with open(self.log, encoding="utf-8") as f:
                lines = f.read().splitlines()
        except OSError:
            return []
        entries = []
        for line in lines:
            try:
                entries.append(json.loads(line))
            except ValueError:
                pass  # the server is still writing this line: it counts on the next look
        return [e for e in entries if path is None or e["path"] == path]

    def wait_requests(self, path, count=1, timeout=20):
        return wait_until(lambda: len(self.requests(path)) >= count and self.requests(path), timeout) or []

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()


class Screen:
    """Windows on the run's display, found and photographed from outside."""

    @staticmethod
    def find(name, only_visible=False):
        args = ["xdotool", "search"] + (["--onlyvisible"] if only_visible else []) + ["--name", name]
        r = subprocess.run(args, capture_output=True, text=True, timeout=10)
        return [int(x) for x in r.stdout.split()]

    @classmethod
    def wait_window(cls, name, timeout=30, only_visible=True):
        return wait_until(lambda: cls.find(name, only_visible), timeout) or []

    @staticmethod
    def geometry(window_id):
        r = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(window_id)], capture_output=True,
                           text=True, timeout=10)
        values = dict(line.split("=", 1) for line in r.stdout.split() if "=" in line)
        return {k: int(v) for k, v in values.items() if v.lstrip("-").isdigit()}

    @staticmethod
    def shot(name, window_id=None, folder=None, settle=5):
        """Saves what the display shows of a window (or of the whole screen) as name.png in folder
        (default OUT_DIR) once two looks in a row agree, within settle seconds: a window may still
        be painting. Answers the path."""
        folder = folder or OUT_DIR
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name + ".png")
        target = str(window_id) if window_id else "root"
        last = [None]

        def settled():
            # Without time chunks, equal pictures are equal files.
            subprocess.run(["import", "-window", target, "-define", "png:exclude-chunks=date,time", path],
                           capture_output=True, timeout=30)
            try:
                with open(path, "rb") as f:
                    data = f.read()
            except OSError:
                data = None
            same, last[0] = data is not None and data == last[0], data
            return same
        wait_until(settled, settle, interval=0.2)
        return path


class E2ECase(unittest.TestCase):
    """Base of every scenario: fresh publisher, clean prefix state, no leftover processes."""

    def setUp(self):
        self.wine = Wine()
        self.wine.kill_all()
        self.tmp = tempfile.mkdtemp(prefix="tnvexa-e2e-")
        self.publisher = Publisher(self.tmp)
        self.addCleanup(self._cleanup)
        self.clean_state()

    def _cleanup(self):
        self.wine.kill_all()
        self.wine.reg_delete(TEST_KEY)
        self.publisher.stop()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def clean_state(self):
        """No install, no settings; the test switches name this case's stand-in, no automation."""
        shutil.rmtree(os.path.join(self.wine.drive_c, "ProgramData", "Vexa"), ignore_errors=True)
        # What an install leaves besides: the installed-programs entry and the shortcuts.
        self.wine.reg_import([f"[-{REG_KEY}]", f"[-{ENTRY_KEY}]", f"[-{TEST_KEY}]", f"[{TEST_KEY}]",
                              f'"Publisher"="{self.publisher.host}"',
                              # Wine keeps no access lists: the folders read as the user's own.
                              '"TrustOwnUser"="1"'], self.tmp)
        for link in self.shortcuts():
            if os.path.exists(link):
                os.unlink(link)
        shutil.rmtree(os.path.dirname(self.shortcuts()[-1]), ignore_errors=True)

    def shortcuts(self):
        """The desktop shortcut and the two start-menu shortcuts of an install."""
        menu = os.path.join(self.wine.drive_c, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                            "Vexa登录器")
        return [os.path.join(self.wine.drive_c, "users", "Public", "Desktop", "VexaTarn微端.lnk"),
                os.path.join(menu, "VexaTarn微端.lnk"), os.path.join(menu, "卸载 VexaTarn微端.lnk")]

    def set_automation(self, words):
        """Sets the "Automation" switch (comma-separated words) for the processes started next."""
        self.wine.set_switch("Automation", words)

    def place_exe(self, folder, name="TnVexa.exe"):
        """Copies the program to folder (a Unix path inside the prefix); answers its path."""
        os.makedirs(folder, exist_ok=True)
        target = os.path.join(folder, name)
        shutil.copyfile(EXE, target)
        return target

    def outside_exe(self):
        return self.place_exe(os.path.join(self.wine.drive_c, "users", "Public", "Downloads"))

    def installed_exe(self, subfolder=None):
        folder = self.wine.install_dir if not subfolder else os.path.join(self.wine.install_dir, subfolder)
        return self.place_exe(folder)

    def statistics(self):
        return self.wine.read_ini(os.path.join(self.wine.install_dir, "Statistic.ini"))

    def counts(self, path):
        """The count values of the pings that reached path, in arrival order."""
        out = []
        for r in self.publisher.requests(path):
            for part in r["query"].split("&"):
                if part.startswith("count="):
                    out.append(int(part[6:]))
        return out


def main():
    unittest.main(verbosity=2)
