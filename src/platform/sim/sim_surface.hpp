// The foreground window and its drawing contexts, recorded instead of drawn.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/chosen_surface.hpp"
#include "platform/drawn_text.hpp"

namespace tollivane::platform::sim {

using platform::DrawnText;

struct SurfaceCalls {
  std::uint64_t GetForegroundWindow = 0;
  std::uint64_t GetDC = 0;
  std::uint64_t ReleaseDC = 0;
  std::uint64_t SetTextColor = 0;
  std::uint64_t FillRect = 0;
  std::uint64_t DrawTextA = 0;
  std::uint64_t DeleteObject = 0;
  std::uint64_t lookAtLastClock = 0;
};

class SimSurface : public DirectSurface {
 public:
  SimSurface();

  WindowHandle GetForegroundWindow() override;
  DeviceContext GetDC(WindowHandle window) override;
  void ReleaseDC(WindowHandle window, DeviceContext dc) override;
  void SetTextColor(DeviceContext dc, ColorRef color) override;
  void FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) override;
  void DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                 unsigned format) override;
  void DeleteObject(BrushHandle object) override;
  void setTextHeight(DeviceContext dc, int pixels) override;
  std::optional<Size> clientSize(WindowHandle window) override;
  ClockSeen lookAtLastClock() override;
  bool screenSeen() const override { return screenSeen_; }

  // The window in front; 1 at first, 0 for none.
  void setForeground(WindowHandle window) { foreground_ = window; }
  WindowHandle foreground() const { return foreground_; }
  // false: GetDC hands out no context (returns 0), as when a window refuses one.
  void setContextsAvailable(bool available) { contextsAvailable_ = available; }
  bool contextsAvailable() const { return contextsAvailable_; }
  // The client area of every window (and the screen); 640 x 480 at first.
  void setClientSize(Size size) { clientSize_ = size; }
  // Whether what is drawn onto the screen (window 0) is seen; it is at first.
  void setScreenSeen(bool seen) { screenSeen_ = seen; }
  // Whether the window in front paints over every text drawn onto it, as a game does.
  void setRepainting(bool repainting) { repainting_ = repainting; }

  const SurfaceCalls& calls() const { return calls_; }
  // The text height that the last text was drawn at (0: the context's own font).
  int lastTextHeight() const { return lastTextHeight_; }
  // Contexts handed out and not yet given back.
  int contextsOut() const { return contextsOut_; }
  // ReleaseDC calls with a context that was not out, or with another window than GetDC's.
  int badReleases() const { return badReleases_; }

  ColorRef lastTextColor() const { return lastTextColor_; }
  BrushHandle lastBrush() const { return lastBrush_; }
  const Rect& lastFillRect() const { return lastFillRect_; }
  const std::string& lastText() const { return lastText_; }
  const Rect& lastTextRect() const { return lastTextRect_; }
  unsigned lastTextFormat() const { return lastTextFormat_; }
  WindowHandle lastTextWindow() const { return lastTextWindow_; }
  BrushHandle lastDeleted() const { return lastDeleted_; }

  // Told of every text drawn, while set.
  std::function<void(const DrawnText&)> onDraw;

 private:
  struct OutContext {
    DeviceContext dc = 0;
    WindowHandle window = 0;
  };
  OutContext* findOut(DeviceContext dc);

  WindowHandle foreground_ = 1;
  bool contextsAvailable_ = true;
  Size clientSize_{640, 480};
  bool drawnSinceLook_ = false;
  bool repainting_ = false;
  bool screenSeen_ = true;
  int textHeight_ = 0;
  int lastTextHeight_ = 0;
  DeviceContext nextContext_ = 0x1000;
  // Fixed room, so that a frame never allocates; one context per frame is the normal use.
  std::array<OutContext, 8> out_{};
  int contextsOut_ = 0;
  int badReleases_ = 0;
  SurfaceCalls calls_;

  ColorRef lastTextColor_ = 0;
  BrushHandle lastBrush_ = 0;
  Rect lastFillRect_;
  std::string lastText_;
  Rect lastTextRect_;
  unsigned lastTextFormat_ = 0;
  WindowHandle lastTextWindow_ = 0;
  BrushHandle lastDeleted_ = 0;
};

}  // namespace tollivane::platform::sim
