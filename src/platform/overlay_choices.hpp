// Ours, not Windows calls: the user's choices of how the overlay's frames reach the screen. Only
// the composite of the two ways (ChosenSurface) keeps them; no adapter sees them. Each takes
// effect with the next frame.
#pragma once

namespace tollivane::platform {

class OverlayChoices {
 public:
  virtual ~OverlayChoices() = default;
  // On: every frame goes to a window of our own that stays above the window in front. Off:
  // frames are drawn onto the window in front, and go to the window of our own only once that
  // window is seen painting over them. Where no such window can be had, always onto it.
  virtual void setOwnWindow(bool on) = 0;
  // On: the rectangle, a place on a 640 x 480 picture of the game's screen, and its text are
  // scaled to the client area of the window in front (the screen when there is none).
  virtual void setScaleToGame(bool on) = 0;
};

}  // namespace tollivane::platform
