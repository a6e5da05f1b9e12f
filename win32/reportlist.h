#pragma once

#include "formdescription.h"
#include "tablerow.h"

#include <windows.h>

#include <commctrl.h>

#include <span>

namespace runetally::win32 {

// A table drawn as a report-mode list view: whole rows selected, one at a time. It shows what it
// is given and tells what the player did; it never sorts on its own.

// Gives a new list view its columns, at their widths at the resolution. The captions of a table
// whose commands sort it take the focus, as a stop of their own before its rows: Left and Right
// move between them, and Enter or Space tells the parent LVN_COLUMNCLICK, as a click does.
void SetUpReportList(HWND list, const WidgetDesc& desc, int dpi);
// The captions of a table that sorts, which take the focus; else null.
HWND FocusableCaptions(HWND list);
// Replaces the columns, and drops the rows.
void SetReportColumns(HWND list, std::span<const ColumnDesc> columns, int dpi);
// The columns' widths, in twips, at another resolution.
void ScaleReportColumns(HWND list, std::span<const ColumnDesc> columns, int dpi);

// The rows, none selected. A row with a note keeps it for its tip and the paint of its first cell,
// until the parent passes on LVN_DELETEITEM to ForgetRowNote.
void SetReportRows(HWND list, std::span<const TableRow> rows);
// Sizes the columns to the rows just set, measured in the list's font and the bold one for a
// marked first cell, in the room the list has; a cell that must be shortened keeps what FitCell
// keeps (cellfit.h), and its row's tip its whole text. Captions show whole. Returns how many
// pixels more the list needs to show every cell whole.
int FitReport(HWND list, std::span<const TableRow> rows, HFONT bold, int dpi);
void ForgetRowNote(const NMLISTVIEW& deleted);
// Answers LVN_GETINFOTIP: a row's note is its tip.
void GiveRowTip(NMLVGETINFOTIPW& tip);
void SetReportSortMark(HWND list, int column, bool descending);
// -1 selects none.
void SelectReportRow(HWND list, int row);
int SelectedReportRow(HWND list);

// Whether a change the list reports is a row newly selected.
bool RowSelected(const NMLISTVIEW& change);
// The paint of a row: the first cell of a row with a note in the bold font.
LRESULT DrawReportRow(NMLVCUSTOMDRAW& draw, HFONT bold);

} // namespace runetally::win32
