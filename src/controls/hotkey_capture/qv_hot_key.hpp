// qvHotKey: a text box that turns each key press into a hotkey binding and its text
// ("CTRL+ALT+F5"). Knows nothing of the program around it.
// qvHotKey, t_KeyDown, the qv* methods and the Str* words keep the program's own names;
// everything else follows ours (README, "Layout of the source").
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/pad_buttons.hpp"
#include "controls/hotkey_capture/host.hpp"
#include "controls/hotkey_capture/pad_capture.hpp"

namespace tollivane::controls {

class qvHotKey {
 public:
  // UserControl_Initialize: the default words and the binding (0, 0). `t` is the inner box.
  explicit qvHotKey(TextBox& t);

  // The key-down of the inner box: Windows virtual-key code and modifier mask (1 Shift,
  // 2 Ctrl, 4 Alt). Replaces the text and the binding; the key is not consumed.
  void t_KeyDown(std::int16_t KeyCode, std::int16_t Shift);

  // Takes a binding exactly as if its keys had been pressed.
  void qvSetHotKey(std::int16_t KeyCode, std::int16_t Shift);
  std::int16_t qvGetHotKeyCode() const { return CapturedKeyCode; }
  std::int16_t qvGetHotKeyShift() const { return CapturedShift; }

  // The pad binding beside the key binding (common/pad_buttons.hpp), 0 for none. The box
  // shows it after the key binding's text: "F5 · Pad View+A".
  void qvSetPadButtons(pad::PadButtons buttons);
  pad::PadButtons qvGetPadButtons() const { return CapturedPad; }
  // The focus has come to the box: pad presses from now on make its pad binding.
  void t_GotFocus() { padCapture_.restart(); }
  // One reading of the pads while the box has the focus.
  void t_PadsRead(std::span<const pad::PadButtons> pads);

  // The box's text; writing it leaves the binding alone.
  std::string Text() const;
  void setText(std::string_view s_Text);

  const std::string& StrControl() const { return StrControl_; }
  const std::string& StrAlt() const { return StrAlt_; }
  const std::string& StrShift() const { return StrShift_; }
  const std::string& StrAdd() const { return StrAdd_; }
  void setStrControl(std::string_view s);
  void setStrAlt(std::string_view s);
  void setStrShift(std::string_view s);
  void setStrAdd(std::string_view s);

  // The control's About box.
  static void About(MessageBoxes& host);
  static std::string aboutText();

 private:
  // The capture routine itself; t_KeyDown runs it and takes its failure path.
  void compose(std::int16_t KeyCode, std::int16_t Shift);
  // The key binding's text, then the pad binding's when there is one.
  void showPad();
  TextBox& t;
  std::string StrControl_;
  std::string StrAlt_;
  std::string StrShift_;
  std::string StrAdd_;
  std::int16_t CapturedShift = 0;
  std::int16_t CapturedKeyCode = 0;
  pad::PadButtons CapturedPad = 0;
  std::string keyText_;  // what the key routine last left in the box
  PadCapture padCapture_;
};

}  // namespace tollivane::controls
