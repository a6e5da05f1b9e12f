#include "chartcontrol.h"

#include "chartaccessible.h"
#include "dpiscaling.h"
#include "widetext.h"

#include <algorithm>
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

class Painter {
public:
    Painter(HDC dc, int dpi) : dc_(dc), dpi_(dpi) {}

    POINT at(PointTwips p) const {
        return {MulDiv(p.x, dpi_, kTwipsPerInch), MulDiv(p.y, dpi_, kTwipsPerInch)};
    }
    int pixels(int widthAt96) const { return std::max(1, MulDiv(widthAt96, dpi_, 96)); }

    // A pen of any width with flat ends; GDI draws dashes only with geometric pens past 1 pixel.
    HPEN pen(Rgb colour, int width, bool dashed, DWORD join) const {
        const LOGBRUSH brush{BS_SOLID, ToColour(colour), 0};
        return ExtCreatePen(PS_GEOMETRIC | (dashed ? PS_DASH : PS_SOLID) | PS_ENDCAP_FLAT | join,
                            static_cast<DWORD>(pixels(width)), &brush, 0, nullptr);
    }

    void draw(const ChartPicture& picture, HFONT font) const {
        for (const ChartLine& line : picture.lines) {
            const HGDIOBJ old = SelectObject(dc_, pen(line.colour, line.width, line.dashed, 0));
            const POINT ends[] = {at(line.from), at(line.to)};
            Polyline(dc_, ends, 2);
            DeleteObject(SelectObject(dc_, old));
        }
        for (const ChartPolyline& polyline : picture.polylines) {
            std::vector<POINT> points;
            for (const PointTwips& p : polyline.points) {
                points.push_back(at(p));
            }
            const HGDIOBJ old =
                SelectObject(dc_, pen(polyline.colour, polyline.width, false, PS_JOIN_ROUND));
            Polyline(dc_, points.data(), static_cast<int>(points.size()));
            DeleteObject(SelectObject(dc_, old));
        }
        const HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(NULL_PEN));
        for (const ChartDot& dot : picture.dots) {
            const HGDIOBJ old = SelectObject(dc_, CreateSolidBrush(ToColour(dot.colour)));
            const POINT centre = at(dot.centre);
            const int radius = MulDiv(dot.radius, dpi_, kTwipsPerInch);
            Ellipse(dc_, centre.x - radius, centre.y - radius, centre.x + radius + 1,
                    centre.y + radius + 1);
            DeleteObject(SelectObject(dc_, old));
        }
        SelectObject(dc_, oldPen);
        const HGDIOBJ oldFont = SelectObject(dc_, font);
        SetBkMode(dc_, TRANSPARENT);
        for (const ChartText& text : picture.texts) {
            const std::wstring shown = Widen(text.text);
            SIZE size{};
            GetTextExtentPoint32W(dc_, shown.c_str(), static_cast<int>(shown.size()), &size);
            const POINT corner = TopLeft(at(text.at), size, text.anchor);
            SetTextColor(dc_, ToColour(text.colour));
            TextOutW(dc_, corner.x, corner.y, shown.c_str(), static_cast<int>(shown.size()));
        }
        SelectObject(dc_, oldFont);
    }

private:
    HDC dc_;
    int dpi_;
};

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
        Painter(memory, WindowDpi(chart)).draw(state->picture, state->font);
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
