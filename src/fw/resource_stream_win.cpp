#include "fw/resource_stream_win.h"

#include <cstring>

namespace fw {

base::ComPtr<IStream> ResourceStream(HINSTANCE instance, HRSRC res) {
    const DWORD size = res ? ::SizeofResource(instance, res) : 0;
    const HGLOBAL loaded = res ? ::LoadResource(instance, res) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0) return {};
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return {};
    void* dst = ::GlobalLock(copy);
    if (!dst) {
        ::GlobalFree(copy);
        return {};
    }
    std::memcpy(dst, data, size);
    ::GlobalUnlock(copy);
    base::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(copy, TRUE, stream.Put()))) {
        ::GlobalFree(copy);
        return {};
    }
    return stream;
}

base::ComPtr<IStream> ResourceStream(HINSTANCE instance, UINT id, const wchar_t* type) {
    return ResourceStream(instance, ::FindResourceW(instance, MAKEINTRESOURCEW(id), type));
}

} // namespace fw
