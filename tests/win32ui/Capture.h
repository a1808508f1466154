#pragma once
// What a window shows, read back the way a screen grab would: BitBlt from
// the window's DC into 32-bit pixels (Wine's PrintWindow paints only the
// background, so it cannot stand in).

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace win32uitest {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    // The grey level at (x, y), or -1 where red, green and blue differ.
    int Grey(int x, int y) const;
    // The part of the image inside `rect`.
    Image Part(const RECT& rect) const;
    bool operator==(const Image&) const = default;
};

// Paints what is waiting to be painted in the window and its children, then
// captures the whole window. With `repaintAll` every pixel is painted afresh
// first.
Image Capture(HWND window, bool repaintAll = true);

// The grey levels down column x from row `from` to row `to` (exclusive), as
// runs of equal colour; empty where a pixel is not grey.
std::vector<int> GreyRunsDownColumn(const Image& image, int x, int from, int to);

// Writes the image as a 24-bit BMP file.
bool SaveBmp(const Image& image, const std::string& path);

}  // namespace win32uitest
