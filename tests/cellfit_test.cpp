#include "cellfit.h"
#include "windowplace.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace runetally;

namespace {

// Room for `n` characters, "…" one of them.
TextFits Chars(std::size_t n) {
    return [n](std::string_view text) {
        std::size_t count = 0;
        for (char c : text) {
            count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }
        return count <= n;
    };
}

} // namespace

// Counted by hand, the ellipsis one character.
TEST(FitCell, ShortensTheMantissaAndKeepsSignLeadingDigitAndExponent) {
    const std::tuple<std::string_view, std::size_t, std::string_view> cases[] = {
        {"4.64916666666667E+16", 20, "4.64916666666667E+16"}, // fits
        {"4.64916666666667E+16", 12, "4.64916…E+16"},         // 7 digits, "…", 4
        {"-1.11022302462516E-16", 10, "-1.11…E-16"},          // sign and 3 digits
        {"-1.11022302462516E-16", 3, "-1…E-16"},              // nothing fits: the shortest
        {"4,64916666666667E+16", 9, "4,64…E+16"},             // the locale's separator
        {"169.357142857143", 8, "169.357…"},                  // fixed: the whole part stays
        {"169.357142857143", 5, "169.3…"},      // none fits: of the two shortest (6), the fixed
        {"12345678.9012345", 10, "1.234…E+07"}, // "12345678.9…" is 11
        {"123456789", 8, "1.2…E+08"},           // an integer goes scientific
        {"0.000123456789", 8, "0.00012…"},      // the first significant digit
        {"0.000123456789", 6, "1…E-04"},        // "0.0001…" is 7
        {"ArithmeticFault: Overflow", 10, "Arithmeti…"}, // words: cut at the end
        {"never", 2, "n…"},
    };
    for (const auto& [text, room, shown] : cases) {
        EXPECT_EQ(FitCell(text, Chars(room)), shown) << text << " in " << room;
    }
}

TEST(ShortestCell, IsTheLeastAColumnNeedsWithoutLosingTheExponent) {
    const std::tuple<std::string_view, std::string_view> cases[] = {
        {"-1.11022302462516E-16", "-1…E-16"},
        {"169.357142857143", "169.3…"},
        {"11", "11"},         // "1…E+01" would be wider
        {"0", "0"},           // no digit to drop
        {"Meteor", "Meteor"}, // words stay whole
    };
    for (const auto& [text, shortest] : cases) {
        EXPECT_EQ(ShortestCell(text), shortest) << text;
    }
}

TEST(FitColumns, TheWidestGiveWayAlikeDownToTheirLeast) {
    const std::vector<int> wanted{100, 50, 80};
    const std::vector<int> least{40, 50, 40};
    const std::tuple<int, std::vector<int>> cases[] = {
        {230, {100, 50, 80}}, // all fit
        {170, {60, 50, 60}},  // a cap of 60: 60 + 50 + 60
        {171, {61, 50, 60}},  // the pixel left goes to the leftmost capped
        {200, {75, 50, 75}},  // 75 + 50 + 75
        {100, {40, 50, 40}},  // the least of each, though it is 130
    };
    for (const auto& [room, widths] : cases) {
        EXPECT_EQ(FitColumns(wanted, least, room), widths) << room;
    }
}

// A 1920 x 1040 work area below a 40-pixel bar; a 980 x 600 window beside a 640 x 500 one.
TEST(Beside, RightThenLeftThenTheRoomierSideWithinTheArea) {
    const ScreenRect area{0, 40, 1920, 1040};
    const std::tuple<ScreenRect, ScreenRect> cases[] = {
        {{100, 100, 640, 500}, {740, 100, 980, 600}},  // right: 740 + 980 <= 1920
        {{1200, 100, 640, 500}, {220, 100, 980, 600}}, // left: 1200 - 980
        {{600, 700, 640, 500}, {940, 480, 980, 600}},  // neither: right has 680, up to end in it
        {{700, 100, 640, 500}, {0, 100, 980, 600}},    // neither: left has 700, right 580
    };
    for (const auto& [main, placed] : cases) {
        EXPECT_EQ(Beside(main, 980, 600, area), placed) << main.left;
    }
}

TEST(Widened, GrowsAsFarAsTheAreaHasRoom) {
    const ScreenRect area{0, 0, 1280, 1024};
    const std::tuple<ScreenRect, int, ScreenRect> cases[] = {
        {{100, 50, 980, 560}, 150, {100, 50, 1130, 560}}, // room to the right
        {{400, 50, 980, 560}, 150, {150, 50, 1130, 560}}, // moves left to end at 1280
        {{100, 50, 980, 560}, 900, {0, 50, 1280, 560}},   // the area's whole width
        {{100, 50, 980, 560}, -20, {100, 50, 980, 560}},  // never narrower
    };
    for (const auto& [window, more, widened] : cases) {
        EXPECT_EQ(Widened(window, more, area), widened) << more;
    }
}
