#pragma once

#include "formdescription.h"

#include <windows.h>

#include <vector>

namespace runetally::win32 {

// The fonts of a form's widgets at one resolution, owned here: the desktop's message font, its
// bold form, a widget's own face, and the input captions' font where the message font needs more
// room than their boxes give. A form laid out anew takes a new set once its widgets hold it.
class FormFonts {
public:
    FormFonts(HWND window, const FormDesc& form, int dpi);
    ~FormFonts();
    FormFonts(const FormFonts&) = delete;
    FormFonts& operator=(const FormFonts&) = delete;

    HFONT of(const WidgetDesc& widget) const;
    HFONT bold() const { return bold_; }

private:
    HFONT default_ = nullptr;
    HFONT bold_ = nullptr;
    std::vector<HFONT> widgets_; // by the widget's index: its own font, or null for the default
    std::vector<HFONT> owned_;
};

} // namespace runetally::win32
