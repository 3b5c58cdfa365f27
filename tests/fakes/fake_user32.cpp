// Stands in for user32's layered-window functions. UpdateLayeredWindow records its arguments and
// hands the call on to the system's own; SetMirrorRendering and SetWindowDisplayAffinity only
// record theirs. Variants leave functions out.
#define UpdateLayeredWindow SystemUpdateLayeredWindow
#define SetWindowDisplayAffinity SystemSetWindowDisplayAffinity
#include "call_log.h"
#undef UpdateLayeredWindow
#undef SetWindowDisplayAffinity

#if !defined(OMIT_UPDATE_LAYERED)
namespace {

const char* PointText(const POINT* point, char* text) {
    if (point == nullptr) {
        return "null";
    }
    std::sprintf(text, "%ld,%ld", point->x, point->y);
    return text;
}

const char* SizeText(const SIZE* size, char* text) {
    if (size == nullptr) {
        return "null";
    }
    std::sprintf(text, "%ldx%ld", size->cx, size->cy);
    return text;
}

} // namespace

FAKE_EXPORT BOOL WINAPI UpdateLayeredWindow(HWND window, HDC screen, POINT* position, SIZE* size,
                                            HDC source, POINT* sourcePoint, COLORREF key,
                                            BLENDFUNCTION* blend, DWORD flags) {
    char positionText[32];
    char sizeText[32];
    char sourcePointText[32];
    RecordCall("UpdateLayeredWindow %p screen=%p at=%s size=%s source=%s from=%s key=%lu "
               "blend=%u,%u,%u,%u flags=%lu",
               static_cast<void*>(window), static_cast<void*>(screen),
               PointText(position, positionText), SizeText(size, sizeText),
               source != nullptr ? "dc" : "null", PointText(sourcePoint, sourcePointText), key,
               blend->BlendOp, blend->BlendFlags, blend->SourceConstantAlpha, blend->AlphaFormat,
               flags);
    typedef BOOL(WINAPI * Fn)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                              DWORD);
    const Fn system = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "UpdateLayeredWindow")));
    return system(window, screen, position, size, source, sourcePoint, key, blend, flags);
}
#endif

#if !defined(OMIT_MIRROR)
FAKE_EXPORT BOOL WINAPI SetMirrorRendering(HWND window, DWORD flags) {
    RecordCall("SetMirrorRendering %p %lu", static_cast<void*>(window), flags);
    return TRUE;
}
#endif

FAKE_EXPORT BOOL WINAPI SetWindowDisplayAffinity(HWND window, DWORD affinity) {
    RecordCall("SetWindowDisplayAffinity %p 0x%lx", static_cast<void*>(window), affinity);
    return TRUE;
}
