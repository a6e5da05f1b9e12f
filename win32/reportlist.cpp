#include "reportlist.h"

#include "cellfit.h"
#include "widetext.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace runetally::win32 {
namespace {

constexpr wchar_t kCurrentCaption[] = L"RunetallyCurrentCaption";
constexpr UINT_PTR kCaptionKeys = 1;

int CurrentCaption(HWND header) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(header, kCurrentCaption))) - 1;
}

void DrawCaptionFocus(HWND header) {
    RECT item{};
    if (SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(CurrentCaption(header)),
                     reinterpret_cast<LPARAM>(&item))) {
        InflateRect(&item, -2, -2);
        const HDC dc = GetDC(header);
        DrawFocusRect(dc, &item);
        ReleaseDC(header, dc);
    }
}

void MoveToCaption(HWND header, int caption) {
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    caption = std::clamp(caption, 0, std::max(count - 1, 0));
    SetPropW(header, kCurrentCaption, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(caption + 1)));
    InvalidateRect(header, nullptr, TRUE);
    // A screen reader hears the caption that has the focus.
    if (GetFocus() == header) {
        NotifyWinEvent(EVENT_OBJECT_FOCUS, header, OBJID_CLIENT, caption + 1);
    }
}

// Tells the table's parent that the caption was pressed, as a click on it does.
void PressCaption(HWND header) {
    const HWND list = GetParent(header);
    NMLISTVIEW pressed{};
    pressed.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), LVN_COLUMNCLICK};
    pressed.iItem = -1;
    pressed.iSubItem = CurrentCaption(header);
    SendMessageW(GetParent(list), WM_NOTIFY, pressed.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&pressed));
}

LRESULT CALLBACK CaptionKeys(HWND header, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter, like the arrows, is the captions' own, not the window's.
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        const bool enter = key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
        return DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_LEFT:
        case VK_RIGHT:
            MoveToCaption(header, CurrentCaption(header) + (wParam == VK_LEFT ? -1 : 1));
            return 0;
        case VK_HOME:
        case VK_END:
            MoveToCaption(header, wParam == VK_HOME ? 0 : INT_MAX);
            return 0;
        case VK_RETURN:
        case VK_SPACE:
            PressCaption(header);
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        MoveToCaption(header, CurrentCaption(header));
        break;
    case WM_PAINT: {
        const LRESULT painted = DefSubclassProc(header, message, wParam, lParam);
        if (GetFocus() == header) {
            DrawCaptionFocus(header);
        }
        return painted;
    }
    case WM_NCDESTROY:
        RemovePropW(header, kCurrentCaption);
        RemoveWindowSubclass(header, CaptionKeys, kCaptionKeys);
        break;
    }
    return DefSubclassProc(header, message, wParam, lParam);
}

// What a row keeps for its paint and its tip: whether its first cell is bold (a row with a note),
// and its tip, the note and the whole text of every cell shown shortened.
struct RowData {
    bool marked = false;
    std::wstring note;
    std::wstring tip;
};

RowData* DataOf(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return reinterpret_cast<RowData*>(item.lParam);
}

// Text widths in a device context, in the font selected into it.
int TextWidth(HDC dc, std::string_view text) {
    const std::wstring wide = Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

} // namespace

void SetUpReportList(HWND list, const WidgetDesc& desc, int dpi) {
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    SetReportColumns(list, desc.columns, dpi);
    if (desc.sortable) {
        const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        SetPropW(header, kCurrentCaption, reinterpret_cast<HANDLE>(INT_PTR{1}));
        SetWindowSubclass(header, CaptionKeys, kCaptionKeys, 0);
    }
}

void SetReportColumns(HWND list, std::span<const ColumnDesc> columns, int dpi) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ColumnDesc& column = columns[i];
        std::wstring caption = Widen(column.caption);
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        item.fmt = column.alignRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
        item.cx = TwipsToPixels(column.width, dpi);
        item.pszText = caption.data();
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&item));
    }
    // The caption that has the focus stays among those there are.
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (GetPropW(header, kCurrentCaption) != nullptr &&
        CurrentCaption(header) >= static_cast<int>(columns.size())) {
        MoveToCaption(header, static_cast<int>(columns.size()) - 1);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

HWND FocusableCaptions(HWND list) {
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header != nullptr && GetPropW(header, kCurrentCaption) != nullptr ? header : nullptr;
}

void ScaleReportColumns(HWND list, std::span<const ColumnDesc> columns, int dpi) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, i, TwipsToPixels(columns[i].width, dpi));
    }
}

void SetReportRows(HWND list, std::span<const TableRow> rows) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const TableRow& row = rows[r];
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            std::wstring text = Widen(row.cells[c]);
            LVITEMW item{};
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = text.data();
            if (c == 0) {
                item.mask = LVIF_TEXT | LVIF_PARAM;
                const std::wstring note = Widen(row.note);
                item.lParam = reinterpret_cast<LPARAM>(new RowData{!row.note.empty(), note, note});
                SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            } else {
                item.mask = LVIF_TEXT;
                SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
            }
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

int FitReport(HWND list, std::span<const TableRow> rows, HFONT bold, int dpi) {
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    if (columns <= 0) {
        return 0;
    }
    const HDC dc = GetDC(list);
    const auto plain = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    const auto captionFont = reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, captionFont != nullptr ? captionFont : plain);
    // A list view's cell and caption keep about six pixels at each side at 96 dpi; a sort
    // mark takes about eighteen more.
    const int margin = MulDiv(14, dpi, 96);
    std::vector<int> wanted(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        wchar_t text[256] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_FORMAT;
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(header, HDM_GETITEMW, c, reinterpret_cast<LPARAM>(&item));
        const bool sorted = (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
        wanted[static_cast<std::size_t>(c)] =
            TextWidth(dc, Narrow(text)) + margin + (sorted ? MulDiv(18, dpi, 96) : 0);
    }
    std::vector<int> least = wanted; // captions show whole
    const auto width = [&](bool inBold, std::string_view text) {
        SelectObject(dc, inBold ? bold : plain);
        return TextWidth(dc, text) + margin;
    };
    for (const TableRow& row : rows) {
        for (std::size_t c = 0; c < row.cells.size() && c < wanted.size(); ++c) {
            const bool inBold = !row.note.empty() && c == 0;
            wanted[c] = std::max(wanted[c], width(inBold, row.cells[c]));
            least[c] = std::max(least[c], width(inBold, ShortestCell(row.cells[c])));
        }
    }
    RECT client{};
    GetClientRect(list, &client);
    const bool scrolls = (GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) != 0;
    const int room = client.right - (scrolls ? 0 : GetSystemMetrics(SM_CXVSCROLL));
    const std::vector<int> widths = FitColumns(wanted, least, room);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int c = 0; c < columns; ++c) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, c, widths[static_cast<std::size_t>(c)]);
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const TableRow& row = rows[r];
        RowData* data = DataOf(list, static_cast<int>(r));
        std::wstring tip = data != nullptr ? data->note : std::wstring();
        for (std::size_t c = 0; c < row.cells.size() && c < widths.size(); ++c) {
            const bool inBold = !row.note.empty() && c == 0;
            const std::string shown = FitCell(row.cells[c], [&](std::string_view text) {
                return width(inBold, text) <= widths[c];
            });
            if (shown != row.cells[c]) {
                tip += (tip.empty() ? L"" : L"\n") + Widen(row.cells[c]);
            }
            std::wstring text = Widen(shown);
            LVITEMW item{};
            item.iSubItem = static_cast<int>(c);
            item.pszText = text.data();
            SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
        }
        if (data != nullptr) {
            data->tip = std::move(tip);
        }
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    return std::max(0, std::accumulate(wanted.begin(), wanted.end(), 0) - room);
}

void ForgetRowNote(const NMLISTVIEW& deleted) {
    delete reinterpret_cast<RowData*>(deleted.lParam);
}

void GiveRowTip(NMLVGETINFOTIPW& tip) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = tip.iItem;
    SendMessageW(tip.hdr.hwndFrom, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (const auto* data = reinterpret_cast<const RowData*>(item.lParam);
        data != nullptr && !data->tip.empty() && tip.cchTextMax > 0) {
        tip.pszText[data->tip.copy(tip.pszText, static_cast<std::size_t>(tip.cchTextMax) - 1)] =
            L'\0';
    }
}

void SetReportSortMark(HWND list, int column, bool descending) {
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) {
            item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
        }
        SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

void SelectReportRow(HWND list, int row) {
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    if (row < 0) {
        return;
    }
    LVITEMW selected{};
    selected.state = selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&selected));
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
}

int SelectedReportRow(HWND list) {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool RowSelected(const NMLISTVIEW& change) {
    return change.iItem >= 0 && (change.uChanged & LVIF_STATE) &&
           (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED);
}

LRESULT DrawReportRow(NMLVCUSTOMDRAW& draw, HFONT bold) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return draw.nmcd.lItemlParam != 0 &&
                       reinterpret_cast<const RowData*>(draw.nmcd.lItemlParam)->marked
                   ? CDRF_NOTIFYSUBITEMDRAW
                   : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        SelectObject(draw.nmcd.hdc, draw.iSubItem == 0
                                        ? bold
                                        : reinterpret_cast<HFONT>(SendMessageW(
                                              draw.nmcd.hdr.hwndFrom, WM_GETFONT, 0, 0)));
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

} // namespace runetally::win32
