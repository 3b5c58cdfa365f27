// Where the part of a source rectangle that lies on the screen lands when the whole source is
// stretched onto a target. No Windows headers.
#pragma once

struct ScreenBounds {
    int left, top, right, bottom; // right and bottom exclusive
};

struct StretchPart {
    bool whole;   // the whole source is on the screen: stretch it all
    bool nothing; // no pixel of the source is on the screen
    int srcX, srcY, srcWidth, srcHeight;
    int dstX, dstY, dstWidth, dstHeight;
};

// The on-screen part of the source (sx, sy, sw x sh) and the part of the targetWidth x
// targetHeight target it maps to, with the target edges rounded to the nearest pixel.
StretchPart VisibleStretch(int sx, int sy, int sw, int sh, const ScreenBounds& screen,
                           int targetWidth, int targetHeight);
