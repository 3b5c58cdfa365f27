// Scope-bound owners for the handles, modules, views, device contexts, GDI objects and COM
// pointers both binaries use, so that no early return leaks one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>

// Owns one value of a handle-like type; Traits names the empty value and how to free it.
template <class Traits> class Scoped {
public:
    using Value = typename Traits::Value;

    Scoped() = default;
    explicit Scoped(Value value) : value_(value) {}
    ~Scoped() { Reset(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : value_(other.Release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    Value Get() const { return value_; }
    bool Valid() const { return value_ != Traits::Empty(); }
    explicit operator bool() const { return Valid(); }

    // Gives up ownership without freeing.
    Value Release() { return std::exchange(value_, Traits::Empty()); }
    void Reset(Value value = Traits::Empty()) {
        if (Valid()) {
            Traits::Free(value_);
        }
        value_ = value;
    }

private:
    Value value_ = Traits::Empty();
};

struct HandleTraits {
    using Value = HANDLE;
    static Value Empty() { return nullptr; }
    static void Free(Value h) { CloseHandle(h); }
};
struct FileTraits {
    using Value = HANDLE;
    static Value Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(Value h) { CloseHandle(h); }
};
struct ModuleTraits {
    using Value = HMODULE;
    static Value Empty() { return nullptr; }
    static void Free(Value m) { FreeLibrary(m); }
};
struct ViewTraits {
    using Value = void*;
    static Value Empty() { return nullptr; }
    static void Free(Value v) { UnmapViewOfFile(v); }
};
struct MemoryDcTraits {
    using Value = HDC;
    static Value Empty() { return nullptr; }
    static void Free(Value dc) { DeleteDC(dc); }
};
struct GdiObjectTraits {
    using Value = HGDIOBJ;
    static Value Empty() { return nullptr; }
    static void Free(Value object) { DeleteObject(object); }
};

using UniqueHandle = Scoped<HandleTraits>;     // events, threads, mappings
using UniqueFile = Scoped<FileTraits>;         // CreateFile results
using UniqueModule = Scoped<ModuleTraits>;     // LoadLibrary results
using UniqueView = Scoped<ViewTraits>;         // MapViewOfFile results
using UniqueMemoryDc = Scoped<MemoryDcTraits>; // CreateCompatibleDC results
using UniqueGdiObject = Scoped<GdiObjectTraits>;

// A device context obtained with GetDC/GetWindowDC, given back with ReleaseDC.
class WindowDc {
public:
    WindowDc(HWND window, HDC dc) : window_(window), dc_(dc) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for the scope; the previous one is selected back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Owns one reference of a COM interface.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.pointer_, nullptr));
        }
        return *this;
    }

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    bool operator==(std::nullptr_t) const { return pointer_ == nullptr; }
    bool operator!=(std::nullptr_t) const { return pointer_ != nullptr; }

    // For creation functions that write an interface pointer: releases the current one first.
    T** Put() {
        Reset();
        return &pointer_;
    }
    // Releases the reference held and takes over `owned`, a reference the caller had.
    void Reset(T* owned = nullptr) {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
        pointer_ = owned;
    }
    // Holds a reference of its own on `shared` (which may be null) in place of the one held.
    void Share(T* shared) {
        if (shared != nullptr) {
            shared->AddRef();
        }
        Reset(shared);
    }

private:
    T* pointer_ = nullptr;
};

// Looks up an exported function of a module and casts it to its pointer type.
template <class Fn> Fn BindProc(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
