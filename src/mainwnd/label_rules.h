// Tab labels as they arrive from a page process's login page in WM_COPYDATA: another process's
// bytes, read defensively.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

namespace mainwnd {

// The longest label the main window keeps, in UTF-16 code units without the terminating zero.
// A label built from a decoded login payload is far shorter.
constexpr size_t kMaxTabLabelChars = 256;

// Reads the tab label from a copy-data block of cbData bytes: UTF-16 code units up to the first
// zero unit. Nothing for a null pointer, an empty or odd-sized block, a label whose zero does not
// lie within the block, or a label longer than kMaxTabLabelChars. Never reads past cbData bytes
// and makes no assumption about the block's alignment.
std::optional<std::wstring> ParseLabelCopyData(const void* data, size_t cbData);

} // namespace mainwnd
