// Windows keeps the keys of a window run as administrator from programs that are not: neither
// the low-level hook nor GetAsyncKeyState hears them while such a window is in front.
#pragma once

namespace tollivane::platform::win32 {

// Whether the window in front belongs to an elevated process while this one is not.
bool frontWindowElevatedAboveUs();

}  // namespace tollivane::platform::win32
