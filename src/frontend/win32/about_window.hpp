// The About window, owned by the main window and modal to it while it is open.
#pragma once

#include <memory>

#include "app/event_table.hpp"
#include "app/window_controls.hpp"
#include "frontend/win32/top_window.hpp"
#include "frontend/win32/win32_window_controls.hpp"

namespace tollivane::frontend::win32 {

class Win32Shell;

class AboutWindow final : public TopWindow {
 public:
  AboutWindow(HWND owner, app::EventTable& events, Win32Shell& shell);
  ~AboutWindow() override;

  const app::AboutWindowControls& controls() const { return controls_; }
  void show();
  bool open() const { return handle() != nullptr; }
  void close();

 private:
  void onClick(std::string_view control) override;
  LRESULT onMessage(UINT message, WPARAM w, LPARAM l) override;

  app::EventTable& events_;
  Win32Shell& shell_;
  std::unique_ptr<Win32WindowControls> lookup_;
  app::AboutWindowControls controls_;
};

}  // namespace tollivane::frontend::win32
