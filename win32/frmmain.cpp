#include "frmmain.h"

#include "dpiscaling.h"
#include "frmabout.h"
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

frmMain::frmMain() : FormWindow(Form()) {
    create(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0);
    fillSpellList();
}

frmMain::~frmMain() {
    if (captionFont_ != nullptr) {
        DeleteObject(captionFont_);
    }
}

void frmMain::fillSpellList() {
    const HWND list = control(MainControl::listSpells);
    for (const SpellFormula& spell : SpellTable) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(spell.name).c_str()));
    }
}

void frmMain::laidOut(int dpi) {
    fitCaptions(dpi);
}

// The caption boxes were laid out for a small 8-point face. Where the desktop's message font
// needs more room, the captions take it a little smaller rather than lose letters.
void frmMain::fitCaptions(int dpi) {
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
        for (const WidgetDesc* caption : captions) {
            SendMessageW(controls_->get(caption->id), WM_SETFONT, reinterpret_cast<WPARAM>(fitted),
                         TRUE);
        }
    }
    ReleaseDC(handle(), dc);
    if (captionFont_ != nullptr) {
        DeleteObject(captionFont_); // no caption holds it any more
    }
    captionFont_ = fitted;
}

std::string frmMain::text(Field field) const {
    const HWND control = this->control(BoxOf(field));
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void frmMain::setText(TextBox box, std::string_view text) {
    SetWindowTextW(control(box.control()), Widen(text).c_str());
}

std::string frmMain::selectedSpell() const {
    const HWND list = control(MainControl::listSpells);
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

void frmMain::showAbout() {
    AboutForm().show();
}

void frmMain::showMessage(std::string_view text) {
    ShowMessage(text);
}

void frmMain::unload() {
    close();
}

void frmMain::clicked(ControlId id) {
    commands_.click(id.as<MainControl>());
}

bool frmMain::pasting(ControlId box, std::size_t length) {
    return commands_.pasteFits(box.as<MainControl>(), length);
}

void frmMain::unloaded() {
    MainForm().unloaded(this);
    delete this;
}

FormInstance<frmMain>& MainForm() {
    static FormInstance<frmMain> instance([] { return new frmMain(); });
    return instance;
}

} // namespace runetally::win32
