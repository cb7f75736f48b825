// The overlay's two ways to the screen: straight onto the window in front, which a game that
// repaints covers within one of its own frames, or through a small window of our own that
// stays above it. The way is chosen between frames, so all calls of one frame reach one surface;
// it is the window of our own when the user asks for it, or once the screen is seen to show
// something else than the clock drawn onto the window in front.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/overlay_choices.hpp"
#include "platform/platform.hpp"

namespace tollivane::platform {

struct Size {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A way to the screen as the overlay draws through it.
class OverlayWay : public ForegroundSurface {
 public:
  // Text drawn into `dc` from now on uses the largest font whose digits fit `pixels` rows and
  // whose widest clock fits the rectangle's width (text_fit.hpp). 0, as every new context
  // starts: the context's own font, or a smaller one where the clock would not fit the
  // rectangle whole in it.
  virtual void setTextHeight(DeviceContext dc, int pixels) = 0;
};

// What the screen shows where the last frame drew its text.
enum class ClockSeen {
  Unknown,     // nothing drawn since the last look, or the screen could not be read
  Shown,       // the text as it was drawn
  PaintedOver  // something else: the window repaints over what is drawn onto it
};

// Drawing straight onto the window in front.
class DirectSurface : public OverlayWay {
 public:
  // The size of `window`'s client area (the screen's for 0); nothing when it is gone.
  virtual std::optional<Size> clientSize(WindowHandle window) = 0;
  // Reads back the screen as the user sees it where the latest DrawTextA since the last look
  // drew, and compares it with that text. Costly (a round trip to the display): call it at
  // most every 500 ms, between frames.
  virtual ClockSeen lookAtLastClock() = 0;
  // Whether what is drawn onto the screen itself (window 0) can be seen: not under XWayland,
  // whose root window no one sees; there 0 in front means a native Wayland window is. Known
  // without asking the display.
  virtual bool screenSeen() const = 0;
};

// A window of our own, exactly the overlay rectangle, that never takes the focus or any
// input and follows the window in front: GetDC hands out a context that places it over that
// window's client area, and FillRect and DrawTextA draw into it at the rectangle they are given.
class OwnWindowSurface : public OverlayWay {
 public:
  // Takes the window off the screen until the next frame draws; cheap when already hidden.
  virtual void hide() = 0;
};

class ChosenSurface final : public ForegroundSurface, public OverlayChoices, public RunObserver {
 public:
  // Frames between two looks at the screen: 500 ms at one frame every 100 ms or later.
  static constexpr int kFramesPerLook = 5;
  // The first look comes sooner, so that two in a row, both finding the clock painted over,
  // move it within a second; one alone may be a window passing over the game once.
  static constexpr int kFramesToFirstLook = 3;
  static constexpr int kLooksToMove = 2;

  // `ownWindow` may be null where no such window can be had; then frames always go direct.
  // `ownWindowOnly`: where nothing drawn onto the window in front is seen (gamescope), every
  // frame goes to `ownWindow`, never looking at the screen.
  ChosenSurface(DirectSurface& direct, OwnWindowSurface* ownWindow, bool ownWindowOnly = false)
      : direct_(direct), ownWindow_(ownWindow), ownWindowOnly_(ownWindowOnly), current_(&direct) {}

  void setOwnWindow(bool on) override { wantsOwnWindow_ = on; }
  void setScaleToGame(bool on) override { scaleToGame_ = on; }
  void runEnds(bool framesComing) override;

  // A frame begins here: the way chosen since the last frame takes over.
  WindowHandle GetForegroundWindow() override;
  DeviceContext GetDC(WindowHandle window) override { return current_->GetDC(window); }
  void ReleaseDC(WindowHandle window, DeviceContext dc) override {
    current_->ReleaseDC(window, dc);
  }
  void SetTextColor(DeviceContext dc, ColorRef color) override {
    current_->SetTextColor(dc, color);
  }
  void FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) override {
    current_->FillRect(dc, scaled(rect), brush);
  }
  void DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                 unsigned format) override;
  void DeleteObject(BrushHandle object) override { direct_.DeleteObject(object); }

  // Whether this frame goes to the window of our own.
  bool drawsIntoOwnWindow() const { return current_ == ownWindow_; }
  // The choices as last made, and whether the last run's end said frames are still to come.
  bool ownWindowChosen() const { return wantsOwnWindow_; }
  bool scalesToGame() const { return scaleToGame_; }
  bool framesComing() const { return framesComing_; }

 private:
  bool chooseOwnWindow(WindowHandle front);
  void scaleTo(WindowHandle front);
  Rect scaled(const Rect& rect) const;

  DirectSurface& direct_;
  OwnWindowSurface* ownWindow_;
  bool ownWindowOnly_;
  OverlayWay* current_;
  bool wantsOwnWindow_ = false;
  bool scaleToGame_ = false;
  bool framesComing_ = false;

  // The window in front at the last frame, and whether it was seen painting over the clock.
  WindowHandle front_ = 0;
  bool paintedOver_ = false;
  int looksPaintedOver_ = 0;  // in a row, since the last that found the clock shown
  int framesToLook_ = kFramesToFirstLook;

  // This frame's scale: a 640 x 480 picture onto the client area.
  bool scaling_ = false;
  Size client_{};
  double factor_ = 1.0;  // of the rectangle's size and the text's height, never below 1
};

}  // namespace tollivane::platform
