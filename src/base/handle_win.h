// Move-only owners of Win32 handles, COM pointers, automation strings and values, and memory the
// system allocates for its caller: each frees what it holds exactly once.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>
#include <unknwn.h>
#include <wininet.h>

#include <string>
#include <string_view>
#include <utility>

namespace base {

// Owner of one handle; Traits gives the empty value, the validity test and the close call.
template <class Traits> class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type h) : m_h(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Type Get() const { return m_h; }
    bool IsValid() const { return Traits::IsValid(m_h); }
    explicit operator bool() const { return IsValid(); }

    // Gives up ownership without closing.
    Type Release() {
        Type h = m_h;
        m_h = Traits::Empty();
        return h;
    }
    void Reset(Type h = Traits::Empty()) {
        if (Traits::IsValid(m_h) && m_h != h) Traits::Close(m_h);
        m_h = h;
    }
    // Closes the current handle and answers the address for an API that writes a new one.
    Type* Put() {
        Reset();
        return &m_h;
    }

private:
    Type m_h = Traits::Empty();
};

namespace traits {
struct Kernel {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    // Some APIs answer INVALID_HANDLE_VALUE, others null: neither is closed.
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
// A file search begun with FindFirstFile, which answers INVALID_HANDLE_VALUE when it fails.
struct FileFind {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};
// The usual kind: null is empty, anything else is closed by CloseFn (a function of this file,
// since the address of an imported system function is no constant).
template <class T, void (*CloseFn)(T)> struct NullEmpty {
    using Type = T;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { CloseFn(h); }
};
inline void CloseRegKey(HKEY h) {
    ::RegCloseKey(h);
}
template <class T> void DeleteGdiObject(T h) {
    ::DeleteObject(h);
}
inline void DeleteDc(HDC h) {
    ::DeleteDC(h);
}
inline void DestroyImageList(HIMAGELIST h) {
    ::ImageList_Destroy(h);
}
inline void DestroyCreatedIcon(HICON h) {
    ::DestroyIcon(h);
}
inline void CloseInternet(HINTERNET h) {
    ::InternetCloseHandle(h);
}
// A wait registered with RegisterWaitForSingleObject: unregistered after its callback, if one
// is running, has returned, so that nothing the callback uses goes before it.
inline void UnregisterWait(HANDLE h) {
    ::UnregisterWaitEx(h, INVALID_HANDLE_VALUE);
}
inline void FreeBstr(BSTR h) {
    ::SysFreeString(h);
}
// Memory the system allocated with LocalAlloc for its caller (a converted security descriptor or
// SID string, an argument vector), T being the pointer type it answers.
template <class T> void FreeLocal(T h) {
    ::LocalFree(h);
}
} // namespace traits

using Handle = UniqueHandle<traits::Kernel>;
using FileFind = UniqueHandle<traits::FileFind>;
using RegKey = UniqueHandle<traits::NullEmpty<HKEY, traits::CloseRegKey>>;
template <class T> using GdiObject = UniqueHandle<traits::NullEmpty<T, traits::DeleteGdiObject<T>>>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
// From CreateCompatibleDC or CreateDC.
using MemoryDC = UniqueHandle<traits::NullEmpty<HDC, traits::DeleteDc>>;
using ImageList = UniqueHandle<traits::NullEmpty<HIMAGELIST, traits::DestroyImageList>>;
// Created icons only; never a shared LoadIcon result.
using Icon = UniqueHandle<traits::NullEmpty<HICON, traits::DestroyCreatedIcon>>;
using InternetHandle = UniqueHandle<traits::NullEmpty<HINTERNET, traits::CloseInternet>>;
using RegisteredWait = UniqueHandle<traits::NullEmpty<HANDLE, traits::UnregisterWait>>;
using Bstr = UniqueHandle<traits::NullEmpty<BSTR, traits::FreeBstr>>;
template <class T> using LocalMemory = UniqueHandle<traits::NullEmpty<T, traits::FreeLocal<T>>>;

// A string for an automation call; null when out of memory.
inline Bstr MakeBstr(std::wstring_view text) {
    return Bstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}
// The text of an automation string, which may be null (the empty string).
inline std::wstring BstrText(BSTR text) {
    return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
}

// An automation value, cleared (its string freed, its interface released) when it goes or is
// written again through Put.
class Variant {
public:
    Variant() { ::VariantInit(&m_value); }
    ~Variant() { ::VariantClear(&m_value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& o) noexcept : m_value(o.m_value) { ::VariantInit(&o.m_value); }
    Variant& operator=(Variant&& o) noexcept {
        if (this != &o) {
            ::VariantClear(&m_value);
            m_value = o.m_value;
            ::VariantInit(&o.m_value);
        }
        return *this;
    }

    const VARIANT& Get() const { return m_value; }
    // Clears the current value; answers its address for a call that writes a new one.
    VARIANT* Put() {
        ::VariantClear(&m_value);
        return &m_value;
    }

private:
    VARIANT m_value;
};

// A window's DC taken with GetDC and given back to the same window.
class WindowDC {
public:
    WindowDC() = default;
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~WindowDC() { Reset(); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&& o) noexcept : m_hwnd(o.m_hwnd), m_dc(o.m_dc) { o.m_dc = nullptr; }
    WindowDC& operator=(WindowDC&& o) noexcept {
        if (this != &o) {
            Reset();
            m_hwnd = o.m_hwnd;
            m_dc = std::exchange(o.m_dc, nullptr);
        }
        return *this;
    }
    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }
    void Reset() {
        if (m_dc) ::ReleaseDC(m_hwnd, m_dc);
        m_dc = nullptr;
    }

private:
    HWND m_hwnd = nullptr;
    HDC m_dc = nullptr;
};

// Selects an object into a DC and puts the replaced one back when it goes out of scope, so that
// the selected object can be deleted afterwards.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~SelectedObject() { Restore(); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    SelectedObject(SelectedObject&& o) noexcept : m_dc(o.m_dc), m_old(std::exchange(o.m_old, nullptr)) {}
    SelectedObject& operator=(SelectedObject&&) = delete;
    void Restore() {
        if (m_old && m_old != HGDI_ERROR) ::SelectObject(m_dc, m_old);
        m_old = nullptr;
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Reference-counted COM pointer: AddRef on copy-in, Release on reset. Move-only like the rest.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a reference of its own (the caller keeps its reference).
    static ComPtr Share(T* p) {
        if (p) p->AddRef();
        return ComPtr(p, 0);
    }
    // Adopts a reference the caller already owns.
    static ComPtr Adopt(T* p) { return ComPtr(p, 0); }
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            Reset();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void Reset() {
        if (m_p) std::exchange(m_p, nullptr)->Release();
    }
    T* Detach() { return std::exchange(m_p, nullptr); }
    // Releases the current pointer; answers the out-parameter address for a creating call.
    T** Put() {
        Reset();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    // A new reference to the same object (an explicit copy).
    ComPtr Clone() const { return Share(m_p); }
    template <class U> HRESULT As(ComPtr<U>& out) const {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(__uuidof(U), out.PutVoid());
    }

private:
    ComPtr(T* p, int) : m_p(p) {}
    T* m_p = nullptr;
};

} // namespace base
