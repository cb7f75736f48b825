// A stand-in for a game: a window that repaints its whole client area at a steady frame rate,
// as games do, and holds the input focus. Prints "<pid> <window>" once it is viewable, then
// repaints until its time is up. With "fullscreen" it asks the window manager for the whole
// screen, as full-screen games do.
//   standin_game <frames per second, 0: never repaints> <seconds> [x y width height [fullscreen]]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <fps> <seconds> [x y width height [fullscreen]]\n", argv[0]);
    return 2;
  }
  const double fps = std::atof(argv[1]);
  const double seconds = std::atof(argv[2]);
  const int x = argc > 4 ? std::atoi(argv[3]) : 0;
  const int y = argc > 4 ? std::atoi(argv[4]) : 0;
  const unsigned width = argc > 6 ? static_cast<unsigned>(std::atoi(argv[5])) : 340;
  const unsigned height = argc > 6 ? static_cast<unsigned>(std::atoi(argv[6])) : 400;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;

  constexpr unsigned long kColour = 0x305070;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = kColour;
  attributes.event_mask = StructureNotifyMask;
  const Window window =
      XCreateWindow(d, DefaultRootWindow(d), x, y, width, height, 0, CopyFromParent, InputOutput,
                    CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  XStoreName(d, window, "Stand-in game");
  if (argc > 7 && std::string_view(argv[7]) == "fullscreen") {
    // Set before mapping, the window manager's state for the new window (EWMH).
    const Atom fullScreen = XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False);
    XChangeProperty(d, window, XInternAtom(d, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&fullScreen), 1);
  }
  XMapRaised(d, window);
  XEvent event;
  do XWindowEvent(d, window, StructureNotifyMask, &event);
  while (event.type != MapNotify);
  XSetInputFocus(d, window, RevertToPointerRoot, CurrentTime);
  XSync(d, False);
  std::printf("%d %lu\n", static_cast<int>(getpid()), window);
  std::fflush(stdout);

  GC gc = XCreateGC(d, window, 0, nullptr);
  XSetForeground(d, gc, kColour);
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(seconds));
  if (fps <= 0) {
    std::this_thread::sleep_until(end);
  } else {
    const auto period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / fps));
    for (auto next = Clock::now(); next < end; next += period) {
      // The whole client area, every frame, waiting until the server has done it.
      XFillRectangle(d, window, gc, 0, 0, width, height);
      XSync(d, False);
      std::this_thread::sleep_until(next + period);
      // Behind (a busy machine): go on from now rather than catch up in a burst.
      if (Clock::now() > next + 2 * period) next = Clock::now() - period;
    }
  }
  XFreeGC(d, gc);
  XCloseDisplay(d);
  return 0;
}
