// A fake DirectDraw driver for tests of the engine's DirectDraw code: COM objects with the full
// IDirectDraw, IDirectDraw2 and IDirectDrawSurface vtables, handed to the engine through its
// DirectDraw seam (Seams().directDrawCreate).
//
// Use:
//     FakeDirectDraw fake;                       // installs itself; uninstalls when it ends
//     fake.AcceptOverlayFormat(FakeFourCCFormat("YUY2"));
//     fake.QueueResult(FakeRole::Overlay, FakeMethod::Flip, DDERR_SURFACELOST);
//     DisplaySurfaces display;
//     ASSERT_EQ(1, InitDirectDraw(display, 256, 128));
//     ... run the code under test, inspect fake.Surface(FakeRole::BackBuffer)->Pixel(0, 0) ...
//     ReleaseDirectDraw(display);
//     EXPECT_EQ(0, fake.OutstandingReferences());
//     EXPECT_TRUE(fake.Problems().empty());
//
// The driver. By default it advertises one visible overlay (DDCAPS_OVERLAY) and takes no overlay
// pixel format: AcceptOverlayFormat adds formats, AdvertiseOverlays(false) or SetDriverCaps
// withdraw the overlay from the capabilities. Like some real drivers, it creates and shows
// overlays in an accepted format whatever it advertises. Overlays in other formats are refused
// with DDERR_INVALIDPIXELFORMAT. Plain and primary surfaces are 32-bit RGB (the display format)
// unless the description names a 16-, 24- or 32-bit RGB or a FOURCC format (16 bits a pixel).
// The primary surface has the screen size (SetScreenSize) and one live primary at a time is
// allowed (DDERR_PRIMARYSURFACEALREADYEXISTS). A flippable overlay must be complex with exactly
// one back buffer.
//
// Scripted results. Every set-up step (FakeStep) and every scriptable surface method (FakeMethod,
// per surface role) answers from its script: queued results first, one per call, then the fixed
// result when one is set, otherwise the natural answer of a working driver. A scripted failure
// (negative) makes the call do nothing and return it; a scripted success code makes the call do
// its normal work and return that code, unless the work itself fails (a surface already locked,
// an overlay not shown), which then returns its natural error. Scripts of a role apply to every
// surface of that role, also to surfaces created later (a second set-up).
//
// Natural answers of the surface methods:
// - Lock: DDERR_INVALIDPARAMS unless the description's size is 108; DDERR_SURFACEBUSY while
//   locked or while its device context is out; else fills the description (size, flags, width,
//   height, pitch, pixel format, caps, surface pointer) with real memory, optionally at a rect.
//   Unlock: DDERR_NOTLOCKED when not locked.
// - GetDC: a memory device context with a DIB section over the surface memory selected, so
//   BitBlt from it shows what Lock wrote; DDERR_CANTCREATEDC on FOURCC surfaces,
//   DDERR_DCALREADYCREATED when one is out, DDERR_SURFACEBUSY while locked. ReleaseDC:
//   DDERR_NODC when none is out, DDERR_INVALIDPARAMS for another context.
// - UpdateOverlay (overlay only, else DDERR_NOTAOVERLAYSURFACE): DDOVER_SHOW needs a destination
//   surface and shows the overlay at the destination rectangle; DDOVER_HIDE hides it.
//   SetOverlayPosition: DDERR_OVERLAYNOTVISIBLE while hidden, else moves it.
// - Flip (overlay only, else DDERR_NOTFLIPPABLE): copies the back buffer into the overlay's own
//   memory, so the overlay surface's pixels are the last frame shown, and counts the flip.
// - Restore, IsLost: DD_OK.
// - GetAttachedSurface: the back buffer of an overlay for DDSCAPS_BACKBUFFER (a new reference),
//   else DDERR_NOTFOUND. GetSurfaceDesc, GetPixelFormat, GetCaps: the surface's own values.
// Every other method returns DDERR_UNSUPPORTED.
//
// Call log. Every call on every fake object, AddRef and Release included, goes to the test
// program's call log (RecordedCalls) as "<object>.<Method> <arguments> -> <result>", results in
// hex, reference counts in decimal. Objects: "DirectDrawCreate", "ddraw" (IDirectDraw), "ddraw2"
// (IDirectDraw2) and the surfaces by role: "primary", "offscreen", "overlay", "backbuffer".
// Surfaces in arguments appear by role name, absent pointers as "null", rectangles as
// "(left,top,right,bottom)". For example:
//     ddraw2.SetCooperativeLevel window=null flags=0x8 -> 0x0
//     overlay.UpdateOverlay src=null dest=primary rect=(0,0,256,128) flags=0x4000 fx=56 -> 0x0
//     overlay.Flip target=null flags=0x1 -> 0x0
//     backbuffer.Lock rect=null flags=0x821 event=null -> 0x0
//     overlay.Release -> 0
// CreateSurfaceRequests() keeps every description handed to CreateSurface, byte for byte.
//
// References. Each interface counts its own references, as DirectDraw's do. A back buffer is held
// by its overlay; the references the code under test takes with GetAttachedSurface count on top.
// OutstandingReferences() is the sum the code under test still holds. Objects live until the fake
// ends, so misuse is recorded instead of crashing: a Release below zero, a call on an object
// whose references are gone (a back buffer stays usable while its overlay lives) and releasing
// the last DirectDraw interface while surfaces are still held all land in Problems().
//
// One fake at a time; it and the code under test may run on different threads. The code under
// test must release what it holds before the fake ends.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <memory>
#include <string>
#include <vector>

#include "engine_seams.h"

// What a surface was created as.
enum class FakeRole { Primary, Offscreen, Overlay, BackBuffer };
constexpr int kFakeRoleCount = 4;

// Surface methods whose results can be scripted per role.
enum class FakeMethod {
    Flip,
    SetOverlayPosition,
    UpdateOverlay,
    Restore,
    Lock,
    Unlock,
    GetDC,
    ReleaseDC,
    IsLost,
};
constexpr int kFakeMethodCount = 9;

// Set-up steps whose results can be scripted.
enum class FakeStep {
    Create,              // the creation function
    QueryInterface,      // IDirectDraw::QueryInterface for IDirectDraw2
    SetCooperativeLevel, // IDirectDraw2::SetCooperativeLevel
    GetCaps,             // IDirectDraw2::GetCaps
    CreateOffscreen,     // CreateSurface of anything but a primary or an overlay
    CreatePrimary,       // CreateSurface with DDSCAPS_PRIMARYSURFACE
    CreateOverlay,       // CreateSurface with DDSCAPS_OVERLAY, whatever the format
    GetAttachedSurface,  // IDirectDrawSurface::GetAttachedSurface
};
constexpr int kFakeStepCount = 8;

// Pixel formats as a test names them.
DDPIXELFORMAT FakeRgbFormat(DWORD bits, DWORD red, DWORD green, DWORD blue);
DDPIXELFORMAT FakeFourCCFormat(const char code[4]);

// What a test can see of one fake surface. Valid while the fake lives.
class FakeSurface {
public:
    virtual IDirectDrawSurface* Interface() = 0;
    virtual FakeRole Role() const = 0;
    // References the code under test holds.
    virtual LONG References() const = 0;
    virtual DWORD Width() const = 0;
    virtual DWORD Height() const = 0;
    virtual DDPIXELFORMAT Format() const = 0;
    // The surface memory (made on first use) and its bytes per row.
    virtual BYTE* Bits() = 0;
    virtual LONG Pitch() = 0;
    // The 32-bit value at (x, y) of a 32-bit surface.
    virtual DWORD Pixel(int x, int y) = 0;
    virtual bool Locked() const = 0;
    virtual bool DcOut() const = 0;
    // Overlay state: shown or hidden, where, and how often it was flipped.
    virtual bool OverlayShown() const = 0;
    virtual RECT OverlayRect() const = 0;
    virtual int Flips() const = 0;

protected:
    ~FakeSurface() = default;
};

class FakeDirectDraw {
public:
    FakeDirectDraw();
    ~FakeDirectDraw();
    FakeDirectDraw(const FakeDirectDraw&) = delete;
    FakeDirectDraw& operator=(const FakeDirectDraw&) = delete;

    // The driver's capabilities: `caps` for dwCaps and the number of visible overlays.
    void SetDriverCaps(DWORD caps, DWORD maxVisibleOverlays);
    // Shorthand: one visible overlay with DDCAPS_OVERLAY, or no overlay capability at all.
    void AdvertiseOverlays(bool advertise);
    // Overlays in this format can be created (flags, FourCC, bit count and masks compared).
    void AcceptOverlayFormat(const DDPIXELFORMAT& format);
    void SetScreenSize(DWORD width, DWORD height);
    // Extra pixels at the end of every row of surfaces created from now on, so that the pitch
    // is more than width times pixel size.
    void SetRowPadding(DWORD pixels);

    // Scripts (see above).
    void QueueStepResult(FakeStep step, HRESULT result);
    void SetStepResult(FakeStep step, HRESULT result);
    void QueueResult(FakeRole role, FakeMethod method, HRESULT result);
    void SetResult(FakeRole role, FakeMethod method, HRESULT result);
    // Back to the natural answers for that method.
    void ClearResults(FakeRole role, FakeMethod method);

    // The newest surface of `role`, or null when none was created.
    FakeSurface* Surface(FakeRole role);
    int SurfacesCreated(FakeRole role) const;
    std::vector<DDSURFACEDESC> CreateSurfaceRequests() const;
    int OutstandingReferences() const;
    std::vector<std::string> Problems() const;

    struct State;

private:
    std::unique_ptr<State> state_;
    SeamSwap<decltype(EngineSeams::directDrawCreate)> create_;
};
