#!/usr/bin/env python3
"""The headless run of tools/run.sh: starts the launcher with its automation switch, logs three
accounts in against the stand-in publisher through the page automation channel, and photographs
the login screen and the main window holding the three tabs.

usage: drive_road.py EXE SHOT_FOLDER PUBLISHER_URL [program arguments]
Needs WINEPREFIX and DISPLAY (tools/wine-env.sh) and the Win32 test helpers built."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import Screen, Wine  # noqa: E402
from road import RoadDriver  # noqa: E402


def main():
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    exe, shots, publisher_url, args = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    wine = Wine()
    road = RoadDriver(wine, shots, publisher_url)
    wine.set_switch("Automation", "1")
    wine.start(exe, args)
    saved = []
    try:
        road.wait_launched()
        print("login screen up; logging three accounts in")
        backdrop = road.backdrops()
        saved.append(Screen.shot("login-backdrop", backdrop and road.x_window(backdrop[0]), folder=shots))
        main_wnd, tabs = road.log_in_three_tabs()
        print(f"main window with {len(tabs)} tabs")
        saved.append(Screen.shot("main-window-three-tabs", road.x_window(main_wnd), folder=shots))
    except AssertionError as e:
        print(f"the run stopped: {e}", file=sys.stderr)
        saved.append(Screen.shot("stopped", folder=shots))
        return 1
    finally:
        for path in saved:
            print(f"screenshot: {path}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
