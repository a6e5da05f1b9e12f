#include "frmabout.h"

#include "widetext.h"

#include <array>
#include <cstdint>

namespace runetally::win32 {
namespace {

const FormDesc& Form() {
    return AboutDescription();
}

// The icon's picture with its transparent pixels in the mask, as Windows draws icons.
HICON CreateAboutIcon() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kIconSize;
    info.bmiHeader.biHeight = -kIconSize; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    // One bit a pixel, rows of 32 bits, most significant first; a set bit is transparent.
    std::array<std::uint8_t, kIconSize * kIconSize / 8> mask{};
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            const std::optional<Rgb> rgb = AboutIconColour(AboutIconRows()[y][x]);
            pixels[y * kIconSize + x] =
                rgb ? 0xFF000000u | rgb->red << 16 | rgb->green << 8 | rgb->blue : 0;
            if (!rgb) {
                mask[(y * kIconSize + x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    const HBITMAP maskBitmap = CreateBitmap(kIconSize, kIconSize, 1, 1, mask.data());
    ICONINFO icon{TRUE, 0, 0, maskBitmap, colour};
    const HICON created = CreateIconIndirect(&icon);
    DeleteObject(maskBitmap);
    DeleteObject(colour);
    return created;
}

} // namespace

frmAbout::frmAbout(const AppIdentity& identity, SysInfoLauncher* launcher)
    : FormWindow(Form()), commands_(*this, identity, launcher), icon_(CreateAboutIcon()) {
    // A fixed frame that keeps its close box, and a taskbar button though it has no owner.
    create(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
           WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW);
    controls_->setPicture(AboutControl::picIcon, icon_);
}

frmAbout::~frmAbout() {
    DestroyIcon(icon_);
}

void frmAbout::setCaption(std::string_view text) {
    SetWindowTextW(handle(), Widen(text).c_str());
}

void frmAbout::setLabel(AboutControl label, std::string_view text) {
    SetWindowTextW(control(label), Widen(text).c_str());
}

void frmAbout::showMessage(std::string_view text) {
    ShowMessage(text);
}

void frmAbout::unload() {
    close();
}

void frmAbout::clicked(ControlId id) {
    commands_.click(id.as<AboutControl>());
}

void frmAbout::unloaded() {
    AboutForm().unloaded(this);
    delete this;
}

FormInstance<frmAbout>& AboutForm() {
    static FormInstance<frmAbout> instance([] {
        auto* dialog = new frmAbout();
        dialog->Form_Load();
        return dialog;
    });
    return instance;
}

} // namespace runetally::win32
