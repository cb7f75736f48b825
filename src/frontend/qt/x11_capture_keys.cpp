#include "frontend/qt/x11_capture_keys.hpp"

#include <xcb/xcb.h>

#include <QApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "common/virtual_keys.hpp"
#include "frontend/qt/hotkey_capture_widget.hpp"
#include "platform/x11/vk_keysyms.hpp"

namespace tollivane::frontend::qt {

std::optional<KeyDown> keyDownFromX11(std::uint32_t unshiftedKeysym, unsigned state) {
  const auto keyCode = platform::x11::virtualKeyFromKeysym(unshiftedKeysym);
  if (!keyCode) return std::nullopt;
  return KeyDown{*keyCode,
                 vk::withOwnModifier(platform::x11::modifiersFromX11State(state), *keyCode)};
}

std::unique_ptr<X11CaptureKeys> X11CaptureKeys::installIfX11() {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return nullptr;
  std::unique_ptr<X11CaptureKeys> filter(new X11CaptureKeys(x11->connection()));
  qApp->installNativeEventFilter(filter.get());
  return filter;
}

std::uint32_t X11CaptureKeys::unshiftedKeysym(std::uint8_t keycode) const {
  // A round trip, but only per key press in a capture box, and never stale after a
  // keyboard layout change.
  const auto cookie = xcb_get_keyboard_mapping(connection_, keycode, 1);
  std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> reply(
      xcb_get_keyboard_mapping_reply(connection_, cookie, nullptr), &std::free);
  if (!reply) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
  const int count = xcb_get_keyboard_mapping_keysyms_length(reply.get());
  for (int i = 0; i < count && i < 2; ++i) {
    if (syms[i] != 0) return syms[i];
  }
  return 0;
}

bool X11CaptureKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
  auto* box = qobject_cast<CaptureBox*>(QApplication::focusWidget());
  if (box == nullptr || !box->window()->isActiveWindow() || !box->onKeyDown) return false;
  const auto* press = static_cast<const xcb_key_press_event_t*>(message);
  const auto down = keyDownFromX11(unshiftedKeysym(press->detail), press->state);
  if (!down) return false;
  box->onKeyDown(*down);
  return true;
}

}  // namespace tollivane::frontend::qt
