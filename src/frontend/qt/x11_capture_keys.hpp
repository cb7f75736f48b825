// On X11 the capture box reads key presses straight from the X events: the keycode's
// unshifted keysym names the physical key, and presses that Qt would drop (Ctrl+Alt+F5
// becomes a console-switch keysym) still reach the control.
#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <memory>
#include <optional>

#include "frontend/qt/qt_key_map.hpp"

struct xcb_connection_t;

namespace tollivane::frontend::qt {

// The key-down an X key press makes, given the keycode's unshifted keysym and the state.
std::optional<KeyDown> keyDownFromX11(std::uint32_t unshiftedKeysym, unsigned state);

class X11CaptureKeys final : public QAbstractNativeEventFilter {
 public:
  // Installs itself on the application when it runs on the xcb platform; nothing otherwise.
  // Destroying it takes it off the application again.
  static std::unique_ptr<X11CaptureKeys> installIfX11();

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  explicit X11CaptureKeys(xcb_connection_t* connection) : connection_(connection) {}
  std::uint32_t unshiftedKeysym(std::uint8_t keycode) const;

  xcb_connection_t* connection_;
};

}  // namespace tollivane::frontend::qt
