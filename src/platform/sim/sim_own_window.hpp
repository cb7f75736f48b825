// The simulation's window of our own: it stands over whichever window is in front of the
// simulated desktop, and records what is drawn into it as the direct surface records its own.
#pragma once

#include "platform/chosen_surface.hpp"
#include "platform/sim/sim_surface.hpp"

namespace tollivane::platform::sim {

class SimOwnWindow final : public OwnWindowSurface {
 public:
  explicit SimOwnWindow(SimSurface& desktop) : desktop_(desktop) {}

  // The window it stands over, as the direct surface sees it, without counting a call there.
  WindowHandle GetForegroundWindow() override;
  DeviceContext GetDC(WindowHandle window) override;
  void ReleaseDC(WindowHandle window, DeviceContext dc) override { drawn_.ReleaseDC(window, dc); }
  void SetTextColor(DeviceContext dc, ColorRef color) override { drawn_.SetTextColor(dc, color); }
  void FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) override {
    drawn_.FillRect(dc, rect, brush);
  }
  void DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                 unsigned format) override {
    drawn_.DrawTextA(dc, text, count, rect, format);
  }
  void DeleteObject(BrushHandle object) override { drawn_.DeleteObject(object); }
  void setTextHeight(DeviceContext dc, int pixels) override { drawn_.setTextHeight(dc, pixels); }
  void hide() override;

  // The calls that reached this window, recorded; its onDraw hears each text drawn.
  SimSurface& drawn() { return drawn_; }
  const SimSurface& drawn() const { return drawn_; }
  int hides() const { return hides_; }

 private:
  SimSurface& desktop_;
  SimSurface drawn_;
  int hides_ = 0;
};

}  // namespace tollivane::platform::sim
