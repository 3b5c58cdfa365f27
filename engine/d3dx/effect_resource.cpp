#include "effect_resource.h"

#include <vector>

#include "text_scramble.h"

namespace d3dx {

HRESULT LoadEffectFromResource(HMODULE module, const char* name, IDirect3DDevice9* device,
                               std::unique_ptr<Effect>* effect, std::string* errors) {
    effect->reset();
    errors->clear();
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(10)); // RT_RCDATA
    if (found == nullptr) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    std::vector<unsigned char> text(static_cast<const unsigned char*>(data),
                                    static_cast<const unsigned char*>(data) + size);
    UnscrambleEffectText(text.data(), text.size());
    return CreateEffect(device, reinterpret_cast<const char*>(text.data()), text.size(), effect,
                        errors);
}

} // namespace d3dx
