#include "aboutdialog.h"

#include "desktoplauncher.h"

#include <string>

namespace runetally {
namespace {

using enum AboutControl;

constexpr Rgb kBlack{0, 0, 0};

constexpr std::string_view kDescription =
    "add *(20-range/20) to get your area spell dmg for the mini area spells like "
    "tornado/fireball.  The Drain spells do not work correctly i think, so you will have to "
    "wait for version 2 for that one :)";

constexpr std::string_view kDisclaimer = "Warning: This program does not contain viruses if "
                                         "downloaded from runetally.example or zelkorfans.example";

// A white box with a purple doorway and a grey shadow, its yellow lid lifted off and a green
// block above.
constexpr std::array<std::string_view, kIconSize> kIconRows{
    "                                ", "            ........            ",
    "            .lllllG.            ", "            .lGGGGG.            ",
    "            .lGGGGG.            ", "            .lGGGGG.            ",
    "            .GGGGGG.            ", "            ........            ",
    "                                ", "                                ",
    "   ........................     ", "   .yyyyyyyyyyyyyyyyyyyyyy.     ",
    "   .oooooooooooooooooooooo.     ", "   ........................     ",
    "                                ", "                                ",
    "     .....................      ", "     .sssssssssssssssssss.      ",
    "     .wwwwwwwwwwwwwwwwwww.ggg   ", "     .wwwwww.......wwwwww.ggg   ",
    "     .wwwwww.ppppp.wwwwww.ggg   ", "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .wwwww.ppppppp.wwwww.ggg   ", "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .wwwww.ppppppp.wwwww.ggg   ", "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .wwwww.ppppppp.wwwww.ggg   ", "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .....................ggg   ", "       gggggggggggggggggggggg   ",
    "       gggggggggggggggggggggg   ", "                                ",
};

// Colours of the standard 16-colour palette.
constexpr std::optional<Rgb> IconColour(char pixel) {
    switch (pixel) {
    case '.':
        return Rgb{0, 0, 0};
    case 'w':
        return Rgb{255, 255, 255};
    case 'p':
        return Rgb{128, 0, 128};
    case 'g':
        return Rgb{128, 128, 128};
    case 's':
        return Rgb{192, 192, 192};
    case 'y':
        return Rgb{255, 255, 0};
    case 'o':
        return Rgb{128, 128, 0};
    case 'G':
        return Rgb{0, 128, 0};
    case 'l':
        return Rgb{0, 255, 0};
    default:
        return std::nullopt;
    }
}

constexpr ImageDesc kIcon{kIconRows, IconColour};

constexpr WidgetDesc Label(AboutControl label, TwipsRect rect, std::optional<Rgb> colour,
                           std::string_view text = {}) {
    return {.id = label, .kind = WidgetKind::Label, .rect = rect, .text = text, .colour = colour};
}

constexpr std::array kWidgets{
    WidgetDesc{
        .id = picIcon, .kind = WidgetKind::Picture, .rect = {240, 240, 540, 540}, .image = &kIcon},
    WidgetDesc{.id = cmdOK,
               .kind = WidgetKind::PushButton,
               .rect = {4245, 2625, 1260, 345},
               .text = "OK",
               .defaultButton = true,
               .cancelButton = true},
    WidgetDesc{.id = cmdSysInfo,
               .kind = WidgetKind::PushButton,
               .rect = {4260, 3075, 1245, 345},
               .text = "&System Info..."},
    // The two lines, one pixel apart, draw an etched rule: grey above, white below.
    WidgetDesc{.id = Line1_1,
               .kind = WidgetKind::Line,
               .rect = {90, 2445, 5564, 0},
               .colour = Rgb{128, 128, 128},
               .lineWidth = 1},
    Label(lblDescription, {1050, 1125, 3885, 1170}, kBlack, kDescription),
    Label(lblTitle, {1050, 240, 3885, 480}, kBlack),
    WidgetDesc{.id = Line1_0,
               .kind = WidgetKind::Line,
               .rect = {105, 2460, 5549, 0},
               .colour = Rgb{255, 255, 255},
               .lineWidth = 2},
    Label(lblVersion, {1050, 780, 3885, 225}, std::nullopt),
    Label(lblDisclaimer, {255, 2625, 3870, 825}, kBlack, kDisclaimer),
};

constexpr std::array<ControlId, 3> kFocusOrder{cmdOK, picIcon, cmdSysInfo};

constexpr FormDesc kAbout{.name = "frmAbout",
                          .caption = {}, // the load step writes it
                          .clientWidth = 5730,
                          .clientHeight = 3555,
                          .fixedFrame = true,
                          .screenPosition = PointTwips{2340, 1935},
                          .controlNames = ControlNames(AboutControl{}),
                          .widgets = kWidgets,
                          .focusOrder = kFocusOrder};
static_assert(FollowsItsList(kAbout));

} // namespace

const FormDesc& AboutDescription() {
    return kAbout;
}

const std::array<std::string_view, kIconSize>& AboutIconRows() {
    return kIconRows;
}

std::optional<Rgb> AboutIconColour(char pixel) {
    return IconColour(pixel);
}

void AboutCommands::Form_Load() {
    form_.setCaption("About " + identity_.title);
    form_.setText(lblVersion, "Version " + std::to_string(identity_.major) + "." +
                                  std::to_string(identity_.minor) + "." +
                                  std::to_string(identity_.revision));
    form_.setText(lblTitle, identity_.title);
}

void AboutCommands::cmdOK_Click() {
    form_.close();
}

void AboutCommands::cmdSysInfo_Click() {
    DesktopLauncher desktop;
    StartSysInfo(launcher_ != nullptr ? *launcher_ : desktop,
                 [this](std::string_view text) { platform_.showMessage(text); });
}

bool AboutCommands::click(AboutControl control) {
    switch (control) {
    case cmdOK:
        cmdOK_Click();
        return true;
    case cmdSysInfo:
        cmdSysInfo_Click();
        return true;
    default:
        return false;
    }
}

} // namespace runetally
