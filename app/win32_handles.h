// Small owners for Win32 handles: one owner, no copies, released on scope exit.
#pragma once

#include <windows.h>

#include <utility>

namespace vexmora::win32 {

template <typename Handle, typename Traits>
class Unique {
public:
    Unique() = default;
    explicit Unique(Handle handle) : handle_(handle) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : handle_(std::exchange(other.handle_, Traits::invalid())) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, Traits::invalid()));
        return *this;
    }
    ~Unique() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::invalid(); }
    Handle release() { return std::exchange(handle_, Traits::invalid()); }
    void reset(Handle handle = Traits::invalid()) {
        if (handle_ != Traits::invalid()) Traits::close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::invalid();
};

struct KeyTraits {
    static HKEY invalid() { return nullptr; }
    static void close(HKEY key) { RegCloseKey(key); }
};
struct GdiTraits {
    static HGDIOBJ invalid() { return nullptr; }
    static void close(HGDIOBJ object) { DeleteObject(object); }
};
struct WindowTraits {
    static HWND invalid() { return nullptr; }
    static void close(HWND window) { DestroyWindow(window); }
};
struct KernelTraits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};
struct MemoryDcTraits {
    static HDC invalid() { return nullptr; }
    static void close(HDC dc) { DeleteDC(dc); }
};

using UniqueKey = Unique<HKEY, KeyTraits>;
using UniqueWindow = Unique<HWND, WindowTraits>;
using UniqueHandle = Unique<HANDLE, KernelTraits>;
using UniqueMemoryDc = Unique<HDC, MemoryDcTraits>;

// A GDI object of a known kind (HFONT, HBRUSH, HRGN, HBITMAP, HPEN).
template <typename Object>
class UniqueGdi {
public:
    UniqueGdi() = default;
    explicit UniqueGdi(Object object) : owner_(object) {}
    Object get() const { return static_cast<Object>(owner_.get()); }
    explicit operator bool() const { return static_cast<bool>(owner_); }
    Object release() { return static_cast<Object>(owner_.release()); }
    void reset(Object object = nullptr) { owner_.reset(object); }

private:
    Unique<HGDIOBJ, GdiTraits> owner_;
};

using UniqueFont = UniqueGdi<HFONT>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueRegion = UniqueGdi<HRGN>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniquePen = UniqueGdi<HPEN>;

// Selects an object into a DC for one scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace vexmora::win32
