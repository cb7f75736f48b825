// What qvHotKey needs from the window that hosts it: its inner text box and a message box
// for its About box. Declared here so that the control depends on nothing else of ours.
#pragma once

#include <string>
#include <string_view>

namespace tollivane::controls {

// A single-line text box (the capture control's inner box; the main window's position
// boxes are the same kind).
class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::string text() const = 0;
  virtual void setText(std::string_view text) = 0;
};

enum class MessageIcon { None, Information };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Modal, OK only; returns when closed.
  virtual void messageBox(std::string_view prompt, MessageIcon icon, std::string_view title) = 0;
};

}  // namespace tollivane::controls
