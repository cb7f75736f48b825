// frmAbout: the About window's two handlers (Form_Load and cmdOK_Click keep the program's
// own names).
#pragma once

#include "app/window_controls.hpp"

namespace tollivane::app {

class frmAbout {
 public:
  // Fills the description each time the window loads.
  static void Form_Load(const AboutWindowControls& controls);
  static void cmdOK_Click(WindowShell& shell);
};

}  // namespace tollivane::app
