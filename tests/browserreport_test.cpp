#include "browserreport.h"

#include <gtest/gtest.h>

using namespace runetally;

namespace {

struct AgentCase {
    const char* name;
    const char* userAgent;
    const char* browser;
    const char* system;
};

class UserAgentTest : public ::testing::TestWithParam<AgentCase> {};

TEST_P(UserAgentTest, NamesTheBrowserAndItsSystem) {
    EXPECT_EQ(BrowserOf(GetParam().userAgent), GetParam().browser);
    EXPECT_EQ(SystemOf(GetParam().userAgent), GetParam().system);
}

// Strings as the browsers send them.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Browsers, UserAgentTest, ::testing::Values(
    AgentCase{"ChromeOnWindows",
              "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/126.0.0.0 Safari/537.36", "Chrome 126.0.0.0", "Windows 10 or 11"},
    AgentCase{"EdgeIsNotChrome",
              "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/126.0.0.0 Safari/537.36 Edg/126.0.2592.68", "Microsoft Edge 126.0.2592.68",
              "Windows 10 or 11"},
    AgentCase{"OperaIsNotChrome",
              "Mozilla/5.0 (Windows NT 6.1; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/109.0.0.0 Safari/537.36 OPR/95.0.0.0", "Opera 95.0.0.0", "Windows 7"},
    AgentCase{"FirefoxOnLinux",
              "Mozilla/5.0 (X11; Linux x86_64; rv:128.0) Gecko/20100101 Firefox/128.0",
              "Firefox 128.0", "Linux"},
    AgentCase{"SafariOnMac",
              "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like "
              "Gecko) Version/17.5 Safari/605.1.15", "Safari 17.5", "macOS"},
    AgentCase{"SafariOnIPhone",
              "Mozilla/5.0 (iPhone; CPU iPhone OS 17_5_1 like Mac OS X) AppleWebKit/605.1.15 "
              "(KHTML, like Gecko) Version/17.5 Mobile/15E148 Safari/604.1", "Safari 17.5",
              "iOS 17.5.1"},
    AgentCase{"ChromeOnIPad",
              "Mozilla/5.0 (iPad; CPU OS 16_6 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like "
              "Gecko) CriOS/126.0.6478.54 Mobile/15E148 Safari/604.1", "Chrome 126.0.6478.54",
              "iPadOS 16.6"},
    AgentCase{"ChromeOnAndroid",
              "Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/126.0.6478.71 Mobile Safari/537.36", "Chrome 126.0.6478.71", "Android 14"},
    AgentCase{"Chromebook",
              "Mozilla/5.0 (X11; CrOS x86_64 14541.0.0) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/126.0.0.0 Safari/537.36", "Chrome 126.0.0.0", "ChromeOS"},
    AgentCase{"HeadlessChromium",
              "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
              "HeadlessChrome/156.0.0.0 Safari/537.36", "Chrome 156.0.0.0", "Linux"},
    AgentCase{"Unknown", "curl/8.5.0", "an unknown browser", "an unknown system"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(BrowserReport, OneFactALine) {
    const BrowserFacts facts{
        .userAgent = "Mozilla/5.0 (X11; Linux x86_64; rv:128.0) Gecko/20100101 Firefox/128.0",
        .language = "de-DE",
        .screenWidth = 1920,
        .screenHeight = 1080,
        .pixelRatio = 1.25};
    EXPECT_EQ(BrowserReport(facts), "Browser: Firefox 128.0\nOperating system: Linux\n"
                                    "Language: de-DE\nScreen: 1920 x 1080 pixels\n"
                                    "Pixel ratio: 1.25");
}

} // namespace
