#include "fake_directdraw.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <utility>

#include "overlay.h"
#include "test_support.h"

namespace {

// Queued answers first, then the fixed one; without either the call answers naturally.
struct Script {
    std::deque<HRESULT> queued;
    bool fixed = false;
    HRESULT fixedResult = DD_OK;

    bool Next(HRESULT* result) {
        if (!queued.empty()) {
            *result = queued.front();
            queued.pop_front();
            return true;
        }
        *result = fixedResult;
        return fixed;
    }
};

// Anything the fake owns until it ends.
class Owned {
public:
    virtual ~Owned() = default;
};

class FirstInterface;
class SecondInterface;
class SurfaceObject;

std::string Printf(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

const char* RoleName(FakeRole role) {
    switch (role) {
    case FakeRole::Primary:
        return "primary";
    case FakeRole::Offscreen:
        return "offscreen";
    case FakeRole::Overlay:
        return "overlay";
    case FakeRole::BackBuffer:
        return "backbuffer";
    }
    return "surface";
}

std::string RectText(const RECT* rect) {
    if (rect == nullptr) {
        return "null";
    }
    return Printf("(%ld,%ld,%ld,%ld)", rect->left, rect->top, rect->right, rect->bottom);
}

std::string PointerText(const void* pointer) {
    return pointer == nullptr ? "null" : Printf("%p", pointer);
}

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    if (a.dwFlags != b.dwFlags) {
        return false;
    }
    if ((a.dwFlags & DDPF_FOURCC) != 0) {
        return a.dwFourCC == b.dwFourCC;
    }
    return a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
           a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask &&
           a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask;
}

// Bits per pixel of a format the fake can hold, or 0.
DWORD BitsPerPixel(const DDPIXELFORMAT& format) {
    if ((format.dwFlags & DDPF_FOURCC) != 0) {
        return 16;
    }
    if ((format.dwFlags & DDPF_RGB) != 0 &&
        (format.dwRGBBitCount == 16 || format.dwRGBBitCount == 24 || format.dwRGBBitCount == 32)) {
        return format.dwRGBBitCount;
    }
    return 0;
}

const DDPIXELFORMAT kDisplayFormat = FakeRgbFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF);

} // namespace

struct FakeDirectDraw::State {
    std::recursive_mutex lock;
    DWORD caps = DDCAPS_OVERLAY | DDCAPS_OVERLAYFOURCC | DDCAPS_OVERLAYSTRETCH;
    DWORD maxVisibleOverlays = 1;
    std::vector<DDPIXELFORMAT> accepted;
    DWORD screenWidth = static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN));
    DWORD screenHeight = static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN));
    DWORD rowPadding = 0;
    Script steps[kFakeStepCount];
    Script methods[kFakeRoleCount][kFakeMethodCount];
    std::vector<std::unique_ptr<Owned>> objects;
    std::vector<FirstInterface*> firsts;
    std::vector<SurfaceObject*> surfaces;
    std::vector<DDSURFACEDESC> requests;
    std::vector<std::string> problems;

    // True when the step is scripted; `result` then holds the answer.
    bool Step(FakeStep step, HRESULT* result) { return steps[static_cast<int>(step)].Next(result); }
    bool Method(FakeRole role, FakeMethod method, HRESULT* result) {
        return methods[static_cast<int>(role)][static_cast<int>(method)].Next(result);
    }
    std::string SurfaceName(IDirectDrawSurface* surface);
    void Problem(const std::string& text) { problems.push_back(text); }
};

namespace {

using State = FakeDirectDraw::State;

State* g_State = nullptr;

// Reference counting and the checks every fake interface shares.
class Counted : public Owned {
public:
    Counted(State* state, std::string name) : state_(state), name_(std::move(name)) {}

    LONG References() const {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        return references_;
    }

protected:
    virtual bool Usable() const { return references_ > 0; }

    // Notes a call on an object the code under test no longer holds.
    void Enter(const char* method) {
        if (!Usable()) {
            state_->Problem(name_ + "." + method + " called after the last Release");
        }
    }
    HRESULT Answer(const std::string& call, HRESULT result) {
        VxRecordCall((name_ + "." + call + " -> " + Printf("0x%lX", result)).c_str());
        return result;
    }
    HRESULT Unsupported(const char* method) {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter(method);
        return Answer(method, DDERR_UNSUPPORTED);
    }
    ULONG AddReference() {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("AddRef");
        ++references_;
        VxRecordCall(Printf("%s.AddRef -> %ld", name_.c_str(), references_).c_str());
        return static_cast<ULONG>(references_);
    }
    ULONG ReleaseReference() {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        if (references_ == 0) {
            state_->Problem(name_ + ".Release without a reference");
            VxRecordCall((name_ + ".Release -> 0").c_str());
            return 0;
        }
        --references_;
        VxRecordCall(Printf("%s.Release -> %ld", name_.c_str(), references_).c_str());
        if (references_ == 0) {
            LastReferenceGone();
        }
        return static_cast<ULONG>(references_);
    }
    virtual void LastReferenceGone() {}

    State* state_;
    std::string name_;
    LONG references_ = 0;
};

#define FAKE_UNSUPPORTED(method, ...)                                                              \
    STDMETHOD(method)(__VA_ARGS__) override {                                                      \
        return Unsupported(#method);                                                               \
    }

class SurfaceObject : public IDirectDrawSurface, public Counted, public FakeSurface {
public:
    SurfaceObject(State* state, FakeRole role, const DDSURFACEDESC& description)
        : Counted(state, RoleName(role)), role_(role), description_(description),
          bitsPerPixel_(BitsPerPixel(description.ddpfPixelFormat)) {}
    ~SurfaceObject() override {
        if (dc_ != nullptr) {
            SelectObject(dc_, previousBitmap_);
            DeleteDC(dc_);
        }
        if (dib_ != nullptr) {
            DeleteObject(dib_);
        }
    }

    void AttachBackBuffer(SurfaceObject* back) {
        back_ = back;
        back->front_ = this;
    }
    void TakeFirstReference() { references_ = 1; }

    // FakeSurface
    IDirectDrawSurface* Interface() override { return this; }
    FakeRole Role() const override { return role_; }
    LONG References() const override { return Counted::References(); }
    DWORD Width() const override { return description_.dwWidth; }
    DWORD Height() const override { return description_.dwHeight; }
    DDPIXELFORMAT Format() const override { return description_.ddpfPixelFormat; }
    BYTE* Bits() override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Memory();
        GdiFlush();
        return bits_;
    }
    LONG Pitch() override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Memory();
        return pitch_;
    }
    DWORD Pixel(int x, int y) override {
        BYTE* bits = Bits();
        DWORD value = 0;
        std::memcpy(&value, bits + y * pitch_ + x * 4, sizeof(value));
        return value;
    }
    bool Locked() const override { return Read(locked_); }
    bool DcOut() const override { return Read(dc_) != nullptr; }
    bool OverlayShown() const override { return Read(shown_); }
    RECT OverlayRect() const override { return Read(overlayRect_); }
    int Flips() const override { return Read(flips_); }

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("QueryInterface");
        if (object == nullptr) {
            return Answer("QueryInterface", E_POINTER);
        }
        *object = nullptr;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectDrawSurface)) {
            *object = static_cast<IDirectDrawSurface*>(this);
            ++references_;
            return Answer("QueryInterface IDirectDrawSurface", S_OK);
        }
        return Answer("QueryInterface other", E_NOINTERFACE);
    }
    STDMETHOD_(ULONG, AddRef)() override { return AddReference(); }
    STDMETHOD_(ULONG, Release)() override { return ReleaseReference(); }

    // IDirectDrawSurface
    FAKE_UNSUPPORTED(AddAttachedSurface, LPDIRECTDRAWSURFACE)
    FAKE_UNSUPPORTED(AddOverlayDirtyRect, LPRECT)
    FAKE_UNSUPPORTED(Blt, LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDBLTFX)
    FAKE_UNSUPPORTED(BltBatch, LPDDBLTBATCH, DWORD, DWORD)
    FAKE_UNSUPPORTED(BltFast, DWORD, DWORD, LPDIRECTDRAWSURFACE, LPRECT, DWORD)
    FAKE_UNSUPPORTED(DeleteAttachedSurface, DWORD, LPDIRECTDRAWSURFACE)
    FAKE_UNSUPPORTED(EnumAttachedSurfaces, LPVOID, LPDDENUMSURFACESCALLBACK)
    FAKE_UNSUPPORTED(EnumOverlayZOrders, DWORD, LPVOID, LPDDENUMSURFACESCALLBACK)

    STDMETHOD(Flip)(LPDIRECTDRAWSURFACE target, DWORD flags) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("Flip");
        const std::string call =
            "Flip target=" + state_->SurfaceName(target) + Printf(" flags=0x%lX", flags);
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Method(role_, FakeMethod::Flip, &scripted);
        if (isScripted && FAILED(scripted)) {
            return Answer(call, scripted);
        }
        if (role_ != FakeRole::Overlay || back_ == nullptr) {
            return Answer(call, DDERR_NOTFLIPPABLE);
        }
        Memory();
        back_->Memory();
        GdiFlush();
        std::memcpy(bits_, back_->bits_, static_cast<size_t>(pitch_) * Height());
        ++flips_;
        return Answer(call, isScripted ? scripted : DD_OK);
    }

    STDMETHOD(GetAttachedSurface)(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* attached) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("GetAttachedSurface");
        const std::string call =
            Printf("GetAttachedSurface caps=0x%lX", caps != nullptr ? caps->dwCaps : 0);
        if (caps == nullptr || attached == nullptr) {
            return Answer(call, DDERR_INVALIDPARAMS);
        }
        *attached = nullptr;
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Step(FakeStep::GetAttachedSurface, &scripted);
        if (isScripted && FAILED(scripted)) {
            return Answer(call, scripted);
        }
        if (back_ == nullptr || (caps->dwCaps & DDSCAPS_BACKBUFFER) == 0) {
            return Answer(call, DDERR_NOTFOUND);
        }
        ++back_->references_;
        *attached = back_;
        return Answer(call, isScripted ? scripted : DD_OK);
    }

    FAKE_UNSUPPORTED(GetBltStatus, DWORD)

    STDMETHOD(GetCaps)(LPDDSCAPS caps) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("GetCaps");
        if (caps == nullptr) {
            return Answer("GetCaps", DDERR_INVALIDPARAMS);
        }
        *caps = description_.ddsCaps;
        return Answer("GetCaps", DD_OK);
    }

    FAKE_UNSUPPORTED(GetClipper, LPDIRECTDRAWCLIPPER*)
    FAKE_UNSUPPORTED(GetColorKey, DWORD, LPDDCOLORKEY)

    STDMETHOD(GetDC)(HDC* dc) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("GetDC");
        if (dc == nullptr) {
            return Answer("GetDC", DDERR_INVALIDPARAMS);
        }
        *dc = nullptr;
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Method(role_, FakeMethod::GetDC, &scripted);
        if (isScripted && FAILED(scripted)) {
            return Answer("GetDC", scripted);
        }
        if ((description_.ddpfPixelFormat.dwFlags & DDPF_FOURCC) != 0) {
            return Answer("GetDC", DDERR_CANTCREATEDC);
        }
        if (dc_ != nullptr) {
            return Answer("GetDC", DDERR_DCALREADYCREATED);
        }
        if (locked_) {
            return Answer("GetDC", DDERR_SURFACEBUSY);
        }
        Memory();
        dc_ = CreateCompatibleDC(nullptr);
        previousBitmap_ = SelectObject(dc_, dib_);
        *dc = dc_;
        return Answer("GetDC", isScripted ? scripted : DD_OK);
    }

    FAKE_UNSUPPORTED(GetFlipStatus, DWORD)
    FAKE_UNSUPPORTED(GetOverlayPosition, LPLONG, LPLONG)
    FAKE_UNSUPPORTED(GetPalette, LPDIRECTDRAWPALETTE*)

    STDMETHOD(GetPixelFormat)(LPDDPIXELFORMAT format) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("GetPixelFormat");
        if (format == nullptr) {
            return Answer("GetPixelFormat", DDERR_INVALIDPARAMS);
        }
        *format = description_.ddpfPixelFormat;
        return Answer("GetPixelFormat", DD_OK);
    }

    STDMETHOD(GetSurfaceDesc)(LPDDSURFACEDESC description) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("GetSurfaceDesc");
        if (description == nullptr || description->dwSize != sizeof(DDSURFACEDESC)) {
            return Answer("GetSurfaceDesc", DDERR_INVALIDPARAMS);
        }
        Memory();
        Describe(description);
        return Answer("GetSurfaceDesc", DD_OK);
    }

    FAKE_UNSUPPORTED(Initialize, LPDIRECTDRAW, LPDDSURFACEDESC)

    STDMETHOD(IsLost)() override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("IsLost");
        HRESULT scripted = DD_OK;
        state_->Method(role_, FakeMethod::IsLost, &scripted);
        return Answer("IsLost", scripted);
    }

    STDMETHOD(Lock)(LPRECT rect, LPDDSURFACEDESC description, DWORD flags, HANDLE event) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("Lock");
        const std::string call = "Lock rect=" + RectText(rect) + Printf(" flags=0x%lX", flags) +
                                 " event=" + PointerText(event);
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Method(role_, FakeMethod::Lock, &scripted);
        if (isScripted && FAILED(scripted)) {
            return Answer(call, scripted);
        }
        if (description == nullptr || description->dwSize != sizeof(DDSURFACEDESC)) {
            return Answer(call, DDERR_INVALIDPARAMS);
        }
        if (locked_ || dc_ != nullptr) {
            return Answer(call, DDERR_SURFACEBUSY);
        }
        Memory();
        LONG offset = 0;
        if (rect != nullptr) {
            if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
                rect->top >= rect->bottom || rect->right > static_cast<LONG>(Width()) ||
                rect->bottom > static_cast<LONG>(Height())) {
                return Answer(call, DDERR_INVALIDRECT);
            }
            offset = rect->top * pitch_ + rect->left * static_cast<LONG>(bitsPerPixel_ / 8);
        }
        GdiFlush();
        Describe(description);
        description->lpSurface = bits_ + offset;
        locked_ = true;
        return Answer(call, isScripted ? scripted : DD_OK);
    }

    STDMETHOD(ReleaseDC)(HDC dc) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("ReleaseDC");
        const std::string call = "ReleaseDC dc=" + std::string(dc == dc_ ? "ours" : "other");
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Method(role_, FakeMethod::ReleaseDC, &scripted);
        if (isScripted && FAILED(scripted)) {
            return Answer(call, scripted);
        }
        if (dc_ == nullptr) {
            return Answer(call, DDERR_NODC);
        }
        if (dc != dc_) {
            return Answer(call, DDERR_INVALIDPARAMS);
        }
        SelectObject(dc_, previousBitmap_);
        DeleteDC(dc_);
        dc_ = nullptr;
        return Answer(call, isScripted ? scripted : DD_OK);
    }

    STDMETHOD(Restore)() override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("Restore");
        HRESULT scripted = DD_OK;
        state_->Method(role_, FakeMethod::Restore, &scripted);
        return Answer("Restore", scripted);
    }

    FAKE_UNSUPPORTED(SetClipper, LPDIRECTDRAWCLIPPER)
    FAKE_UNSUPPORTED(SetColorKey, DWORD, LPDDCOLORKEY)

    STDMETHOD(SetOverlayPosition)(LONG x, LONG y) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("SetOverlayPosition");
        const std::string call = Printf("SetOverlayPosition x=%ld y=%ld", x, y);
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Method(role_, FakeMethod::SetOverlayPosition, &scripted);
        if (isScripted && FAILED(scripted)) {
            return Answer(call, scripted);
        }
        if (role_ != FakeRole::Overlay) {
            return Answer(call, DDERR_NOTAOVERLAYSURFACE);
        }
        if (!shown_) {
            return Answer(call, DDERR_OVERLAYNOTVISIBLE);
        }
        OffsetRect(&overlayRect_, x - overlayRect_.left, y - overlayRect_.top);
        return Answer(call, isScripted ? scripted : DD_OK);
    }

    FAKE_UNSUPPORTED(SetPalette, LPDIRECTDRAWPALETTE)

    STDMETHOD(Unlock)(LPVOID pointer) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("Unlock");
        const std::string call = "Unlock pointer=" + PointerText(pointer);
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Method(role_, FakeMethod::Unlock, &scripted);
        if (isScripted && FAILED(scripted)) {
            return Answer(call, scripted);
        }
        if (!locked_) {
            return Answer(call, DDERR_NOTLOCKED);
        }
        locked_ = false;
        return Answer(call, isScripted ? scripted : DD_OK);
    }

    STDMETHOD(UpdateOverlay)
    (LPRECT source, LPDIRECTDRAWSURFACE destination, LPRECT rect, DWORD flags,
     LPDDOVERLAYFX effects) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("UpdateOverlay");
        const std::string call =
            "UpdateOverlay src=" + RectText(source) + " dest=" + state_->SurfaceName(destination) +
            " rect=" + RectText(rect) + Printf(" flags=0x%lX", flags) +
            " fx=" + (effects == nullptr ? std::string("null") : Printf("%lu", effects->dwSize));
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Method(role_, FakeMethod::UpdateOverlay, &scripted);
        if (isScripted && FAILED(scripted)) {
            return Answer(call, scripted);
        }
        if (role_ != FakeRole::Overlay) {
            return Answer(call, DDERR_NOTAOVERLAYSURFACE);
        }
        if ((flags & DDOVER_SHOW) != 0) {
            if (destination == nullptr) {
                return Answer(call, DDERR_INVALIDPARAMS);
            }
            shown_ = true;
            overlayRect_ = rect != nullptr ? *rect
                                           : RECT{0, 0, static_cast<LONG>(Width()),
                                                  static_cast<LONG>(Height())};
        } else if ((flags & DDOVER_HIDE) != 0) {
            shown_ = false;
        }
        return Answer(call, isScripted ? scripted : DD_OK);
    }

    FAKE_UNSUPPORTED(UpdateOverlayDisplay, DWORD)
    FAKE_UNSUPPORTED(UpdateOverlayZOrder, DWORD, LPDIRECTDRAWSURFACE)

private:
    // A copy of one field, taken under the fake's lock.
    template <class T> T Read(const T& field) const {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        return field;
    }

    // A back buffer stays usable while its overlay is held.
    bool Usable() const override {
        return references_ > 0 || (front_ != nullptr && front_->references_ > 0);
    }

    // Makes the surface memory: a top-down DIB section, so that a device context can show it.
    void Memory() {
        if (dib_ != nullptr) {
            return;
        }
        const DWORD dibWidth = Width() + padding_;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = static_cast<LONG>(dibWidth);
        info.bmiHeader.biHeight = -static_cast<LONG>(Height());
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel_);
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dib_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<BYTE*>(bits);
        pitch_ = static_cast<LONG>(((dibWidth * bitsPerPixel_ + 31) / 32) * 4);
    }

    void Describe(DDSURFACEDESC* description) const {
        *description = DDSURFACEDESC{};
        description->dwSize = sizeof(DDSURFACEDESC);
        description->dwFlags =
            DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_LPSURFACE;
        description->dwWidth = Width();
        description->dwHeight = Height();
        description->lPitch = pitch_;
        description->lpSurface = bits_;
        description->ddpfPixelFormat = description_.ddpfPixelFormat;
        description->ddsCaps = description_.ddsCaps;
    }

    friend class SecondInterface;

    FakeRole role_;
    DDSURFACEDESC description_;
    DWORD padding_ = 0;
    SurfaceObject* back_ = nullptr;
    SurfaceObject* front_ = nullptr;
    HBITMAP dib_ = nullptr;
    BYTE* bits_ = nullptr;
    LONG pitch_ = 0;
    DWORD bitsPerPixel_;
    HDC dc_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    bool locked_ = false;
    bool shown_ = false;
    RECT overlayRect_ = {};
    int flips_ = 0;
};

// Both DirectDraw interfaces of one object; each counts its own references.
class FirstInterface;

class SecondInterface : public IDirectDraw2, public Counted {
public:
    SecondInterface(State* state, FirstInterface* first)
        : Counted(state, "ddraw2"), first_(first) {}

    ULONG TakeReference() { return AddReference(); }

    STDMETHOD(QueryInterface)(REFIID iid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override { return AddReference(); }
    STDMETHOD_(ULONG, Release)() override { return ReleaseReference(); }

    FAKE_UNSUPPORTED(Compact)
    FAKE_UNSUPPORTED(CreateClipper, DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*)
    FAKE_UNSUPPORTED(CreatePalette, DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*, IUnknown*)

    STDMETHOD(CreateSurface)
    (LPDDSURFACEDESC description, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("CreateSurface");
        if (description == nullptr) {
            return Answer("CreateSurface description=null", DDERR_INVALIDPARAMS);
        }
        state_->requests.push_back(*description);
        const DDSURFACEDESC& d = *description;
        const DDPIXELFORMAT& f = d.ddpfPixelFormat;
        const std::string call = Printf(
            "CreateSurface size=%lu flags=0x%lX width=%lu height=%lu backbuffers=%lu "
            "caps=0x%lX format=(size=%lu flags=0x%lX fourcc=0x%lX bits=%lu masks=0x%lX,0x%lX,"
            "0x%lX,0x%lX)",
            d.dwSize, d.dwFlags, d.dwWidth, d.dwHeight, d.dwBackBufferCount, d.ddsCaps.dwCaps,
            f.dwSize, f.dwFlags, f.dwFourCC, f.dwRGBBitCount, f.dwRBitMask, f.dwGBitMask,
            f.dwBBitMask, f.dwRGBAlphaBitMask);
        if (surface == nullptr || d.dwSize != sizeof(DDSURFACEDESC) ||
            (d.dwFlags & DDSD_CAPS) == 0) {
            return Answer(call, DDERR_INVALIDPARAMS);
        }
        *surface = nullptr;
        if (outer != nullptr) {
            return Answer(call, CLASS_E_NOAGGREGATION);
        }
        const DWORD caps = d.ddsCaps.dwCaps;
        if ((caps & DDSCAPS_PRIMARYSURFACE) != 0) {
            return Answer(call, CreatePrimary(d, surface));
        }
        if ((caps & DDSCAPS_OVERLAY) != 0) {
            return Answer(call, CreateOverlay(d, surface));
        }
        return Answer(call, CreateOffscreen(d, surface));
    }

    FAKE_UNSUPPORTED(DuplicateSurface, LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*)
    FAKE_UNSUPPORTED(EnumDisplayModes, DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMMODESCALLBACK)
    FAKE_UNSUPPORTED(EnumSurfaces, DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK)
    FAKE_UNSUPPORTED(FlipToGDISurface)

    STDMETHOD(GetCaps)(LPDDCAPS driver, LPDDCAPS emulation) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("GetCaps");
        const std::string call =
            "GetCaps driver=" + CapsSize(driver) + " emulation=" + CapsSize(emulation);
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Step(FakeStep::GetCaps, &scripted);
        if (isScripted && FAILED(scripted)) {
            return Answer(call, scripted);
        }
        if ((driver == nullptr && emulation == nullptr) || !KnownCapsSize(driver) ||
            !KnownCapsSize(emulation)) {
            return Answer(call, DDERR_INVALIDPARAMS);
        }
        FillCaps(driver, state_->caps, state_->maxVisibleOverlays);
        FillCaps(emulation, state_->caps & ~DDCAPS_OVERLAY, 0);
        return Answer(call, isScripted ? scripted : DD_OK);
    }

    STDMETHOD(GetDisplayMode)(LPDDSURFACEDESC description) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("GetDisplayMode");
        if (description == nullptr || description->dwSize != sizeof(DDSURFACEDESC)) {
            return Answer("GetDisplayMode", DDERR_INVALIDPARAMS);
        }
        *description = DDSURFACEDESC{};
        description->dwSize = sizeof(DDSURFACEDESC);
        description->dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
        description->dwWidth = state_->screenWidth;
        description->dwHeight = state_->screenHeight;
        description->lPitch = static_cast<LONG>(state_->screenWidth * 4);
        description->ddpfPixelFormat = kDisplayFormat;
        return Answer("GetDisplayMode", DD_OK);
    }

    FAKE_UNSUPPORTED(GetFourCCCodes, LPDWORD, LPDWORD)
    FAKE_UNSUPPORTED(GetGDISurface, LPDIRECTDRAWSURFACE*)
    FAKE_UNSUPPORTED(GetMonitorFrequency, LPDWORD)
    FAKE_UNSUPPORTED(GetScanLine, LPDWORD)
    FAKE_UNSUPPORTED(GetVerticalBlankStatus, WINBOOL*)
    FAKE_UNSUPPORTED(Initialize, GUID*)
    FAKE_UNSUPPORTED(RestoreDisplayMode)

    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("SetCooperativeLevel");
        const std::string call =
            "SetCooperativeLevel window=" + PointerText(window) + Printf(" flags=0x%lX", flags);
        HRESULT scripted = DD_OK;
        if (state_->Step(FakeStep::SetCooperativeLevel, &scripted)) {
            return Answer(call, scripted);
        }
        const bool normal = (flags & DDSCL_NORMAL) != 0;
        const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        if (normal == exclusive || (exclusive && window == nullptr)) {
            return Answer(call, DDERR_INVALIDPARAMS);
        }
        return Answer(call, DD_OK);
    }

    FAKE_UNSUPPORTED(SetDisplayMode, DWORD, DWORD, DWORD, DWORD, DWORD)
    FAKE_UNSUPPORTED(WaitForVerticalBlank, DWORD, HANDLE)
    FAKE_UNSUPPORTED(GetAvailableVidMem, LPDDSCAPS, LPDWORD, LPDWORD)

private:
    static bool KnownCapsSize(const DDCAPS* caps) {
        return caps == nullptr || caps->dwSize == sizeof(DDCAPS_DX3) ||
               caps->dwSize == sizeof(DDCAPS_DX5) || caps->dwSize == sizeof(DDCAPS_DX6) ||
               caps->dwSize == sizeof(DDCAPS_DX7);
    }
    static std::string CapsSize(const DDCAPS* caps) {
        return caps == nullptr ? "null" : Printf("%lu", caps->dwSize);
    }
    static void FillCaps(DDCAPS* caps, DWORD flags, DWORD maxVisibleOverlays) {
        if (caps == nullptr) {
            return;
        }
        const DWORD size = caps->dwSize;
        std::memset(caps, 0, size);
        caps->dwSize = size;
        caps->dwCaps = flags;
        caps->dwMaxVisibleOverlays = maxVisibleOverlays;
    }

    SurfaceObject* NewSurface(FakeRole role, const DDSURFACEDESC& description) {
        auto object = std::make_unique<SurfaceObject>(state_, role, description);
        SurfaceObject* surface = object.get();
        surface->padding_ = state_->rowPadding;
        state_->objects.push_back(std::move(object));
        state_->surfaces.push_back(surface);
        return surface;
    }

    HRESULT Hand(SurfaceObject* surface, LPDIRECTDRAWSURFACE* out, HRESULT result) {
        surface->TakeFirstReference();
        *out = surface;
        return result;
    }

    HRESULT CreatePrimary(const DDSURFACEDESC& d, LPDIRECTDRAWSURFACE* out) {
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Step(FakeStep::CreatePrimary, &scripted);
        if (isScripted && FAILED(scripted)) {
            return scripted;
        }
        if ((d.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) != 0) {
            return DDERR_INVALIDPARAMS;
        }
        for (SurfaceObject* surface : state_->surfaces) {
            if (surface->role_ == FakeRole::Primary && surface->references_ > 0) {
                return DDERR_PRIMARYSURFACEALREADYEXISTS;
            }
        }
        DDSURFACEDESC made = d;
        made.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        made.dwWidth = state_->screenWidth;
        made.dwHeight = state_->screenHeight;
        made.ddpfPixelFormat = kDisplayFormat;
        made.ddsCaps.dwCaps |= DDSCAPS_VISIBLE | DDSCAPS_VIDEOMEMORY;
        return Hand(NewSurface(FakeRole::Primary, made), out, isScripted ? scripted : DD_OK);
    }

    HRESULT CreateOverlay(const DDSURFACEDESC& d, LPDIRECTDRAWSURFACE* out) {
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Step(FakeStep::CreateOverlay, &scripted);
        if (isScripted && FAILED(scripted)) {
            return scripted;
        }
        if ((d.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
            d.dwWidth == 0 || d.dwHeight == 0) {
            return DDERR_INVALIDPARAMS;
        }
        const DDPIXELFORMAT format =
            (d.dwFlags & DDSD_PIXELFORMAT) != 0 ? d.ddpfPixelFormat : kDisplayFormat;
        bool accepted = false;
        for (const DDPIXELFORMAT& candidate : state_->accepted) {
            accepted = accepted || SameFormat(candidate, format);
        }
        if (!accepted || BitsPerPixel(format) == 0) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        const DWORD caps = d.ddsCaps.dwCaps;
        const bool flippable = (caps & DDSCAPS_FLIP) != 0;
        if (flippable && ((caps & DDSCAPS_COMPLEX) == 0 ||
                          (d.dwFlags & DDSD_BACKBUFFERCOUNT) == 0 || d.dwBackBufferCount == 0)) {
            return DDERR_INVALIDPARAMS;
        }
        if (flippable && d.dwBackBufferCount != 1) {
            return DDERR_UNSUPPORTED;
        }
        DDSURFACEDESC made = d;
        made.dwFlags |= DDSD_PIXELFORMAT;
        made.ddpfPixelFormat = format;
        if (flippable) {
            made.ddsCaps.dwCaps |= DDSCAPS_FRONTBUFFER;
        }
        SurfaceObject* front = NewSurface(FakeRole::Overlay, made);
        if (flippable) {
            DDSURFACEDESC back = made;
            back.ddsCaps.dwCaps = (caps & ~DDSCAPS_FRONTBUFFER) | DDSCAPS_BACKBUFFER;
            front->AttachBackBuffer(NewSurface(FakeRole::BackBuffer, back));
        }
        return Hand(front, out, isScripted ? scripted : DD_OK);
    }

    HRESULT CreateOffscreen(const DDSURFACEDESC& d, LPDIRECTDRAWSURFACE* out) {
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Step(FakeStep::CreateOffscreen, &scripted);
        if (isScripted && FAILED(scripted)) {
            return scripted;
        }
        if ((d.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
            d.dwWidth == 0 || d.dwHeight == 0) {
            return DDERR_INVALIDPARAMS;
        }
        DDSURFACEDESC made = d;
        if ((d.dwFlags & DDSD_PIXELFORMAT) == 0) {
            made.dwFlags |= DDSD_PIXELFORMAT;
            made.ddpfPixelFormat = kDisplayFormat;
        }
        if (made.ddpfPixelFormat.dwSize != sizeof(DDPIXELFORMAT) ||
            BitsPerPixel(made.ddpfPixelFormat) == 0) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        return Hand(NewSurface(FakeRole::Offscreen, made), out, isScripted ? scripted : DD_OK);
    }

    void LastReferenceGone() override;

    friend class FirstInterface;

    FirstInterface* first_;
};

class FirstInterface : public IDirectDraw, public Counted {
public:
    explicit FirstInterface(State* state) : Counted(state, "ddraw") { references_ = 1; }

    SecondInterface* Second() const { return second_; }

    STDMETHOD(QueryInterface)(REFIID iid, void** object) override {
        std::lock_guard<std::recursive_mutex> hold(state_->lock);
        Enter("QueryInterface");
        const bool second = IsEqualGUID(iid, IID_IDirectDraw2);
        const std::string call =
            std::string("QueryInterface ") + (second ? "IDirectDraw2" : "other interface");
        if (object == nullptr) {
            return Answer(call, E_POINTER);
        }
        *object = nullptr;
        HRESULT scripted = DD_OK;
        const bool isScripted = state_->Step(FakeStep::QueryInterface, &scripted);
        if (isScripted && FAILED(scripted)) {
            return Answer(call, scripted);
        }
        if (second) {
            if (second_ == nullptr) {
                auto made = std::make_unique<SecondInterface>(state_, this);
                second_ = made.get();
                state_->objects.push_back(std::move(made));
            }
            ++second_->references_;
            *object = static_cast<IDirectDraw2*>(second_);
        } else if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectDraw)) {
            ++references_;
            *object = static_cast<IDirectDraw*>(this);
        } else {
            return Answer(call, E_NOINTERFACE);
        }
        return Answer(call, isScripted ? scripted : S_OK);
    }
    STDMETHOD_(ULONG, AddRef)() override { return AddReference(); }
    STDMETHOD_(ULONG, Release)() override { return ReleaseReference(); }

    FAKE_UNSUPPORTED(Compact)
    FAKE_UNSUPPORTED(CreateClipper, DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*)
    FAKE_UNSUPPORTED(CreatePalette, DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*, IUnknown*)
    FAKE_UNSUPPORTED(CreateSurface, LPDDSURFACEDESC, LPDIRECTDRAWSURFACE*, IUnknown*)
    FAKE_UNSUPPORTED(DuplicateSurface, LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*)
    FAKE_UNSUPPORTED(EnumDisplayModes, DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMMODESCALLBACK)
    FAKE_UNSUPPORTED(EnumSurfaces, DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK)
    FAKE_UNSUPPORTED(FlipToGDISurface)
    FAKE_UNSUPPORTED(GetCaps, LPDDCAPS, LPDDCAPS)
    FAKE_UNSUPPORTED(GetDisplayMode, LPDDSURFACEDESC)
    FAKE_UNSUPPORTED(GetFourCCCodes, LPDWORD, LPDWORD)
    FAKE_UNSUPPORTED(GetGDISurface, LPDIRECTDRAWSURFACE*)
    FAKE_UNSUPPORTED(GetMonitorFrequency, LPDWORD)
    FAKE_UNSUPPORTED(GetScanLine, LPDWORD)
    FAKE_UNSUPPORTED(GetVerticalBlankStatus, WINBOOL*)
    FAKE_UNSUPPORTED(Initialize, GUID*)
    FAKE_UNSUPPORTED(RestoreDisplayMode)
    FAKE_UNSUPPORTED(SetCooperativeLevel, HWND, DWORD)
    FAKE_UNSUPPORTED(SetDisplayMode, DWORD, DWORD, DWORD)
    FAKE_UNSUPPORTED(WaitForVerticalBlank, DWORD, HANDLE)

    // Called when either interface lost its last reference: the object, and with it every
    // surface it made, is gone once neither is held.
    void InterfaceGone() {
        if (references_ > 0 || (second_ != nullptr && second_->References() > 0)) {
            return;
        }
        for (SurfaceObject* surface : state_->surfaces) {
            if (surface->References() > 0) {
                state_->Problem(std::string("the DirectDraw object was released while ") +
                                RoleName(surface->Role()) + " was still held");
            }
        }
    }

private:
    void LastReferenceGone() override { InterfaceGone(); }

    SecondInterface* second_ = nullptr;
};

HRESULT STDMETHODCALLTYPE SecondInterface::QueryInterface(REFIID iid, void** object) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    Enter("QueryInterface");
    if (object == nullptr) {
        return Answer("QueryInterface", E_POINTER);
    }
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectDraw2)) {
        ++references_;
        *object = static_cast<IDirectDraw2*>(this);
        return Answer("QueryInterface IDirectDraw2", S_OK);
    }
    if (IsEqualGUID(iid, IID_IDirectDraw)) {
        first_->AddRef();
        *object = static_cast<IDirectDraw*>(first_);
        return Answer("QueryInterface IDirectDraw", S_OK);
    }
    return Answer("QueryInterface other interface", E_NOINTERFACE);
}

void SecondInterface::LastReferenceGone() {
    first_->InterfaceGone();
}

HRESULT WINAPI FakeCreate(GUID* driver, IDirectDraw** object, IUnknown* outer) {
    State* state = g_State;
    std::lock_guard<std::recursive_mutex> hold(state->lock);
    const std::string call =
        "DirectDrawCreate driver=" + PointerText(driver) + " outer=" + PointerText(outer);
    HRESULT result = DD_OK;
    if (object == nullptr) {
        result = DDERR_INVALIDPARAMS;
    } else if (state->Step(FakeStep::Create, &result) && FAILED(result)) {
        *object = nullptr;
    } else if (outer != nullptr) {
        *object = nullptr;
        result = CLASS_E_NOAGGREGATION;
    } else {
        auto made = std::make_unique<FirstInterface>(state);
        *object = made.get();
        state->firsts.push_back(made.get());
        state->objects.push_back(std::move(made));
    }
    VxRecordCall((call + Printf(" -> 0x%lX", result)).c_str());
    return result;
}

} // namespace

std::string FakeDirectDraw::State::SurfaceName(IDirectDrawSurface* surface) {
    if (surface == nullptr) {
        return "null";
    }
    for (SurfaceObject* candidate : surfaces) {
        if (candidate->Interface() == surface) {
            return RoleName(candidate->Role());
        }
    }
    return "unknown";
}

DDPIXELFORMAT FakeRgbFormat(DWORD bits, DWORD red, DWORD green, DWORD blue) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = bits;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    return format;
}

DDPIXELFORMAT FakeFourCCFormat(const char code[4]) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_FOURCC;
    format.dwFourCC = MAKEFOURCC(code[0], code[1], code[2], code[3]);
    return format;
}

FakeDirectDraw::FakeDirectDraw()
    : state_(std::make_unique<State>()), create_(Seams().directDrawCreate, FakeCreate) {
    g_State = state_.get();
}

FakeDirectDraw::~FakeDirectDraw() {
    g_State = nullptr;
}

void FakeDirectDraw::SetDriverCaps(DWORD caps, DWORD maxVisibleOverlays) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    state_->caps = caps;
    state_->maxVisibleOverlays = maxVisibleOverlays;
}

void FakeDirectDraw::AdvertiseOverlays(bool advertise) {
    if (advertise) {
        SetDriverCaps(DDCAPS_OVERLAY | DDCAPS_OVERLAYFOURCC | DDCAPS_OVERLAYSTRETCH, 1);
    } else {
        SetDriverCaps(0, 0);
    }
}

void FakeDirectDraw::AcceptOverlayFormat(const DDPIXELFORMAT& format) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    state_->accepted.push_back(format);
}

void FakeDirectDraw::SetScreenSize(DWORD width, DWORD height) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    state_->screenWidth = width;
    state_->screenHeight = height;
}

void FakeDirectDraw::SetRowPadding(DWORD pixels) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    state_->rowPadding = pixels;
}

void FakeDirectDraw::QueueStepResult(FakeStep step, HRESULT result) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    state_->steps[static_cast<int>(step)].queued.push_back(result);
}

void FakeDirectDraw::SetStepResult(FakeStep step, HRESULT result) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    Script& script = state_->steps[static_cast<int>(step)];
    script.fixed = true;
    script.fixedResult = result;
}

void FakeDirectDraw::QueueResult(FakeRole role, FakeMethod method, HRESULT result) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    state_->methods[static_cast<int>(role)][static_cast<int>(method)].queued.push_back(result);
}

void FakeDirectDraw::SetResult(FakeRole role, FakeMethod method, HRESULT result) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    Script& script = state_->methods[static_cast<int>(role)][static_cast<int>(method)];
    script.fixed = true;
    script.fixedResult = result;
}

void FakeDirectDraw::ClearResults(FakeRole role, FakeMethod method) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    state_->methods[static_cast<int>(role)][static_cast<int>(method)] = Script{};
}

FakeSurface* FakeDirectDraw::Surface(FakeRole role) {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    for (auto it = state_->surfaces.rbegin(); it != state_->surfaces.rend(); ++it) {
        if ((*it)->Role() == role) {
            return *it;
        }
    }
    return nullptr;
}

int FakeDirectDraw::SurfacesCreated(FakeRole role) const {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    int count = 0;
    for (SurfaceObject* surface : state_->surfaces) {
        count += surface->Role() == role ? 1 : 0;
    }
    return count;
}

std::vector<DDSURFACEDESC> FakeDirectDraw::CreateSurfaceRequests() const {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    return state_->requests;
}

int FakeDirectDraw::OutstandingReferences() const {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    int total = 0;
    for (FirstInterface* first : state_->firsts) {
        total += first->References();
        if (first->Second() != nullptr) {
            total += first->Second()->References();
        }
    }
    for (SurfaceObject* surface : state_->surfaces) {
        total += surface->References();
    }
    return total;
}

std::vector<std::string> FakeDirectDraw::Problems() const {
    std::lock_guard<std::recursive_mutex> hold(state_->lock);
    return state_->problems;
}
