#include "frontend/sim/sim_controls.hpp"

namespace tollivane::frontend::sim {

// Out of line: a string assigned from a view and inlined into a caller makes GCC 12 at -O3
// warn falsely (-Wrestrict) about the copy.
void SimTextBox::setText(std::string_view text) { text_ = text; }
void SimMenuEntry::setCaption(std::string_view caption) { caption_ = caption; }
void SimLabel::setCaption(std::string_view caption) { caption_ = caption; }

}  // namespace tollivane::frontend::sim
