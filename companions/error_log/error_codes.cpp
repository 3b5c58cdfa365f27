#include "error_codes.h"

#include <windows.h>

#include <d3d9.h>
#include <ddraw.h>

namespace {

struct NamedCode {
    HRESULT code;
    const char* name;
};

#define VX_NAMED(code)                                                                             \
    { code, #code }

// The results of the display calls the engine reports, which the system cannot describe.
const NamedCode kDisplayCodes[] = {
    VX_NAMED(D3DERR_DEVICELOST),
    VX_NAMED(D3DERR_DEVICENOTRESET),
    VX_NAMED(D3DERR_NOTAVAILABLE),
    VX_NAMED(D3DERR_OUTOFVIDEOMEMORY),
    VX_NAMED(D3DERR_INVALIDDEVICE),
    VX_NAMED(D3DERR_INVALIDCALL),
    VX_NAMED(D3DERR_DRIVERINVALIDCALL),
    VX_NAMED(D3DERR_DRIVERINTERNALERROR),
    VX_NAMED(D3DERR_NOTFOUND),
    VX_NAMED(D3DERR_MOREDATA),
    VX_NAMED(D3DERR_WASSTILLDRAWING),
    VX_NAMED(D3DERR_WRONGTEXTUREFORMAT),
    VX_NAMED(D3DERR_UNSUPPORTEDCOLOROPERATION),
    VX_NAMED(D3DERR_UNSUPPORTEDCOLORARG),
    VX_NAMED(D3DERR_UNSUPPORTEDALPHAOPERATION),
    VX_NAMED(D3DERR_UNSUPPORTEDALPHAARG),
    VX_NAMED(D3DERR_TOOMANYOPERATIONS),
    VX_NAMED(D3DERR_CONFLICTINGRENDERSTATE),
    VX_NAMED(D3DERR_UNSUPPORTEDTEXTUREFILTER),
    VX_NAMED(D3DERR_DEVICEREMOVED),
    VX_NAMED(D3DERR_DEVICEHUNG),
    VX_NAMED(DDERR_SURFACELOST),
    VX_NAMED(DDERR_SURFACEBUSY),
    VX_NAMED(DDERR_INVALIDPOSITION),
    VX_NAMED(DDERR_OVERLAYNOTVISIBLE),
    VX_NAMED(DDERR_NOOVERLAYHW),
    VX_NAMED(DDERR_NOOVERLAYDEST),
    VX_NAMED(DDERR_NOTAOVERLAYSURFACE),
    VX_NAMED(DDERR_OVERLAYCANTCLIP),
    VX_NAMED(DDERR_INVALIDPIXELFORMAT),
    VX_NAMED(DDERR_INVALIDRECT),
    VX_NAMED(DDERR_INVALIDOBJECT),
    VX_NAMED(DDERR_INVALIDCAPS),
    VX_NAMED(DDERR_INVALIDMODE),
    VX_NAMED(DDERR_INVALIDSURFACETYPE),
    VX_NAMED(DDERR_UNSUPPORTEDFORMAT),
    VX_NAMED(DDERR_NODIRECTDRAWHW),
    VX_NAMED(DDERR_NOFLIPHW),
    VX_NAMED(DDERR_NOBLTHW),
    VX_NAMED(DDERR_NOSTRETCHHW),
    VX_NAMED(DDERR_NOCOLORKEYHW),
    VX_NAMED(DDERR_NOCOOPERATIVELEVELSET),
    VX_NAMED(DDERR_NOEXCLUSIVEMODE),
    VX_NAMED(DDERR_EXCLUSIVEMODEALREADYSET),
    VX_NAMED(DDERR_PRIMARYSURFACEALREADYEXISTS),
    VX_NAMED(DDERR_CANTLOCKSURFACE),
    VX_NAMED(DDERR_NOTLOCKED),
    VX_NAMED(DDERR_CANTCREATEDC),
    VX_NAMED(DDERR_NODC),
    VX_NAMED(DDERR_DCALREADYCREATED),
    VX_NAMED(DDERR_NOTFLIPPABLE),
    VX_NAMED(DDERR_WRONGMODE),
    VX_NAMED(DDERR_UNSUPPORTEDMODE),
    VX_NAMED(DDERR_NOHWND),
    VX_NAMED(DDERR_NOTINITIALIZED),
};

#undef VX_NAMED

// A system result that wraps a last-error value is described as that value.
DWORD SystemMessageId(int32_t code) {
    const uint32_t value = static_cast<uint32_t>(code);
    if ((value & 0xFFFF0000u) == 0x80070000u) {
        return value & 0xFFFFu;
    }
    return value;
}

} // namespace

std::string DescribeCode(int32_t code) {
    for (const NamedCode& named : kDisplayCodes) {
        if (named.code == code) {
            return named.name;
        }
    }
    char text[512];
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
        nullptr, SystemMessageId(code), 0, text, sizeof(text), nullptr);
    std::string description(text, length < sizeof(text) ? length : 0);
    while (!description.empty() && static_cast<unsigned char>(description.back()) <= ' ') {
        description.pop_back();
    }
    return description;
}
