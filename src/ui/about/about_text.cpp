#include "ui/about/about_text.hpp"

#include <iterator>

#include "release/release_info.hpp"

namespace tollivane::ui {

std::string aboutDescriptionText() {
  // Lines 3 and 6 stay empty when the build was given no address.
  const std::string_view kLines[] = {
      "",
      "",
      release::kHomepage,
      "",
      "If you want to ask me about something - just mail me:",
      release::kContact,
      "",
      "Thank you for using my products!",
  };
  std::string text(kLines[0]);
  for (std::size_t i = 1; i < std::size(kLines); ++i) {
    text += "\r\n";
    text += kLines[i];
  }
  return text;
}

}  // namespace tollivane::ui
