#include "browserreport.h"

#include <array>
#include <cstdio>
#include <utility>

namespace runetally {
namespace {

// The version after `token`: its digits and dots, with any '_' read as a dot.
std::string VersionAfter(std::string_view text, std::size_t at) {
    std::string version;
    for (std::size_t i = at; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            version += c;
        } else if ((c == '.' || c == '_') && !version.empty()) {
            version += '.';
        } else {
            break;
        }
    }
    while (!version.empty() && version.back() == '.') {
        version.pop_back();
    }
    return version;
}

std::string Named(std::string_view name, std::string_view text, std::size_t at) {
    const std::string version = VersionAfter(text, at);
    return version.empty() ? std::string(name) : std::string(name) + " " + version;
}

} // namespace

std::string BrowserOf(std::string_view ua) {
    // Most browsers name the ones they are built on as well: the most particular name first.
    constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kTokens{{
        {"Edg/", "Microsoft Edge"},
        {"OPR/", "Opera"},
        {"Firefox/", "Firefox"},
        {"FxiOS/", "Firefox"},
        {"CriOS/", "Chrome"},
        {"HeadlessChrome/", "Chrome"},
        {"Chrome/", "Chrome"},
    }};
    for (const auto& [token, name] : kTokens) {
        if (const std::size_t at = ua.find(token); at != std::string_view::npos) {
            return Named(name, ua, at + token.size());
        }
    }
    if (ua.find("Safari/") != std::string_view::npos) {
        const std::size_t at = ua.find("Version/");
        return at == std::string_view::npos ? "Safari" : Named("Safari", ua, at + 8);
    }
    return "an unknown browser";
}

std::string SystemOf(std::string_view ua) {
    if (const std::size_t at = ua.find("Windows NT "); at != std::string_view::npos) {
        const std::string version = VersionAfter(ua, at + 11);
        // Windows 11 still says 10.0.
        constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kWindows{{
            {"10.0", "Windows 10 or 11"},
            {"6.3", "Windows 8.1"},
            {"6.2", "Windows 8"},
            {"6.1", "Windows 7"},
        }};
        for (const auto& [number, name] : kWindows) {
            if (version == number) {
                return std::string(name);
            }
        }
        return "Windows";
    }
    if (ua.find("CrOS") != std::string_view::npos) {
        return "ChromeOS";
    }
    if (const std::size_t at = ua.find("Android"); at != std::string_view::npos) {
        return Named("Android", ua, at + 8);
    }
    for (const auto& [token, name] : std::array<std::pair<std::string_view, std::string_view>, 2>{
             {{"iPhone OS ", "iOS"}, {"iPad; CPU OS ", "iPadOS"}}}) {
        if (const std::size_t at = ua.find(token); at != std::string_view::npos) {
            return Named(name, ua, at + token.size());
        }
    }
    if (ua.find("Macintosh") != std::string_view::npos) {
        return "macOS"; // browsers name one old version for every Mac
    }
    if (ua.find("Linux") != std::string_view::npos) {
        return "Linux";
    }
    return "an unknown system";
}

std::string BrowserReport(const BrowserFacts& facts) {
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.3g", facts.pixelRatio);
    return "Browser: " + BrowserOf(facts.userAgent) +
           "\nOperating system: " + SystemOf(facts.userAgent) + "\nLanguage: " + facts.language +
           "\nScreen: " + std::to_string(facts.screenWidth) + " x " +
           std::to_string(facts.screenHeight) + " pixels\nPixel ratio: " + ratio;
}

} // namespace runetally
