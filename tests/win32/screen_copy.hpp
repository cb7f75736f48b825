// What a window or the screen shows, copied into memory in one go (a GetPixel per pixel would
// be a round trip each), for the tests and probes that read back what was drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace tollivane::win32_tests {

class ScreenCopy {
 public:
  ScreenCopy(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    memory_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(memory_, bitmap_);
  }
  ~ScreenCopy() {
    SelectObject(memory_, old_);
    DeleteDC(memory_);
    DeleteObject(bitmap_);
  }
  ScreenCopy(const ScreenCopy&) = delete;
  ScreenCopy& operator=(const ScreenCopy&) = delete;

  // Copies the pixels at (x, y) of `window`'s client area; a null window is the screen.
  ScreenCopy& from(HWND window, int x, int y) {
    HDC source = GetDC(window);
    BitBlt(memory_, 0, 0, width_, height_, source, x, y, SRCCOPY);
    ReleaseDC(window, source);
    return *this;
  }
  // The copy, which can also be drawn on.
  HDC memory() const { return memory_; }
  // Pixel (x, y) as 0x00RRGGBB.
  std::uint32_t at(int x, int y) const {
    return static_cast<const std::uint32_t*>(bits_)[y * width_ + x] & 0xFFFFFF;
  }
  // Every pixel as 0x00RRGGBB, row by row.
  std::vector<std::uint32_t> pixels() const {
    std::vector<std::uint32_t> all;
    all.reserve(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) all.push_back(at(x, y));
    }
    return all;
  }

 private:
  int width_, height_;
  HBITMAP bitmap_ = nullptr;
  HDC memory_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};

}  // namespace tollivane::win32_tests
