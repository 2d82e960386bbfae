#!/usr/bin/env python3
"""Checks that every include under src/ points down the layers that README.md draws.

Prints one line per include that points up or sideways and exits 1 when there is any.
The back-end folders under platform/ count as platform, except that the rooms may not include
them: only app picks back-ends.
"""
import pathlib
import re
import sys

# Each room with the rooms it may include (besides itself).
BACK_ENDS = ["sdl", "headless", "ffmpeg", "freetype", "alsa", "image_io", "websocket", "speechd"]
BELOW = {
    "base": [],
    "platform": ["base"],
    "graphics": ["platform", "base"],
    "audio": ["platform", "base"],
    "save": ["graphics", "audio", "platform", "base"],
    "script": ["save", "graphics", "audio", "platform", "base"],
    "stage": ["script", "save", "graphics", "audio", "platform", "base"],
    "media": ["script", "save", "graphics", "audio", "platform", "base"],
    "input": ["script", "save", "graphics", "audio", "platform", "base"],
    # Back-ends implement the platform interfaces, on one another and base.
    "backend": ["backend", "platform", "base"],
    "app": ["input", "stage", "media", "script", "save", "graphics", "audio", "platform",
            "base", "backend"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def room_of(path: str) -> str:
    parts = path.split("/")
    if parts[0] == "platform" and len(parts) > 2 and parts[1] in BACK_ENDS:
        return "backend"
    return parts[0]


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    faults = []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp", ".inl"):
            continue
        relative = file.relative_to(src).as_posix()
        room = room_of(relative)
        for number, line in enumerate(file.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = room_of(match.group(1))
            if target == room or target in BELOW.get(room, []):
                continue
            faults.append(f"src/{relative}:{number}: {room} includes {match.group(1)}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
