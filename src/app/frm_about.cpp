#include "app/frm_about.hpp"

#include "ui/about/about_text.hpp"

namespace tollivane::app {

void frmAbout::Form_Load(const AboutWindowControls& controls) {
  controls.lblDescription.setCaption(ui::aboutDescriptionText());
}

void frmAbout::cmdOK_Click(WindowShell& shell) { shell.unloadAbout(); }

}  // namespace tollivane::app
