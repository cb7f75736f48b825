// What both windows of our own share: a frame's calls only record what it draws, and its
// ReleaseDC shows it, since where the window stands and what it shows follow from the whole
// frame. A window has one context, so one frame at a time; frames never go over the window.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

// Before Xlib, whose macros (None, Status) would rewrite it.
#include "platform/chosen_surface.hpp"

#include <X11/Xlib.h>

namespace tollivane::platform::x11 {

class OwnWindow : public platform::OwnWindowSurface {
 public:
  // Our window, 0 before the first frame.
  Window window() const { return window_; }

  // The window in front of `front_`, but never ours: frames would draw over themselves.
  platform::WindowHandle GetForegroundWindow() final {
    const platform::WindowHandle front = front_.GetForegroundWindow();
    return window_ != 0 && front == window_ ? 0 : front;
  }
  void SetTextColor(platform::DeviceContext dc, platform::ColorRef color) final {
    if (inFrame(dc)) frame_.color = color;
  }
  // Nothing of ours behind the text: the game shows there, as around text drawn onto it.
  void FillRect(platform::DeviceContext, const platform::Rect&, platform::BrushHandle) final {}
  void DrawTextA(platform::DeviceContext dc, const char* text, int count,
                 const platform::Rect& rect, unsigned format) final {
    if (!inFrame(dc) || !text) return;
    if (count < 0) count = static_cast<int>(std::strlen(text));
    frame_.text.assign(text, static_cast<std::size_t>(count));
    frame_.centred = (format & platform::kDtCenter) != 0;
    frame_.rect = rect;
    frame_.drew = true;
  }
  void DeleteObject(platform::BrushHandle) final {}
  void setTextHeight(platform::DeviceContext dc, int pixels) final {
    if (inFrame(dc)) frame_.textHeight = std::max(0, pixels);
  }

 protected:
  struct Frame {
    platform::ColorRef color = 0;  // kept from frame to frame, as a context's would be
    int textHeight = 0;
    std::string text;
    platform::Rect rect{};
    bool centred = false;
    bool drew = false;
  };

  explicit OwnWindow(platform::ForegroundSurface& front) : front_(front) {
    frame_.text.reserve(32);  // the clock's text fits: frames allocate nothing
  }

  // A new frame; its context.
  platform::DeviceContext beginFrame() {
    inFrame_ = true;
    frame_.textHeight = 0;
    frame_.text.clear();
    frame_.drew = false;
    return kContext;
  }
  // The frame `dc` ends; null when it is none of ours.
  const Frame* endFrame(platform::DeviceContext dc) {
    if (!inFrame(dc)) return nullptr;
    inFrame_ = false;
    return &frame_;
  }

  Window window_ = 0;

 private:
  static constexpr platform::DeviceContext kContext = 1;
  bool inFrame(platform::DeviceContext dc) const { return dc == kContext && inFrame_; }

  platform::ForegroundSurface& front_;
  bool inFrame_ = false;
  Frame frame_;
};

}  // namespace tollivane::platform::x11
