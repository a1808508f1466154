#pragma once
// A picture surface as it looks: the 64 grey bands (or the plain face colour
// before they are switched on) with its lines on top, kept as one bitmap.
// The surface window paints from it, and the labels standing on the surface
// take their ground from it, so that a label's text never smears and a line
// shows through a label as it does through a transparent one.

#include <windows.h>

#include "forms/Control.h"

namespace ui::win32 {

// Paints the 64 bands over a width x height area of `dc` at its origin.
void PaintGradient(HDC dc, int width, int height);

class SurfaceImage {
  public:
    SurfaceImage() = default;
    ~SurfaceImage();
    SurfaceImage(const SurfaceImage&) = delete;
    SurfaceImage& operator=(const SurfaceImage&) = delete;

    // Draws the surface afresh from the control's gradient and lines, at
    // width x height pixels.
    void Render(const forms::Control& picture, int width, int height);

    // Copies the part of the surface that starts at `from` (surface pixels)
    // to `dc` at `to`, `width` x `height` pixels; beyond the image the face
    // colour.
    void CopyTo(HDC dc, POINT to, POINT from, int width, int height) const;

  private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace ui::win32
