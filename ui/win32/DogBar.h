#pragma once
// The progress bar: its back colour everywhere, the fill colour from the
// left over the width the forms give for its value and full scale.

#include <windows.h>

#include "forms/Control.h"

namespace ui::win32 {

void DrawDogBar(HDC dc, const RECT& rect, const forms::ProgressBar& bar);

// The bar is an owner-drawn static, which nobody outside the program can
// read. This makes it answer the two queries of the system's own progress
// bars, with the same message numbers: PBM_GETRANGE gives the full scale
// (barmax; 0 for the low end) and PBM_GETPOS the fill position (barvalue).
// Both answer in the return value alone, plain numbers that cross to any
// process, so that whatever reads progress bars (an accessibility tool, a
// test driving the program from outside) learns how far the song is. A
// PBRANGE pointer that comes with PBM_GETRANGE is left alone: sent from
// another process it points into that one.
class BarQueries {
  public:
    // `bar` must outlive the window, or at least every message it gets.
    BarQueries(HWND window, const forms::ProgressBar& bar);
    ~BarQueries();
    BarQueries(const BarQueries&) = delete;
    BarQueries& operator=(const BarQueries&) = delete;

    static constexpr UINT kGetRange = WM_USER + 7;  // PBM_GETRANGE
    static constexpr UINT kGetPos = WM_USER + 8;    // PBM_GETPOS

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_;
    const forms::ProgressBar& bar_;
    WNDPROC original_ = nullptr;
};

}  // namespace ui::win32
