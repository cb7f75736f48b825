#include "platform/chosen_surface.hpp"

#include <algorithm>

#include "common/values.hpp"

namespace tollivane::platform {
namespace {

constexpr double kPictureWidth = 640;
constexpr double kPictureHeight = 480;

}  // namespace

void ChosenSurface::runEnds(bool framesComing) {
  if (framesComing_ && !framesComing && ownWindow_) ownWindow_->hide();
  framesComing_ = framesComing;
}

// The user's choice wins; otherwise the window in front keeps the way it was given until
// another window comes in front, which starts again by drawing onto it.
bool ChosenSurface::chooseOwnWindow(WindowHandle front) {
  if (!ownWindow_) return false;
  if (ownWindowOnly_) return true;
  if (front != front_) {
    front_ = front;
    paintedOver_ = false;
    looksPaintedOver_ = 0;
    framesToLook_ = kFramesToFirstLook;
  }
  if (wantsOwnWindow_ || paintedOver_) return true;
  // Nothing of ours is in front to draw onto, and the screen under it is hidden.
  if (front == 0 && !direct_.screenSeen()) return true;
  // The looks are at the frames drawn onto this window since the way last changed.
  if (current_ != &direct_) {
    looksPaintedOver_ = 0;
    framesToLook_ = kFramesToFirstLook;
  }
  if (--framesToLook_ > 0) return false;
  framesToLook_ = kFramesPerLook;
  looksPaintedOver_ =
      direct_.lookAtLastClock() == ClockSeen::PaintedOver ? looksPaintedOver_ + 1 : 0;
  paintedOver_ = looksPaintedOver_ >= kLooksToMove;
  return paintedOver_;
}

WindowHandle ChosenSurface::GetForegroundWindow() {
  const WindowHandle front = direct_.GetForegroundWindow();
  OverlayWay* next = chooseOwnWindow(front) ? static_cast<OverlayWay*>(ownWindow_) : &direct_;
  if (current_ == ownWindow_ && next != current_) ownWindow_->hide();
  current_ = next;
  framesComing_ = true;
  scaleTo(front);
  return current_ == &direct_ ? front : current_->GetForegroundWindow();
}

void ChosenSurface::DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                              unsigned format) {
  const Rect r = scaled(rect);
  // Unscaled, the text keeps the context's own font, as without the choice.
  if (scaling_ && factor_ > 1.0) current_->setTextHeight(dc, r.Bottom - r.Top);
  current_->DrawTextA(dc, text, count, r, format);
}

void ChosenSurface::scaleTo(WindowHandle front) {
  scaling_ = false;
  if (!scaleToGame_) return;
  const std::optional<Size> client = direct_.clientSize(front);
  if (!client || client->width <= 0 || client->height <= 0) return;
  scaling_ = true;
  client_ = *client;
  factor_ = std::max(1.0, client_.height / kPictureHeight);
}

Rect ChosenSurface::scaled(const Rect& rect) const {
  if (!scaling_) return rect;
  Rect r;
  r.Left = roundToInt32Held(static_cast<double>(rect.Left) * client_.width / kPictureWidth);
  r.Top = roundToInt32Held(static_cast<double>(rect.Top) * client_.height / kPictureHeight);
  const double width = static_cast<double>(rect.Right) - rect.Left;
  const double height = static_cast<double>(rect.Bottom) - rect.Top;
  r.Right = roundToInt32Held(static_cast<double>(r.Left) + roundToInt32Held(width * factor_));
  r.Bottom = roundToInt32Held(static_cast<double>(r.Top) + roundToInt32Held(height * factor_));
  return r;
}

}  // namespace tollivane::platform
