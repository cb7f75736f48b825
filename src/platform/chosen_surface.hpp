// The overlay's two ways to the screen: straight onto the window in front, which a game that
// repaints covers within one of its own frames, or through a small window of our own that
// stays above it. The way is chosen between frames, so all calls of one frame reach one surface.
#pragma once

#include "platform/platform.hpp"

namespace tollivane::platform {

// A window of our own, exactly the overlay rectangle, that never takes the focus or any
// input and follows the window in front: GetDC hands out a context that places it over that
// window's client area, and FillRect and DrawTextA draw into it at the rectangle they are given.
class OwnWindowSurface : public ForegroundSurface {
 public:
  // Takes the window off the screen until the next frame draws; cheap when already hidden.
  virtual void hide() = 0;
};

class ChosenSurface final : public ForegroundSurface, public RunObserver {
 public:
  // `ownWindow` may be null where no such window can be had; then frames always go direct.
  ChosenSurface(ForegroundSurface& direct, OwnWindowSurface* ownWindow)
      : direct_(direct), ownWindow_(ownWindow), current_(&direct) {}

  void setOwnWindow(bool on) override { wantsOwnWindow_ = on; }
  void runBegins() override {}
  void runEnds(bool framesComing) override {
    if (framesComing_ && !framesComing && ownWindow_) ownWindow_->hide();
    framesComing_ = framesComing;
  }

  // A frame begins here: the way chosen since the last frame takes over.
  WindowHandle GetForegroundWindow() override {
    ForegroundSurface* next = wantsOwnWindow_ && ownWindow_ ? ownWindow_ : &direct_;
    if (current_ == ownWindow_ && next != current_) ownWindow_->hide();
    current_ = next;
    framesComing_ = true;
    return current_->GetForegroundWindow();
  }
  DeviceContext GetDC(WindowHandle window) override { return current_->GetDC(window); }
  void ReleaseDC(WindowHandle window, DeviceContext dc) override {
    current_->ReleaseDC(window, dc);
  }
  void SetTextColor(DeviceContext dc, ColorRef color) override {
    current_->SetTextColor(dc, color);
  }
  void FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) override {
    current_->FillRect(dc, rect, brush);
  }
  void DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                 unsigned format) override {
    current_->DrawTextA(dc, text, count, rect, format);
  }
  void DeleteObject(BrushHandle object) override { direct_.DeleteObject(object); }

 private:
  ForegroundSurface& direct_;
  OwnWindowSurface* ownWindow_;
  ForegroundSurface* current_;
  bool wantsOwnWindow_ = false;
  bool framesComing_ = false;
};

}  // namespace tollivane::platform
