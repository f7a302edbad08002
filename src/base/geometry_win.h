// The portable rectangle and the platform's RECT, one into the other.
#pragma once
#include <windows.h>

#include "base/geometry.h"

namespace base {

inline RECT ToRECT(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

inline Rect FromRECT(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace base
