#pragma once

#include "chartpicture.h"

#include <windows.h>

namespace runetally::win32 {

// A chart control: draws the picture its window's commands worked out, scaled from twips at the
// window's resolution, in the font it is given. It takes the focus, and tells its parent through
// WM_COMMAND with these codes when Ctrl+C is pressed on it and when it took another size. Its
// class redraws it whole at every size; it keeps its picture until it is destroyed.
inline constexpr WORD kChartCopy = 0x7F00;
inline constexpr WORD kChartResized = 0x7F01;

LRESULT CALLBACK ChartProcedure(HWND chart, UINT message, WPARAM wParam, LPARAM lParam);
void SetChartPicture(HWND chart, const ChartPicture& picture);
const ChartPicture& ChartPictureOf(HWND chart);

} // namespace runetally::win32
