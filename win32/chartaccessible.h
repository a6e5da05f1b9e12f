#pragma once

#include <windows.h>

namespace runetally::win32 {

// What a chart control answers WM_GETOBJECT with for its client area: the system's own object
// for it, but a chart, described by its picture's description, which screen readers speak.
LRESULT ChartAccessible(HWND chart, WPARAM wParam, LPARAM lParam);

} // namespace runetally::win32
