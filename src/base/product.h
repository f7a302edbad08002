// The product's own name as windows and message boxes show it.
#pragma once

namespace base {

// Caption of the program's windows and message boxes.
inline constexpr wchar_t kAppTitle[] = L"Vexa - Tarn";

} // namespace base
