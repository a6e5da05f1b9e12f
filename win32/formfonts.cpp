#include "formfonts.h"

#include "captionfit.h"
#include "dpiscaling.h"
#include "widetext.h"

#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <optional>

namespace runetally::win32 {
namespace {

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// A widget's own face at its size in plain style; the default face when it is not installed.
HFONT CreateOwnFont(const FontDesc& desc, int dpi) {
    LOGFONTW font = MessageFont(dpi);
    font.lfHeight = -MulDiv(desc.pointSize, dpi, 72);
    font.lfWidth = 0;
    font.lfWeight = FW_NORMAL;
    font.lfItalic = font.lfUnderline = font.lfStrikeOut = FALSE;
    const std::wstring face = Widen(desc.face);
    if (face.size() < LF_FACESIZE && FaceInstalled(face.c_str())) {
        wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    }
    return CreateFontIndirectW(&font);
}

// The message font at any size, measured on the window's device context.
class GdiMeasure : public TextMeasure {
public:
    GdiMeasure(HWND window, const LOGFONTW& font, int dpi)
        : window_(window), dc_(GetDC(window)), font_(font), dpi_(dpi) {}
    ~GdiMeasure() override {
        if (previous_ != nullptr) {
            SelectObject(dc_, previous_);
            DeleteObject(selected_);
        }
        ReleaseDC(window_, dc_);
    }
    GdiMeasure(const GdiMeasure&) = delete;
    GdiMeasure& operator=(const GdiMeasure&) = delete;

    int width(std::string_view text, double points) override {
        select(points);
        const std::wstring wide = Widen(text);
        SIZE size{};
        GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
        return size.cx;
    }
    int wrappedHeight(std::string_view text, double points, int width) override {
        select(points);
        RECT room{0, 0, width, 0};
        DrawTextW(dc_, Widen(text).c_str(), -1, &room, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return room.bottom;
    }

    // The font at that size, for the caller to keep.
    HFONT create(double points) const {
        LOGFONTW font = font_;
        const auto pixels = std::lround(points * dpi_ / 72);
        font.lfHeight = font_.lfHeight < 0 ? -pixels : pixels;
        return CreateFontIndirectW(&font);
    }

private:
    // One font at a time: the search measures each size many times over before the next.
    void select(double points) {
        if (previous_ != nullptr && points == selectedPoints_) {
            return;
        }
        const HFONT font = create(points);
        const HGDIOBJ old = SelectObject(dc_, font);
        if (previous_ == nullptr) {
            previous_ = old;
        } else {
            DeleteObject(selected_);
        }
        selected_ = font;
        selectedPoints_ = points;
    }

    HWND window_;
    HDC dc_;
    LOGFONTW font_;
    int dpi_;
    HGDIOBJ previous_ = nullptr;
    HFONT selected_ = nullptr;
    double selectedPoints_ = 0;
};

} // namespace

FormFonts::FormFonts(HWND window, const FormDesc& form, int dpi) : widgets_(form.widgets.size()) {
    const LOGFONTW message = MessageFont(dpi);
    LOGFONTW bold = message;
    bold.lfWeight = FW_BOLD;
    default_ = CreateFontIndirectW(&message);
    bold_ = CreateFontIndirectW(&bold);
    owned_ = {default_, bold_};
    for (std::size_t i = 0; i < form.widgets.size(); ++i) {
        if (form.widgets[i].font != nullptr) {
            owned_.push_back(widgets_[i] = CreateOwnFont(*form.widgets[i].font, dpi));
        }
    }
    // Where the desktop's message font needs more room than the caption boxes give, the captions
    // take it a little smaller rather than lose letters; mostly they keep the message font.
    const std::vector<const WidgetDesc*> captions = InputCaptions(form);
    if (captions.empty()) {
        return;
    }
    // The message font's size in points: its height in pixels at this resolution says it.
    GdiMeasure measure(window, message, dpi);
    if (const std::optional<double> points =
            FitCaptions(form, dpi, std::abs(message.lfHeight) * 72.0 / dpi, measure)) {
        owned_.push_back(measure.create(*points));
        for (const WidgetDesc* caption : captions) {
            widgets_[caption->id.index] = owned_.back();
        }
    }
}

FormFonts::~FormFonts() {
    for (HFONT font : owned_) {
        DeleteObject(font);
    }
}

HFONT FormFonts::of(const WidgetDesc& widget) const {
    const HFONT own = widgets_[widget.id.index];
    return own != nullptr ? own : default_;
}

} // namespace runetally::win32
