#!/usr/bin/env python3
"""Writes a settings.dat for the headless demo: a 512 x 256 lens at zoom 2 in "Show one window"
mode, a frame every 2.5 s, sound off, no hot keys."""
import struct
import sys

record = struct.pack(
    "<4sI" + "I" * 14 + "f" + "III" + "I" * 11,
    b"VXQX", 0x400,
    0, 0, 0, 0,        # reserved1, reserved2, captureRequest, reserved3
    0, 0, 2, 2500,     # internalCursor, followFocus, displayMode ("Show one window"), frameWait
    0, 0, 512, 256,    # sourceWidth, sourceHeight (derived), lensWidth, lensHeight
    0, 0,              # transparency, lockPosition
    2.0,               # zoom
    0, 0, 0,           # showOnStart, sound, startWithWindows
    *([0] * 11))       # hot keys
assert len(record) == 124
with open(sys.argv[1], "wb") as out:
    out.write(record)
