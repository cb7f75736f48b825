#include "ui/about/about_text.hpp"

#include <iterator>

namespace tollivane::ui {

std::string aboutDescriptionText() {
  static constexpr const char* kLines[] = {
      "",
      "",
      "https://tollivane.example.org",
      "",
      "If you want to ask me about something - just mail me:",
      "tollivane@example.org",
      "",
      "Thank you for using my products!",
  };
  std::string text = kLines[0];
  for (std::size_t i = 1; i < std::size(kLines); ++i) {
    text += "\r\n";
    text += kLines[i];
  }
  return text;
}

}  // namespace tollivane::ui
