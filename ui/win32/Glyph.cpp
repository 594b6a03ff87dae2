#include "Glyph.h"

#include <cstdio>
#include <cstring>
#include <vector>

HICON IconFromXpm(const char* const* xpm) {
    int width = 0, height = 0, colours = 0, perPixel = 0;
    if (std::sscanf(xpm[0], "%d %d %d %d", &width, &height, &colours, &perPixel) != 4 || perPixel != 1 ||
        width <= 0 || height <= 0)
        return nullptr;
    COLORREF colour[256] = {};
    bool transparent[256] = {};
    for (int i = 1; i <= colours; ++i) {
        const auto key = static_cast<unsigned char>(xpm[i][0]);
        const char* value = std::strstr(xpm[i] + 1, "c ");
        if (!value)
            return nullptr;
        unsigned rgb = 0;
        if (std::strncmp(value + 2, "None", 4) == 0)
            transparent[key] = true;
        else if (std::sscanf(value + 2, "#%6x", &rgb) == 1)
            colour[key] = rgb;
    }
    // A 32-bit top-down colour bitmap and a 1-bit mask (set: transparent).
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = width;
    header.bV5Height = -height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP pixels = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!pixels)
        return nullptr;
    const int maskStride = ((width + 15) / 16) * 2;
    std::vector<unsigned char> mask(static_cast<std::size_t>(maskStride) * height, 0);
    auto* out = static_cast<unsigned*>(bits);
    for (int y = 0; y < height; ++y) {
        const char* row = xpm[1 + colours + y];
        for (int x = 0; x < width; ++x) {
            const auto key = static_cast<unsigned char>(row[x]);
            out[y * width + x] = transparent[key] ? 0 : 0xFF000000u | colour[key];
            if (transparent[key])
                mask[y * maskStride + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
    }
    HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, mask.data());
    ICONINFO info{TRUE, 0, 0, maskBitmap, pixels};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(maskBitmap);
    DeleteObject(pixels);
    return icon;
}
