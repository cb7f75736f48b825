// How presses on a pad become a pad binding while a capture control has the focus: the first
// button pressed alone, or a held button and a second one pressed while it is held. Pressing
// the single button that is already the binding clears it: the keys cannot, since every key
// the box receives already means a key binding.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "common/pad_buttons.hpp"

namespace tollivane::controls {

class PadCapture {
 public:
  // Forgets what the pads held: the next readings start afresh, as when the focus arrives.
  void restart() { last_ = {}; }

  // One reading of every pad (down now or pressed since the last reading), given the binding held
  // now: the binding it makes, or nothing when it makes none.
  std::optional<pad::PadButtons> next(std::span<const pad::PadButtons> pads,
                                      pad::PadButtons current);

 private:
  std::array<pad::PadButtons, pad::kMaxPads> last_{};
};

}  // namespace tollivane::controls
