#include "tests/win32ui/Capture.h"

#include <fstream>

namespace win32uitest {

int Image::Grey(int x, int y) const {
    const std::uint32_t pixel = At(x, y);
    const int red = static_cast<int>((pixel >> 16) & 0xFF);
    const int green = static_cast<int>((pixel >> 8) & 0xFF);
    const int blue = static_cast<int>(pixel & 0xFF);
    return red == green && green == blue ? red : -1;
}

Image Image::Part(const RECT& rect) const {
    Image part;
    part.width = rect.right - rect.left;
    part.height = rect.bottom - rect.top;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) part.pixels.push_back(At(x, y));
    }
    return part;
}

Image Capture(HWND window, bool repaintAll) {
    RedrawWindow(window, nullptr, nullptr,
                 (repaintAll ? RDW_INVALIDATE | RDW_ERASE : 0) | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT frame;
    GetWindowRect(window, &frame);
    Image image;
    image.width = frame.right - frame.left;
    image.height = frame.bottom - frame.top;
    if (image.width <= 0 || image.height <= 0) return image;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = GetWindowDC(window);
    HDC target = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(target, bitmap);
    BitBlt(target, 0, 0, image.width, image.height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    image.pixels.assign(pixels, pixels + static_cast<std::size_t>(image.width) *
                                             static_cast<std::size_t>(image.height));
    for (std::uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
    SelectObject(target, old);
    DeleteObject(bitmap);
    DeleteDC(target);
    ReleaseDC(window, source);
    return image;
}

std::vector<int> GreyRunsDownColumn(const Image& image, int x, int from, int to) {
    std::vector<int> runs;
    for (int y = from; y < to; ++y) {
        const int grey = image.Grey(x, y);
        if (grey < 0) return {};
        if (runs.empty() || runs.back() != grey) runs.push_back(grey);
    }
    return runs;
}

bool SaveBmp(const Image& image, const std::string& path) {
    const int rowBytes = (image.width * 3 + 3) / 4 * 4;
    const DWORD dataBytes = static_cast<DWORD>(rowBytes * image.height);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + dataBytes;
    header.biSize = sizeof header;
    header.biWidth = image.width;
    header.biHeight = image.height;  // bottom row first
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = dataBytes;
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    std::vector<char> row(static_cast<std::size_t>(rowBytes), 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t pixel = image.At(x, y);
            row[static_cast<std::size_t>(x * 3)] = static_cast<char>(pixel & 0xFF);
            row[static_cast<std::size_t>(x * 3 + 1)] = static_cast<char>((pixel >> 8) & 0xFF);
            row[static_cast<std::size_t>(x * 3 + 2)] = static_cast<char>((pixel >> 16) & 0xFF);
        }
        out.write(row.data(), rowBytes);
    }
    return static_cast<bool>(out);
}

}  // namespace win32uitest
