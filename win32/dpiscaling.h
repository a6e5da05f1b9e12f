#pragma once

#include <windows.h>

namespace runetally::win32 {

// The resolution a window is drawn at: its monitor's in a per-monitor-aware program, else the
// system's. No window: the system's.
int WindowDpi(HWND window);

// The desktop's message font, sized for the given resolution.
LOGFONTW MessageFont(int dpi);

// The window rectangle whose client area is `client`, at the given resolution.
RECT FrameForClient(const RECT& client, DWORD style, DWORD exStyle, bool menu, int dpi);

} // namespace runetally::win32
