// Types keys into KWin as its own keyboard would, through KWin's fake input protocol
// (org_kde_kwin_fake_input, version 4): they go where KWin sends a real key, to the window in
// front and, as its settings allow, to XWayland. KWin offers the protocol to any client only
// when it runs with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1.
//   kwin_keys <key>...   a key is a Linux key code (F5 is 63) or a chord of them (29+63 is
//                        Ctrl+F5): pressed in order, held 100 ms and released in reverse
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// The protocol's requests in its order, up to keyboard_key. A client needs no more than
// their signatures to send them; none of them carries an object, so no types.
const wl_interface* kNoTypes[3] = {};
const wl_message kRequests[] = {
    {"authenticate", "ss", kNoTypes},  {"pointer_motion", "ff", kNoTypes},
    {"button", "uu", kNoTypes},        {"axis", "uf", kNoTypes},
    {"touch_down", "2uff", kNoTypes},  {"touch_motion", "2uff", kNoTypes},
    {"touch_up", "2u", kNoTypes},      {"touch_cancel", "2", kNoTypes},
    {"touch_frame", "2", kNoTypes},    {"pointer_motion_absolute", "3ff", kNoTypes},
    {"keyboard_key", "4uu", kNoTypes},
};
constexpr int kAuthenticate = 0;
constexpr int kKeyboardKey = 10;
const wl_interface kFakeInput = {"org_kde_kwin_fake_input", 4, 11, kRequests, 0, nullptr};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
  if (std::strcmp(interface, kFakeInput.name) != 0 || version < 4) return;
  *static_cast<wl_proxy**>(data) =
      static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kFakeInput, 4));
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener = {global, globalRemove};

}  // namespace

int main(int argc, char** argv) {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "kwin_keys: no Wayland display\n");
    return 1;
  }
  wl_proxy* fake = nullptr;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kListener, &fake);
  wl_display_roundtrip(display);
  if (!fake) {
    std::fprintf(stderr, "kwin_keys: the compositor offers no fake input of version 4\n");
    return 1;
  }
  // KWin takes the events of an authenticated device only; it grants every request.
  wl_proxy_marshal_flags(fake, kAuthenticate, nullptr, 4, 0, "kwin_keys", "bench");
  wl_display_roundtrip(display);
  const auto send = [&](uint32_t key, uint32_t pressed) {
    wl_proxy_marshal_flags(fake, kKeyboardKey, nullptr, 4, 0, key, pressed);
    wl_display_roundtrip(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  };
  for (int i = 1; i < argc; ++i) {
    std::vector<uint32_t> chord;
    for (char* rest = argv[i]; *rest != '\0';) {
      chord.push_back(static_cast<uint32_t>(std::strtoul(rest, &rest, 10)));
      if (*rest != '+') break;
      ++rest;
    }
    for (uint32_t key : chord) send(key, 1);
    for (auto key = chord.rbegin(); key != chord.rend(); ++key) send(*key, 0);
  }
  wl_display_disconnect(display);
  return 0;
}
