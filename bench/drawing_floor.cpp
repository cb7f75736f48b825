// The floor for Tollivane's cost while the clock runs drawn onto a game: a Qt window with the
// one 100 ms timer of empty_timers' running state, which also does the least Tollivane must do
// at those ticks. Each tick sends one text request of a clock's twelve characters into the
// window that has the focus and flushes, never waiting; every fifth reads back the 75 x 14
// rectangle under the text from the screen and waits for it. On a connection of its own, as
// Tollivane's drawing is, and through XCB, as the cheapest way there is.
#include <QApplication>
#include <QTimer>
#include <QWidget>

// After Qt's: Xlib's macros (None, Bool, Status) would break its headers.
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <cstdlib>

namespace {

// Tollivane's place for the clock with the default settings, in the game's client area.
constexpr int kLeft = 25;
constexpr int kTop = 315;
constexpr int kWidth = 75;
constexpr int kHeight = 14;
constexpr int kTicksPerLook = 5;

class Floor {
 public:
  Floor(Display* display, Window own)
      : display_(display), xcb_(XGetXCBConnection(display)), own_(own) {}

  void tick() {
    if (!target_ && !findTarget()) return;
    // "hh : mm : ss" of the ticks so far, as the clock's text changes once a second; by hand,
    // since snprintf would cost more than the request.
    const unsigned seconds = ticks_ / 10;
    char text[] = "00 : 00 : 00";
    const unsigned parts[] = {seconds / 3600 % 100, seconds / 60 % 60, seconds % 60};
    for (int i = 0; i < 3; ++i) {
      text[5 * i] = static_cast<char>('0' + parts[i] / 10);
      text[5 * i + 1] = static_cast<char>('0' + parts[i] % 10);
    }
    xcb_image_text_8(xcb_, 12, static_cast<xcb_drawable_t>(target_), gc_, kLeft + 1,
                     static_cast<std::int16_t>(kTop + ascent_), text);
    xcb_flush(xcb_);
    if (++ticks_ % kTicksPerLook == 0) look();
  }

 private:
  // The stand-in game, once it has the focus: asked only until then.
  bool findTarget() {
    Window focus = None;
    int revertTo = 0;
    XGetInputFocus(display_, &focus, &revertTo);
    const Window root = DefaultRootWindow(display_);
    if (focus == None || focus == PointerRoot || focus == root || focus == own_) return false;
    Window child = None;
    if (!XTranslateCoordinates(display_, focus, root, 0, 0, &x_, &y_, &child)) return false;
    XGCValues values{};
    values.subwindow_mode = IncludeInferiors;
    values.graphics_exposures = False;
    const GC gc = XCreateGC(display_, root, GCSubwindowMode | GCGraphicsExposures, &values);
    gc_ = static_cast<xcb_gcontext_t>(XGContextFromGC(gc));
    XFontStruct* font = XQueryFont(display_, XGContextFromGC(gc));
    ascent_ = font ? font->ascent : 11;
    if (font) XFreeFontInfo(nullptr, font, 0);
    target_ = focus;
    return true;
  }

  void look() {
    xcb_get_image_reply_t* reply = xcb_get_image_reply(
        xcb_,
        xcb_get_image(xcb_, XCB_IMAGE_FORMAT_Z_PIXMAP,
                      static_cast<xcb_drawable_t>(DefaultRootWindow(display_)),
                      static_cast<std::int16_t>(x_ + kLeft), static_cast<std::int16_t>(y_ + kTop),
                      kWidth, kHeight, ~0U),
        nullptr);
    std::free(reply);
  }

  Display* display_;
  xcb_connection_t* xcb_;
  Window own_;
  Window target_ = None;
  xcb_gcontext_t gc_ = 0;
  int ascent_ = 0;
  int x_ = 0;
  int y_ = 0;
  unsigned ticks_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Drawing floor"));
  window.resize(320, 200);
  window.show();
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  Floor floor(display, static_cast<Window>(window.winId()));
  QTimer ticks;
  ticks.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticks, &QTimer::timeout, [&floor] { floor.tick(); });
  ticks.start(100);
  const int result = QApplication::exec();
  XCloseDisplay(display);
  return result;
}
