// What the X server holds for all its clients, counted with the X-Resource extension.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>

namespace tollivane::x11test {

// Resources of every client; of one type ("GC", "PIXMAP") when `type` is given.
inline long serverResources(Display* d, const char* type = nullptr) {
  const Atom only = type != nullptr ? XInternAtom(d, type, False) : None;
  int count = 0;
  XResClient* clients = nullptr;
  long total = 0;
  XResQueryClients(d, &count, &clients);
  for (int i = 0; i < count; ++i) {
    int types = 0;
    XResType* counts = nullptr;
    XResQueryClientResources(d, clients[i].resource_base, &types, &counts);
    for (int t = 0; t < types; ++t) {
      if (only == None || counts[t].resource_type == only) total += counts[t].count;
    }
    XFree(counts);
  }
  XFree(clients);
  return total;
}

}  // namespace tollivane::x11test
