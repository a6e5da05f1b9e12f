#include "mainframe.h"

#include "aboutbox.h"
#include "dpiscaling.h"
#include "spelltable.h"
#include "widetext.h"

#include <algorithm>
#include <vector>

namespace runetally::win32 {
namespace {

const FormDesc& Form() {
    return MainWindowDescription();
}

bool CaptionFits(HDC dc, const WidgetDesc& label, int dpi) {
    const std::wstring caption = Widen(label.text);
    const RECT box = ToPixels(label.rect, dpi);
    for (std::size_t from = 0; from < caption.size();) {
        const std::size_t to = std::min(caption.find(L' ', from), caption.size());
        SIZE word;
        GetTextExtentPoint32W(dc, caption.c_str() + from, static_cast<int>(to - from), &word);
        if (word.cx > box.right - box.left) {
            return false;
        }
        from = to + 1;
    }
    RECT room{0, 0, box.right - box.left, 0};
    DrawTextW(dc, caption.c_str(), -1, &room, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return room.bottom <= box.bottom - box.top;
}

} // namespace

MainFrame::MainFrame() : FormWindow(Form()) {
    create(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0);
    fillSpellList();
}

MainFrame::~MainFrame() {
    if (captionFont_ != nullptr) {
        DeleteObject(captionFont_);
    }
}

void MainFrame::fillSpellList() {
    const HWND list = controls_->get("listSpells");
    // Drawn once when filled, rather than once for each name.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const SpellFormula& spell : SpellTable) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(spell.name).c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

void MainFrame::laidOut(int dpi) {
    fitCaptions(dpi);
}

// The caption boxes were laid out for a small 8-point face. Where the desktop's message font
// needs more room, the captions take it a little smaller rather than lose letters.
void MainFrame::fitCaptions(int dpi) {
    const std::vector<const WidgetDesc*> captions = InputCaptions(Form());
    const int smallest = -MulDiv(6, dpi, 72);
    const HDC dc = GetDC(handle());
    const auto allFit = [&](HFONT font) {
        const HGDIOBJ previous = SelectObject(dc, font);
        const bool fit = std::all_of(captions.begin(), captions.end(),
                                     [&](const WidgetDesc* c) { return CaptionFits(dc, *c, dpi); });
        SelectObject(dc, previous);
        return fit;
    };
    // Mostly the captions keep the default font they were made with.
    HFONT fitted = nullptr;
    if (!allFit(controls_->defaultFont())) {
        LOGFONTW font = MessageFont(dpi);
        do {
            if (fitted != nullptr) {
                DeleteObject(fitted);
            }
            ++font.lfHeight; // heights are negative: one pixel smaller
            fitted = CreateFontIndirectW(&font);
        } while (!allFit(fitted) && font.lfHeight < smallest);
        // A window not shown yet is painted whole when it is.
        const BOOL redraw = IsWindowVisible(handle());
        for (const WidgetDesc* caption : captions) {
            SendMessageW(controls_->get(caption->name), WM_SETFONT,
                         reinterpret_cast<WPARAM>(fitted), redraw);
        }
    }
    ReleaseDC(handle(), dc);
    if (captionFont_ != nullptr) {
        DeleteObject(captionFont_); // no caption holds it any more
    }
    captionFont_ = fitted;
}

std::string MainFrame::text(std::string_view box) const {
    const HWND control = controls().get(box);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void MainFrame::setText(std::string_view box, std::string_view text) {
    SetWindowTextW(controls().get(box), Widen(text).c_str());
}

std::string MainFrame::selectedSpell() const {
    const HWND list = controls().get("listSpells");
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) {
        return {};
    }
    std::wstring name(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, selected, 0)) + 1,
                      L'\0');
    name.resize(static_cast<std::size_t>(
        SendMessageW(list, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(name.data()))));
    return Narrow(name);
}

void MainFrame::showAbout() {
    AboutForm().show();
}

void MainFrame::showMessage(std::string_view text) {
    ShowMessage(text);
}

void MainFrame::unload() {
    close();
}

void MainFrame::clicked(std::string_view name) {
    commands_.click(name);
}

void MainFrame::unloaded() {
    MainForm().unloaded(this);
    delete this;
}

FormInstance<MainFrame>& MainForm() {
    static FormInstance<MainFrame> instance([] { return new MainFrame(); });
    return instance;
}

} // namespace runetally::win32
