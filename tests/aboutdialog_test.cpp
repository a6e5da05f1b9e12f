#include "aboutdialog.h"

#include "fakeform.h"
#include "fakesysinfolauncher.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace runetally;

namespace {

using enum AboutControl;

// The dialog and the system around it, held in memory.
struct FakeAbout {
    FakeSurface form{AboutDescription()};
    FakePlatform platform;

    std::map<AboutControl, std::string> labels() const {
        std::map<AboutControl, std::string> set;
        for (const auto& [control, text] : form.written) {
            set[control.as<AboutControl>()] = text;
        }
        return set;
    }
};

TEST(AboutCommands, LoadWritesCaptionVersionAndTitle) {
    struct Case {
        AppIdentity identity;
        const char* caption;
        const char* version;
    };
    const Case cases[] = {{{"Runetally", 1, 0, 0}, "About Runetally", "Version 1.0.0"},
                          {{"", 2, 10, 3}, "About ", "Version 2.10.3"},
                          {{"R", 65535, 0, 1000}, "About R", "Version 65535.0.1000"}};
    for (const Case& c : cases) {
        FakeAbout view;
        AboutCommands(view.form, view.platform, c.identity).Form_Load();
        EXPECT_EQ(view.form.caption, c.caption);
        EXPECT_EQ(view.labels(), (std::map<AboutControl, std::string>{{lblTitle, c.identity.title},
                                                                      {lblVersion, c.version}}));
    }
    FakeAbout view;
    AboutCommands(view.form, view.platform).Form_Load();
    EXPECT_EQ(view.form.caption, "About Runetally") << "the build's own identity";
}

TEST(AboutCommands, OkUnloadsAndSystemInfoStartsTheToolOrSaysItCannot) {
    const std::string tool = "C:\\Tools\\MSINFO32.EXE";
    for (const bool installed : {true, false}) {
        fakes::FakeSysInfoLauncher launcher;
        if (installed) {
            launcher.tool = tool;
        }
        FakeAbout view;
        AboutCommands commands(view.form, view.platform, BuildIdentity(), &launcher);
        EXPECT_TRUE(commands.click(cmdSysInfo));
        EXPECT_EQ(launcher.started, installed ? std::vector{tool} : std::vector<std::string>{});
        EXPECT_EQ(view.platform.messages,
                  installed
                      ? std::vector<std::string>{}
                      : std::vector<std::string>{"System Information Is Unavailable At This Time"});
        EXPECT_EQ(view.form.closes, 0) << "the dialog stays open";
        EXPECT_TRUE(commands.click(cmdOK));
        EXPECT_EQ(view.form.closes, 1);
        EXPECT_FALSE(commands.click(lblTitle));
    }
}

TEST(AboutDescription, FocusesOkThenIconThenSystemInfo) {
    const FormDesc& form = AboutDescription();
    std::vector<std::string_view> order;
    for (ControlId stop : form.focusOrder) {
        order.push_back(form.controlName(stop));
    }
    EXPECT_EQ(order, (std::vector<std::string_view>{"cmdOK", "picIcon", "cmdSysInfo"}));
}

TEST(AboutDescription, IconIsA32PixelPictureInTheStandardPalette) {
    const std::set<std::uint32_t> standard16 = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    std::set<std::uint32_t> used;
    int transparent = 0;
    for (std::string_view row : AboutIconRows()) {
        ASSERT_EQ(row.size(), std::size_t(kIconSize));
        for (char pixel : row) {
            if (const auto colour = AboutIconColour(pixel)) {
                used.insert(colour->red << 16 | colour->green << 8 | colour->blue);
            } else {
                ++transparent;
            }
        }
    }
    EXPECT_GT(transparent, 0);
    for (std::uint32_t colour : used) {
        EXPECT_EQ(standard16.count(colour), 1u) << std::hex << colour;
    }
    for (std::uint32_t described : {0xFFFFFF, 0x800080, 0x808080, 0xFFFF00, 0x008000}) {
        EXPECT_EQ(used.count(described), 1u) << std::hex << described;
    }
}

} // namespace
