// The capture routine and key names on any keys, masks and words: the binding is always one
// the poller can use, and the text is always the words and the key's name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "controls/hotkey_capture/key_names.hpp"
#include "controls/hotkey_capture/qv_hot_key.hpp"

namespace {

using namespace tollivane;

class Box : public controls::TextBox {
 public:
  std::string text() const override { return text_; }
  void setText(std::string_view text) override { text_ = text; }

 private:
  std::string text_;
};

void check(bool condition) {
  if (!condition) std::abort();
}

std::int16_t take16(std::string_view& data) {
  std::uint16_t v = 0;
  for (int i = 0; i < 2 && !data.empty(); ++i) {
    v = static_cast<std::uint16_t>(v << 8 | static_cast<unsigned char>(data.front()));
    data.remove_prefix(1);
  }
  return static_cast<std::int16_t>(v);
}

std::string takeWord(std::string_view& data) {
  std::string word;
  const std::size_t length = data.empty() ? 0 : static_cast<unsigned char>(data.front()) % 5;
  if (!data.empty()) data.remove_prefix(1);
  for (std::size_t i = 0; i < length && !data.empty(); ++i) {
    word += data.front();
    data.remove_prefix(1);
  }
  return word;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  std::string_view data(reinterpret_cast<const char*>(bytes), size);
  Box box;
  controls::qvHotKey control(box);
  while (!data.empty()) {
    const char op = data.front();
    data.remove_prefix(1);
    if (op == 'w') {
      control.setStrAdd(takeWord(data));
      control.setStrControl(takeWord(data));
      continue;
    }
    const std::int16_t code = take16(data);
    const std::int16_t shift = take16(data);
    const std::string prefix = controls::modifierPrefix(
        shift, {control.StrControl(), control.StrAlt(), control.StrShift(), control.StrAdd()});
    if (op == 's') {
      control.qvSetHotKey(code, shift);
    } else {
      control.t_KeyDown(code, shift);
    }
    const std::int16_t held = control.qvGetHotKeyCode();
    check(held == 0 || held > 18);
    if (code > 18) {
      check(held == code && control.qvGetHotKeyShift() == shift);
      check(box.text() == prefix + controls::keyName(code));
    } else if (prefix.size() >= control.StrAdd().size()) {
      check(held == 0 && control.qvGetHotKeyShift() == shift);
      check(box.text() == prefix.substr(0, prefix.size() - control.StrAdd().size()));
    } else {
      check(held == 0 && control.qvGetHotKeyShift() == 0 && box.text().empty());
    }
  }
  return 0;
}
