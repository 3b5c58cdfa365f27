// Which way a frame goes. Through Direct3D the captured image is filtered by the plug-ins in the
// capture texture, uploaded, drawn through the effect (brightness, internal cursor) and read
// back; a frame that needs none of that stays in GDI, where the screen copy made opaque already
// is the lens image. Both give the same pixels. No Windows headers.
#pragma once

// What a frame asks for beyond the magnified screen copy.
struct FrameNeeds {
    bool windowPath;  // shown through the lens window; the overlay's surfaces are Direct3D's
    int brightness;   // the engine brightness; 1000 leaves the image unchanged
    bool cursorDrawn; // an internal cursor sprite is drawn into the lens
    bool filtered;    // an active plug-in filters the captured frame
};

enum class FrameRoute { kDirect3D, kGdi };

FrameRoute ChooseFrameRoute(const FrameNeeds& needs);
