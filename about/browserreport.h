#pragma once

#include <string>
#include <string_view>

namespace runetally {

// What a browser tells a page about itself and its system, for the page's System Info.
struct BrowserFacts {
    std::string userAgent;
    std::string language;
    int screenWidth = 0; // CSS pixels
    int screenHeight = 0;
    double pixelRatio = 1;
};

// The browser and its version named in a user-agent string: "Firefox 128.0", "Chrome 126.0.0.0";
// "an unknown browser" when none is named.
std::string BrowserOf(std::string_view userAgent);

// The operating system named in a user-agent string: "Windows 10 or 11", "macOS", "Android 14",
// "iOS 17.5", "ChromeOS", "Linux"; "an unknown system" when none is named.
std::string SystemOf(std::string_view userAgent);

// The message System Info shows in a browser, one fact a line.
std::string BrowserReport(const BrowserFacts& facts);

} // namespace runetally
