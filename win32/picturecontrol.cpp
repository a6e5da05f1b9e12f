#include "picturecontrol.h"

#include "dpiscaling.h"
#include "formdescription.h"

#include <cstdint>
#include <vector>

namespace runetally::win32 {
namespace {

constexpr int kEdge = 2; // a sunken frame's thickness

// A picture's image, scaled from 96 dpi as it is drawn.
struct Picture {
    HICON icon = nullptr;
    int width = 0;
    int height = 0;
};

// The image as an icon, with its transparent pixels in the mask, as Windows draws icons.
Picture* NewPicture(const ImageDesc& image) {
    const int height = static_cast<int>(image.rows.size());
    const int width = height > 0 ? static_cast<int>(image.rows.front().size()) : 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    // One bit a pixel, most significant first, rows of whole 16-bit words; a set bit is
    // transparent.
    const int stride = (width + 15) / 16 * 2;
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(stride * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::optional<Rgb> rgb = image.colour(image.rows[y][x]);
            pixels[y * width + x] =
                rgb ? 0xFF000000u | rgb->red << 16 | rgb->green << 8 | rgb->blue : 0;
            if (!rgb) {
                mask[y * stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    const HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, mask.data());
    ICONINFO icon{TRUE, 0, 0, maskBitmap, colour};
    auto* picture = new Picture{CreateIconIndirect(&icon), width, height};
    DeleteObject(maskBitmap);
    DeleteObject(colour);
    return picture;
}

} // namespace

LRESULT CALLBACK PictureProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* picture = reinterpret_cast<Picture*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE:
        if (const auto* image = static_cast<const ImageDesc*>(
                reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams)) {
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(NewPicture(*image)));
        }
        break;
    case WM_NCDESTROY:
        if (picture != nullptr) {
            DestroyIcon(picture->icon);
            delete picture;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT frame;
        GetClientRect(window, &frame);
        DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
        if (picture != nullptr) {
            const int dpi = WindowDpi(window);
            DrawIconEx(dc, kEdge, kEdge, picture->icon, MulDiv(picture->width, dpi, 96),
                       MulDiv(picture->height, dpi, 96), 0, nullptr, DI_NORMAL);
        }
        if (GetFocus() == window) {
            InflateRect(&frame, -kEdge, -kEdge);
            DrawFocusRect(dc, &frame);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace runetally::win32
