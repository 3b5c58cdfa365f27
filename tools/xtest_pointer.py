#!/usr/bin/env python3
"""Moves the X pointer for a benchmark running under Wine.

Reads the benchmark's output on stdin. A line "VXMOVE x y" moves the pointer to (x, y) of the X
screen at once, through the XTest extension, as a real mouse would; every other line is passed on
to stdout. Wine's virtual desktop starts at the X screen's origin, so X and Windows screen
coordinates are the same.
"""
import ctypes
import ctypes.util
import os
import sys


def open_display():
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    xtst.XTestFakeMotionEvent.argtypes = [
        ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
    display = x11.XOpenDisplay(None)
    if not display:
        return None
    def move(x, y):
        xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
        x11.XFlush(display)
    return move


def main():
    move = open_display()
    pending = b""
    while True:
        chunk = os.read(0, 4096)
        if not chunk:
            break
        pending += chunk
        while b"\n" in pending:
            line, pending = pending.split(b"\n", 1)
            text = line.decode("utf-8", "replace").rstrip("\r")
            words = text.split()
            if len(words) == 3 and words[0] == "VXMOVE":
                if move is not None:
                    move(int(words[1]), int(words[2]))
                continue
            sys.stdout.write(text + "\n")
            sys.stdout.flush()
    if pending:
        sys.stdout.write(pending.decode("utf-8", "replace"))


if __name__ == "__main__":
    main()
