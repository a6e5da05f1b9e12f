#include "dpiscaling.h"

namespace runetally::win32 {
namespace {

// The per-monitor functions exist from Windows 10 1607 on; older systems get the system-wide
// answers, so they are looked up rather than imported.
template <class Function> Function* UserFunction(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
}
// Named by the declaration alone, which imports nothing.
#define RUNETALLY_USER_FUNCTION(name) UserFunction<decltype(name)>(#name)

int SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

} // namespace

int WindowDpi(HWND window) {
    static const auto forWindow = RUNETALLY_USER_FUNCTION(GetDpiForWindow);
    const int dpi = forWindow != nullptr ? static_cast<int>(forWindow(window)) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

LOGFONTW MessageFont(int dpi) {
    static const auto forDpi = RUNETALLY_USER_FUNCTION(SystemParametersInfoForDpi);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi != nullptr &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        return metrics.lfMessageFont;
    }
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
    return metrics.lfMessageFont;
}

RECT FrameForClient(const RECT& client, DWORD style, DWORD exStyle, bool menu, int dpi) {
    static const auto forDpi = RUNETALLY_USER_FUNCTION(AdjustWindowRectExForDpi);
    RECT frame = client;
    if (forDpi == nullptr || !forDpi(&frame, style, menu, exStyle, static_cast<UINT>(dpi))) {
        frame = client;
        AdjustWindowRectEx(&frame, style, menu, exStyle);
    }
    return frame;
}

} // namespace runetally::win32
