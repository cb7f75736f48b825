// Controls that keep their state where tests can read it.
#pragma once

#include <string>
#include <string_view>

#include "app/window_controls.hpp"
#include "platform/platform.hpp"

namespace tollivane::frontend::sim {

class SimTextBox : public app::TextBox {
 public:
  explicit SimTextBox(std::string_view text = {}) : text_(text) {}
  std::string text() const override { return text_; }
  void setText(std::string_view text) override;

 private:
  std::string text_;
};

class SimMenuEntry : public app::MenuEntry {
 public:
  explicit SimMenuEntry(std::string_view caption = {}) : caption_(caption) {}
  void setCaption(std::string_view caption) override;
  bool checked() const override { return checked_; }
  void setChecked(bool checked) override { checked_ = checked; }
  const std::string& caption() const { return caption_; }

 private:
  std::string caption_;
  bool checked_ = false;
};

class SimPanel : public app::Panel {
 public:
  SimPanel(std::string_view caption, bool visible) : caption_(caption), visible_(visible) {}
  void setVisible(bool visible) override { visible_ = visible; }
  bool visible() const { return visible_; }
  const std::string& caption() const { return caption_; }

 private:
  std::string caption_;
  bool visible_;
};

class SimLabel : public app::Label {
 public:
  explicit SimLabel(std::string_view caption = {}) : caption_(caption) {}
  void setCaption(std::string_view caption) override;
  const std::string& caption() const { return caption_; }

 private:
  std::string caption_;
};

}  // namespace tollivane::frontend::sim
