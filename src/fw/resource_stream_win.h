// A resource of the executable (or any loaded module) as a COM stream, as image decoders take it.
#pragma once
#include <windows.h>
#include <objidl.h>

#include "base/handle_win.h"

namespace fw {

// A stream over a copy of the resource's bytes (the stream frees the copy); empty when the
// resource is null, empty or cannot be loaded.
base::ComPtr<IStream> ResourceStream(HINSTANCE instance, HRSRC res);
// The same for the resource of this id and type.
base::ComPtr<IStream> ResourceStream(HINSTANCE instance, UINT id, const wchar_t* type);

} // namespace fw
