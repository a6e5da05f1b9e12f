#pragma once

#include <windows.h>

namespace runetally::win32 {

// A picture in a sunken frame that takes the focus, as a tab stop or when clicked. It is made with
// its description's image, an ImageDesc given as the creation parameter, if it has one, and draws
// it at its top-left corner, scaled from 96 dpi.
LRESULT CALLBACK PictureProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace runetally::win32
