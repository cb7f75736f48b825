#include "controls/hotkey_capture/qv_hot_key.hpp"

#include <new>

#include "common/virtual_keys.hpp"
#include "controls/hotkey_capture/key_names.hpp"
#include "release/release_info.hpp"

namespace tollivane::controls {

namespace {

// Codes up to Alt never form a binding: modifiers, Backspace, Tab, Enter and the like.
constexpr std::int16_t kHighestUnboundCode = vk::kAlt;

}  // namespace

qvHotKey::qvHotKey(TextBox& box)
    : t(box), StrControl_("CTRL"), StrAlt_("ALT"), StrShift_("SHIFT"), StrAdd_("+") {}

void qvHotKey::t_KeyDown(std::int16_t KeyCode, std::int16_t Shift) {
  try {
    compose(KeyCode, Shift);
    keyText_ = t.text();
    if (CapturedPad != 0) showPad();
  } catch (const std::bad_alloc&) {
    // The failure path: a routine that cannot finish leaves the control cleared.
    CapturedShift = 0;
    CapturedKeyCode = 0;
    t.setText("");
    keyText_.clear();
  }
}

void qvHotKey::showPad() {
  std::string shown = keyText_;
  if (!shown.empty()) shown += " \xC2\xB7 ";  // a middle dot, in UTF-8 as every text of ours
  shown += pad::padBindingText(CapturedPad);
  t.setText(shown);
}

void qvHotKey::qvSetPadButtons(pad::PadButtons buttons) {
  if (buttons == CapturedPad) return;
  CapturedPad = buttons;
  if (buttons != 0) return showPad();
  t.setText(keyText_);
}

void qvHotKey::t_PadsRead(std::span<const pad::PadButtons> pads) {
  if (const auto made = padCapture_.next(pads, CapturedPad)) qvSetPadButtons(*made);
}

void qvHotKey::compose(std::int16_t KeyCode, std::int16_t Shift) {
  t.setText("");
  if (Shift >= 0 && Shift <= vk::kAllModifiers) {
    t.setText(modifierPrefix(Shift, {StrControl_, StrAlt_, StrShift_, StrAdd_}));
  }

  if (KeyCode > kHighestUnboundCode) {
    // The box is the working buffer: the key's name goes after whatever it now holds.
    t.setText(t.text() + keyName(KeyCode));
    CapturedShift = Shift;
    CapturedKeyCode = KeyCode;
    return;
  }

  CapturedKeyCode = 0;
  CapturedShift = Shift;
  const std::string shown = t.text();
  if (shown.size() < StrAdd_.size()) {
    // Nothing to cut the separator from (no modifier held): the control is cleared.
    CapturedShift = 0;
    CapturedKeyCode = 0;
    t.setText("");
    return;
  }
  t.setText(std::string_view(shown).substr(0, shown.size() - StrAdd_.size()));
}

void qvHotKey::qvSetHotKey(std::int16_t KeyCode, std::int16_t Shift) { t_KeyDown(KeyCode, Shift); }

std::string qvHotKey::Text() const { return t.text(); }

void qvHotKey::setText(std::string_view s_Text) { t.setText(s_Text); }

// Out of line: inlined into a caller, GCC 12 at -O3 warns falsely (-Wrestrict) on these.
void qvHotKey::setStrControl(std::string_view s) { StrControl_ = s; }
void qvHotKey::setStrAlt(std::string_view s) { StrAlt_ = s; }
void qvHotKey::setStrShift(std::string_view s) { StrShift_ = s; }
void qvHotKey::setStrAdd(std::string_view s) { StrAdd_ = s; }

std::string qvHotKey::aboutText() {
  // The contact line stays, empty, when the build was given no address.
  std::string text =
      "qvHotKey\r\n"
      "Control for working with hot keys.\r\n"
      "\r\n"
      "Copyright (c) 2026 Tollivane developers\r\n";
  if (!release::kContact.empty()) {
    text += "Contact: ";
    text += release::kContact;
  }
  return text;
}

void qvHotKey::About(MessageBoxes& host) {
  host.messageBox(aboutText(), MessageIcon::Information, ":: qvHotKey :: About");
}

}  // namespace tollivane::controls
