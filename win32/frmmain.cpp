#include "frmmain.h"

#include "captionfit.h"
#include "characterdialogs.h"
#include "dpiscaling.h"
#include "frmabout.h"
#include "frmplanner.h"
#include "recentcharacters.h"
#include "shellfiles.h"
#include "spelltable.h"
#include "widetext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace runetally::win32 {
namespace {

const FormDesc& Form() {
    return MainWindowDescription();
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

    // The message font's size in points; its height in pixels at this resolution says it.
    double points() const { return std::abs(font_.lfHeight) * 72.0 / dpi_; }

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
        font.lfHeight = height(points);
        return CreateFontIndirectW(&font);
    }

private:
    LONG height(double points) const {
        const auto pixels = std::lround(points * dpi_ / 72);
        return font_.lfHeight < 0 ? -pixels : pixels;
    }
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

// Files dropped on the window come as WM_DROPFILES, as DragAcceptFiles would ask, without
// loading shell32 with the program.
frmMain::frmMain() : FormWindow(Form()) {
    create(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_ACCEPTFILES);
    fillSpellList();
    commands_.Form_Load();
}

frmMain::~frmMain() {
    if (captionFont_ != nullptr) {
        DeleteObject(captionFont_);
    }
}

void frmMain::fillSpellList() {
    const HWND list = control(MainControl::listSpells);
    // Drawn once when filled, rather than once for each name.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const SpellFormula& spell : SpellTable) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(spell.name).c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

void frmMain::laidOut(int dpi) {
    fitCaptions(dpi);
}

// Where the desktop's message font needs more room than the caption boxes give, the captions
// take it a little smaller rather than lose letters; mostly they keep the font they were made with.
void frmMain::fitCaptions(int dpi) {
    GdiMeasure measure(handle(), MessageFont(dpi), dpi);
    const std::optional<double> points = FitCaptions(Form(), dpi, measure.points(), measure);
    const HFONT fitted = points ? measure.create(*points) : nullptr;
    if (fitted != nullptr) {
        // A window not shown yet is painted whole when it is.
        const BOOL redraw = IsWindowVisible(handle());
        for (const WidgetDesc* caption : InputCaptions(Form())) {
            SendMessageW(controls_->get(caption->id), WM_SETFONT, reinterpret_cast<WPARAM>(fitted),
                         redraw);
        }
    }
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

void frmMain::showPlanner() {
    PlannerForm().show();
}

MainFollower* frmMain::planner() {
    frmPlanner* planner = PlannerForm().loaded();
    return planner != nullptr ? &planner->commands() : nullptr;
}

void frmMain::showMessage(std::string_view text) {
    ShowMessage(text);
}

void frmMain::unload() {
    close();
}

// The list is filled in the spell table's order.
void frmMain::selectSpell(std::string_view name) {
    const auto found =
        std::find_if(SpellTable.begin(), SpellTable.end(),
                     [name](const SpellFormula& spell) { return spell.name == name; });
    const auto row = found == SpellTable.end() ? -1 : found - SpellTable.begin();
    SendMessageW(control(MainControl::listSpells), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    // Unlike the player's click, LB_SETCURSEL tells no one: the planner follows all the same.
    changed(MainControl::listSpells);
}

void frmMain::setCaption(std::string_view caption) {
    SetWindowTextW(handle(), Widen(caption).c_str());
}

void frmMain::setMenuItem(MainControl item, std::string_view caption, bool shown) {
    showMenuItem(item, caption, shown);
}

SaveAnswer frmMain::askToSave(std::string_view question) {
    switch (ShowMessage(question, MB_YESNOCANCEL)) {
    case IDYES:
        return SaveAnswer::Yes;
    case IDNO:
        return SaveAnswer::No;
    default:
        return SaveAnswer::Cancel;
    }
}

bool frmMain::askYesNo(std::string_view question) {
    return ShowMessage(question, MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

std::optional<std::string> frmMain::chooseCharacterToOpen() {
    return ChooseCharacterToOpen(handle());
}

std::optional<std::string> frmMain::chooseCharacterToSave(std::string_view suggestedName) {
    return ChooseCharacterToSave(handle(), suggestedName);
}

std::vector<std::string> frmMain::recentCharacters() const {
    return ReadRecentCharacters();
}

void frmMain::keepRecentCharacters(std::span<const std::string> paths) {
    KeepRecentCharacters(paths);
}

void frmMain::openCommandLineCharacter() {
    if (const std::optional<std::string> file = CommandLineFile(GetCommandLineW())) {
        commands_.openCharacter(*file);
    }
}

bool frmMain::closing() {
    return commands_.Form_QueryUnload();
}

void frmMain::dropped(HDROP drop) {
    if (const std::optional<std::string> character = DroppedCharacter(drop)) {
        commands_.openCharacter(*character);
    }
}

void frmMain::clicked(ControlId id) {
    commands_.click(id.as<MainControl>());
}

void frmMain::changed(ControlId id) {
    commands_.change(id.as<MainControl>());
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
