#include "test_client.hpp"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace tollivane::x11test {
namespace {

// Windows of other clients come and go while the tests look at them.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

TestClient::TestClient(const std::string& displayName) : dpy(XOpenDisplay(displayName.c_str())) {
  if (!dpy) throw std::runtime_error("cannot open display " + displayName);
  static const bool lenient = (XSetErrorHandler(ignoreErrors), true);
  (void)lenient;
}

TestClient::~TestClient() { XCloseDisplay(dpy); }

Window TestClient::createWindow(const Area& area, std::uint32_t background, int depth) {
  XSetWindowAttributes attributes{};
  attributes.background_pixel = background;
  attributes.event_mask = StructureNotifyMask | KeyPressMask;
  unsigned long mask = CWBackPixel | CWEventMask;
  Visual* visual = CopyFromParent;
  XVisualInfo info{};
  if (depth == 32 && XMatchVisualInfo(dpy, DefaultScreen(dpy), 32, TrueColor, &info)) {
    visual = info.visual;
    attributes.background_pixel |= 0xFF000000;
    attributes.colormap = XCreateColormap(dpy, root(), visual, AllocNone);
    mask |= CWColormap | CWBorderPixel;  // a border of the parent's depth would not match
  } else {
    depth = CopyFromParent;
  }
  const Window window = XCreateWindow(
      dpy, root(), area.x, area.y, static_cast<unsigned>(area.width),
      static_cast<unsigned>(area.height), 0, depth, InputOutput, visual, mask, &attributes);
  XMapRaised(dpy, window);
  XEvent event;
  do XWindowEvent(dpy, window, StructureNotifyMask, &event);
  while (event.type != MapNotify);
  sync();
  return window;
}

void TestClient::destroyWindow(Window window) {
  XDestroyWindow(dpy, window);
  sync();
}

void TestClient::focus(Window window) {
  XSetInputFocus(dpy, window, RevertToPointerRoot, CurrentTime);
  sync();
}

void TestClient::setActiveWindow(std::optional<Window> window) {
  const Atom active = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
  if (window) {
    const unsigned long value = *window;
    XChangeProperty(dpy, root(), active, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
  } else {
    XDeleteProperty(dpy, root(), active);
  }
  sync();
}

void TestClient::key(unsigned long keysym, bool down) {
  const KeyCode code = XKeysymToKeycode(dpy, keysym);
  if (code == 0) throw std::runtime_error("no keycode for keysym");
  XTestFakeKeyEvent(dpy, code, down ? True : False, CurrentTime);
  sync();
}

void TestClient::tap(unsigned long keysym, std::chrono::milliseconds held) {
  key(keysym, true);
  std::this_thread::sleep_for(held);
  key(keysym, false);
}

void TestClient::click(int rootX, int rootY) {
  XTestFakeMotionEvent(dpy, DefaultScreen(dpy), rootX, rootY, CurrentTime);
  sync();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
  sync();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  sync();
}

Pixels TestClient::pixels(Drawable drawable, const Area& area) {
  XImage* image = XGetImage(dpy, drawable, area.x, area.y, static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
  if (!image) throw std::runtime_error("XGetImage failed");
  Pixels result;
  result.reserve(static_cast<std::size_t>(area.width * area.height));
  for (int y = 0; y < area.height; ++y) {
    for (int x = 0; x < area.width; ++x) {
      result.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
    }
  }
  XDestroyImage(image);
  return result;
}

void TestClient::clear(Window window, const Area& area) {
  XClearArea(dpy, window, area.x, area.y, static_cast<unsigned>(area.width),
             static_cast<unsigned>(area.height), False);
  sync();
}

Pixels TestClient::expected(const std::string& text, const Area& rect, const Area& area,
                            std::uint32_t background, std::uint32_t color) {
  const int depth = DefaultDepth(dpy, DefaultScreen(dpy));
  const Pixmap canvas =
      XCreatePixmap(dpy, root(), static_cast<unsigned>(area.width),
                    static_cast<unsigned>(area.height), static_cast<unsigned>(depth));
  const GC gc = XCreateGC(dpy, canvas, 0, nullptr);
  XSetForeground(dpy, gc, background);
  XFillRectangle(dpy, canvas, gc, 0, 0, static_cast<unsigned>(area.width),
                 static_cast<unsigned>(area.height));
  XFontStruct* font = XQueryFont(dpy, XGContextFromGC(gc));
  const int textWidth = XTextWidth(font, text.c_str(), static_cast<int>(text.size()));
  XRectangle clip{static_cast<short>(rect.x - area.x), static_cast<short>(rect.y - area.y),
                  static_cast<unsigned short>(rect.width),
                  static_cast<unsigned short>(rect.height)};
  XSetClipRectangles(dpy, gc, 0, 0, &clip, 1, Unsorted);
  XSetForeground(dpy, gc, color);
  XSetBackground(dpy, gc, 0xFFFFFF);
  XDrawImageString(dpy, canvas, gc, clip.x + (rect.width - textWidth) / 2, clip.y + font->ascent,
                   text.c_str(), static_cast<int>(text.size()));
  XFreeFontInfo(nullptr, font, 1);
  Pixels result = pixels(canvas, {0, 0, area.width, area.height});
  XFreeGC(dpy, gc);
  XFreePixmap(dpy, canvas);
  return result;
}

std::string TestClient::overlayText(Window window, const Area& rect, std::uint32_t background) {
  const Pixels shown = pixels(window, rect);
  if (std::all_of(shown.begin(), shown.end(), [&](std::uint32_t p) { return p == background; })) {
    return "";
  }
  for (int seconds = 0; seconds < 120; ++seconds) {
    const std::string text = clockText(seconds);
    auto [it, inserted] = rendered.try_emplace({background, text});
    if (inserted) it->second = expected(text, rect, rect, background);
    if (it->second == shown) return text;
  }
  return "?";
}

RepaintingGame::RepaintingGame(const std::string& displayName, Window window) {
  Display* dpy = XOpenDisplay(displayName.c_str());
  if (!dpy) throw std::runtime_error("cannot open display " + displayName);
  frames = std::thread([this, dpy, window] {
    while (!stopping) {
      XClearArea(dpy, window, 0, 0, 0, 0, False);  // all of it
      XSync(dpy, False);
      std::this_thread::sleep_for(std::chrono::milliseconds(8));
    }
    XCloseDisplay(dpy);
  });
}

RepaintingGame::~RepaintingGame() {
  stopping = true;
  frames.join();
}

std::string clockText(int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d : %02d : %02d", seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return text;
}

}  // namespace tollivane::x11test
