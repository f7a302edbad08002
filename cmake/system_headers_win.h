// The product's precompiled header. Only <windows.h>: a precompiled header loses the "system
// header" status of what it includes, and with the C++ library in it GCC 12 reports a false
// -Warray-bounds inside the MinGW <wchar.h> at -O2, which no diagnostic pragma silences.
#pragma once
#include <windows.h>
