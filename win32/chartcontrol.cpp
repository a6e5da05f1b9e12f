#include "chartcontrol.h"

#include "chartaccessible.h"
#include "dpiscaling.h"
#include "widetext.h"

#include <algorithm>
#include <span>
#include <vector>

namespace runetally::win32 {
namespace {

struct ChartState {
    ChartPicture picture;
    HFONT font = nullptr;
};

ChartState* StateOf(HWND chart) {
    return reinterpret_cast<ChartState*>(GetWindowLongPtrW(chart, GWLP_USERDATA));
}

COLORREF ToColour(const Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// Where the anchor's point of a box that large must stand for its top-left corner to be here.
POINT TopLeft(POINT at, SIZE size, TextAnchor anchor) {
    const int column = static_cast<int>(anchor) % 3; // left, centre, right
    const int row = static_cast<int>(anchor) / 3;    // top, middle, bottom
    return {at.x - size.cx * column / 2, at.y - size.cy * row / 2};
}

// The picture at the resolution: lines, polylines, dots, then texts.
void Draw(HDC dc, int dpi, const ChartPicture& picture, HFONT font) {
    const auto at = [dpi](PointTwips p) {
        return POINT{MulDiv(p.x, dpi, kTwipsPerInch), MulDiv(p.y, dpi, kTwipsPerInch)};
    };
    // A pen of any width with flat ends and round joins; GDI draws dashes only with geometric
    // pens past 1 pixel.
    const auto stroke = [&](std::span<const PointTwips> points, Rgb colour, int width,
                            bool dashed) {
        const LOGBRUSH brush{BS_SOLID, ToColour(colour), 0};
        const HGDIOBJ old = SelectObject(
            dc, ExtCreatePen(
                    PS_GEOMETRIC | (dashed ? PS_DASH : PS_SOLID) | PS_ENDCAP_FLAT | PS_JOIN_ROUND,
                    static_cast<DWORD>(std::max(1, MulDiv(width, dpi, 96))), &brush, 0, nullptr));
        std::vector<POINT> pixels;
        for (const PointTwips& p : points) {
            pixels.push_back(at(p));
        }
        Polyline(dc, pixels.data(), static_cast<int>(pixels.size()));
        DeleteObject(SelectObject(dc, old));
    };
    for (const ChartLine& line : picture.lines) {
        const PointTwips ends[] = {line.from, line.to};
        stroke(ends, line.colour, line.width, line.dashed);
    }
    for (const ChartPolyline& polyline : picture.polylines) {
        stroke(polyline.points, polyline.colour, polyline.width, polyline.dashed);
    }
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    for (const ChartDot& dot : picture.dots) {
        const HGDIOBJ old = SelectObject(dc, CreateSolidBrush(ToColour(dot.colour)));
        const POINT centre = at(dot.centre);
        const int radius = MulDiv(dot.radius, dpi, kTwipsPerInch);
        Ellipse(dc, centre.x - radius, centre.y - radius, centre.x + radius + 1,
                centre.y + radius + 1);
        DeleteObject(SelectObject(dc, old));
    }
    SelectObject(dc, oldPen);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (const ChartText& text : picture.texts) {
        const std::wstring shown = Widen(text.text);
        SIZE size{};
        GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
        const POINT corner = TopLeft(at(text.at), size, text.anchor);
        SetTextColor(dc, ToColour(text.colour));
        TextOutW(dc, corner.x, corner.y, shown.c_str(), static_cast<int>(shown.size()));
    }
    SelectObject(dc, oldFont);
}

// Painted whole into a bitmap, then copied: a chart redrawn as the window is resized never
// flickers.
void Paint(HWND chart) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(chart, &paint);
    RECT area;
    GetClientRect(chart, &area);
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap =
        CreateCompatibleBitmap(dc, std::max(1L, area.right), std::max(1L, area.bottom));
    const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    FillRect(memory, &area, GetSysColorBrush(COLOR_WINDOW));
    if (const ChartState* state = StateOf(chart)) {
        Draw(memory, WindowDpi(chart), state->picture, state->font);
    }
    if (GetFocus() == chart) {
        RECT focus = area;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(memory, &focus);
    }
    BitBlt(dc, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(chart, &paint);
}

void Tell(HWND chart, WORD code) {
    SendMessageW(GetParent(chart), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(chart), code),
                 reinterpret_cast<LPARAM>(chart));
}

} // namespace

LRESULT CALLBACK ChartProcedure(HWND chart, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(chart, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ChartState));
        break;
    case WM_NCDESTROY:
        delete StateOf(chart);
        SetWindowLongPtrW(chart, GWLP_USERDATA, 0);
        break;
    case WM_SETFONT:
        StateOf(chart)->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) {
            InvalidateRect(chart, nullptr, FALSE);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(StateOf(chart)->font);
    case WM_GETOBJECT:
        return ChartAccessible(chart, wParam, lParam);
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_PAINT:
        Paint(chart);
        return 0;
    case WM_SIZE:
        Tell(chart, kChartResized);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(chart, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(chart);
        return 0;
    case WM_KEYDOWN:
        if (wParam == 'C' && GetKeyState(VK_CONTROL) < 0) {
            Tell(chart, kChartCopy);
            return 0;
        }
        break;
    }
    return DefWindowProcW(chart, message, wParam, lParam);
}

void SetChartPicture(HWND chart, const ChartPicture& picture) {
    ChartPicture& shown = StateOf(chart)->picture;
    const bool described = picture.description != shown.description;
    shown = picture;
    InvalidateRect(chart, nullptr, FALSE);
    if (described) {
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, chart, OBJID_CLIENT, CHILDID_SELF);
    }
}

const ChartPicture& ChartPictureOf(HWND chart) {
    return StateOf(chart)->picture;
}

} // namespace runetally::win32
