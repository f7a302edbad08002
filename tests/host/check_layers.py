#!/usr/bin/env python3
"""Fails when a folder of src/ includes a folder above it.

The folders are layers: base/ at the bottom, then fw/, then ui/ and net/ side by side (neither
includes the other), then web/ and mainwnd/ side by side, app/ on top. The protocol the main
window and its page processes share lives in base/, so web/ and mainwnd/ never need each other.
A folder missing from the table fails too: a new folder must be given its place. The program's
resource numbers (res/resource.h) belong to the application layers only: the toolkit is given them.
"""
import pathlib
import re
import sys

ALLOWED = {
    "base": set(),
    "fw": {"base"},
    "ui": {"fw", "base"},
    "net": {"fw", "base"},
    "web": {"net", "ui", "fw", "base"},
    "mainwnd": {"net", "ui", "fw", "base"},
    "app": {"web", "mainwnd", "net", "ui", "fw", "base"},
}
KNOWS_RESOURCES = {"web", "mainwnd", "app"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([A-Za-z0-9_]+)/', re.M)


def violations(src):
    folders = {p.name for p in src.iterdir() if p.is_dir()}
    found = [f"src/{f}/: no place in the layer table" for f in sorted(folders - ALLOWED.keys())]
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        here = path.relative_to(src).parts[0]
        text = path.read_text(encoding="utf-8")
        if here not in KNOWS_RESOURCES and '#include "resource.h"' in text:
            found.append(f"{path.relative_to(src.parent)}: includes resource.h")
        for target in INCLUDE.findall(text):
            if target in folders and target != here and target not in ALLOWED.get(here, set()):
                found.append(f"{path.relative_to(src.parent)}: includes {target}/")
    return found


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[2] / "src")
    found = violations(src)
    for line in found:
        print(line)
    print(f"{len(found)} include(s) against the layers" if found else "layers: every include points down")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
