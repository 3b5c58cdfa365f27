#!/usr/bin/env python3
"""Writes a settings.dat for the headless demo: a 512 x 256 lens at zoom 2 in "Show one window"
mode, a frame every 2.5 s, sound off, no hot keys.

    demo_settings.py settings.dat [field=value ...]

Each field=value changes one field of the record by its name, e.g. displayMode=1 (for "Show
all") or internalCursor=1 (the arrow); zoom takes a decimal number, every other field a whole
one."""
import struct
import sys

# The record's fields after its signature and version, in file order, with the demo's values.
FIELDS = [
    ("reserved1", 0), ("reserved2", 0), ("captureRequest", 0), ("reserved3", 0),
    ("internalCursor", 0), ("followFocus", 0), ("displayMode", 2), ("frameWait", 2500),
    ("sourceWidth", 0), ("sourceHeight", 0), ("lensWidth", 512), ("lensHeight", 256),
    ("transparency", 0), ("lockPosition", 0), ("zoom", 2.0),
    ("showOnStart", 0), ("sound", 0), ("startWithWindows", 0),
] + [("hotKey%d" % slot, 0) for slot in range(11)]


def record(changes):
    values = dict(FIELDS)
    for change in changes:
        name, _, text = change.partition("=")
        if name not in values or not text:
            sys.exit("unknown field or no value: %s" % change)
        values[name] = float(text) if name == "zoom" else int(text, 0)
    layout = "<4sI" + "".join("f" if name == "zoom" else "I" for name, _ in FIELDS)
    data = struct.pack(layout, b"VXQX", 0x400, *(values[name] for name, _ in FIELDS))
    assert len(data) == 124
    return data


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(record(sys.argv[2:]))
