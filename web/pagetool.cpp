// Makes runetally.html at build time: the page, with the main window's markup already in it so
// that the browser paints the window while it still parses and compiles the program; the
// program's WebAssembly, gzipped, as base64 in a script element that the browser does not run;
// and the program's script.
#include "mainmarkup.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

bool Read(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    text = out.str();
    return static_cast<bool>(in);
}

std::string Base64(const std::string& bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left > 1) {
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (left > 2) {
            group |= static_cast<unsigned char>(bytes[i + 2]);
        }
        out += kDigits[(group >> 18) & 63];
        out += kDigits[(group >> 12) & 63];
        out += left > 1 ? kDigits[(group >> 6) & 63] : '=';
        out += left > 2 ? kDigits[group & 63] : '=';
    }
    return out;
}

bool Replace(std::string& page, const std::string& mark, const std::string& with) {
    const std::size_t at = page.find(mark);
    if (at == std::string::npos) {
        return false;
    }
    page.replace(at, mark.size(), with);
    return true;
}

bool Write(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "runetally_pagetool: cannot write " << path << "\n";
    }
    return static_cast<bool>(out);
}

// The page with the window and, when given, the program.
int Page(const char* pagePath, const char* output, const char* scriptPath, const char* wasmPath) {
    std::string page;
    std::string script;
    std::string wasm;
    if (!Read(pagePath, page) || (scriptPath != nullptr && !Read(scriptPath, script)) ||
        (wasmPath != nullptr && !Read(wasmPath, wasm))) {
        std::cerr << "runetally_pagetool: cannot read the page, the script or the WebAssembly\n";
        return 1;
    }
    if (script.find("</script") != std::string::npos) {
        std::cerr << scriptPath << " holds </script, which would end the page's script early\n";
        return 1;
    }
    const std::string program =
        scriptPath == nullptr ? std::string()
                              : "<script type=\"application/octet-stream\" id=\"runetally-wasm\">" +
                                    Base64(wasm) + "</script><script>" + script + "</script>";
    if (!Replace(page, "<!-- the window -->", runetally::web::MainWindowMarkup()) ||
        !Replace(page, "<!-- the program -->", program)) {
        std::cerr << pagePath << " lacks <!-- the window --> or <!-- the program -->\n";
        return 1;
    }
    return Write(output, page) ? 0 : 1;
}

} // namespace

// runetally_pagetool PAGE OUTPUT SCRIPT WASM.GZ: the page.
// runetally_pagetool PAGE OUTPUT: the page's window alone, with no program (a start-up floor).
// runetally_pagetool --markup OUTPUT: the window's markup as a C++ string, for a floor module.
int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--markup") {
        return Write(argv[2], "constexpr char kMainWindowMarkup[] = R\"markup(" +
                                  runetally::web::MainWindowMarkup() + ")markup\";\n")
                   ? 0
                   : 1;
    }
    if (argc == 3 || argc == 5) {
        return Page(argv[1], argv[2], argc == 5 ? argv[3] : nullptr, argc == 5 ? argv[4] : nullptr);
    }
    std::cerr << "usage: runetally_pagetool PAGE OUTPUT [SCRIPT WASM.GZ] | --markup OUTPUT\n";
    return 2;
}
