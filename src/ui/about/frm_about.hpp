// frmAbout: the About window's content and its two handlers.
#pragma once

#include <string>

#include "platform/platform.hpp"

namespace tollivane::ui {

class frmAbout {
 public:
  // Fills the description each time the window loads.
  static void Form_Load(const platform::AboutWindowControls& controls);
  static void cmdOK_Click(platform::Shell& shell);
  static std::string descriptionText();
};

}  // namespace tollivane::ui
