// Makes runetally.html at build time: the page, with the main window's markup already in it so
// that the browser paints the window while it still parses and compiles the program; the
// program's WebAssembly, gzipped, as base64 in a script element that the browser does not run;
// and the program's script. Run as runetally_pagetool PAGE SCRIPT WASM.GZ OUTPUT.
#include "mainmarkup.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

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

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: runetally_pagetool PAGE SCRIPT WASM.GZ OUTPUT\n";
        return 2;
    }
    std::string page;
    std::string script;
    std::string wasm;
    if (!Read(argv[1], page) || !Read(argv[2], script) || !Read(argv[3], wasm)) {
        std::cerr << "runetally_pagetool: cannot read " << argv[1] << ", " << argv[2] << " or "
                  << argv[3] << "\n";
        return 1;
    }
    if (script.find("</script") != std::string::npos) {
        std::cerr << argv[2] << " holds </script, which would end the page's script early\n";
        return 1;
    }
    if (!Replace(page, "<!-- the window -->", runetally::web::MainWindowMarkup()) ||
        !Replace(page, "<!-- the program -->",
                 "<script type=\"application/octet-stream\" id=\"runetally-wasm\">" + Base64(wasm) +
                     "</script><script>" + script + "</script>")) {
        std::cerr << argv[1] << " lacks <!-- the window --> or <!-- the program -->\n";
        return 1;
    }
    std::ofstream out(argv[4], std::ios::binary);
    out << page;
    out.close();
    if (!out) {
        std::cerr << "runetally_pagetool: cannot write " << argv[4] << "\n";
        return 1;
    }
    return 0;
}
