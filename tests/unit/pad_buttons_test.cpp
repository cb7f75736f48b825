#include "common/pad_buttons.hpp"

#include <gtest/gtest.h>

namespace tollivane::pad {
namespace {

TEST(PadButtons, BindingsAndTheirTexts) {
  struct Case {
    PadButtons buttons;
    bool binding;
    const char* text;
  };
  const Case cases[] = {
      {0, false, ""},
      {0x1020, true, "Pad View+A"},
      {0x00C0, true, "Pad L3+R3"},
      {0x30000, true, "Pad L2+R2"},
      {0x0001, true, "Pad Up"},
      {0x8000, true, "Pad Y"},
      {0x3020, false, "Pad ?"},      // three buttons
      {0x0400, false, "Pad ?"},      // a bit no button has
      {0x40000, false, "Pad ?"},     // above R2
      {0xFFFFFFFF, false, "Pad ?"},  // -1 as stored
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isPadBinding(c.buttons), c.binding) << c.buttons;
    EXPECT_EQ(padBindingText(c.buttons), c.text) << c.buttons;
  }
}

}  // namespace
}  // namespace tollivane::pad
