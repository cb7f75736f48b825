// Builds a window's widgets from its layout table: geometry converted from twips at the
// screen's logical dpi, colours, captions, visibility at start and focus order.
#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ui/layout.hpp"

namespace tollivane::frontend::qt {

// The dpi that twips are converted at: the screen's logical dpi.
double layoutDpi(const QWidget& widget);

// The program's artwork, from the embedded resources: "banner" or "icon".
QString artworkPath(std::string_view name);
// The program's icon in every size the desktop's icon theme gets, for the windows.
QIcon programIcon();

class LayoutWidgets {
 public:
  // Makes the widget of a capture control; the builder places and sizes it.
  using CaptureFactory = std::function<QWidget*(const ui::ControlLayout&, QWidget* parent)>;

  // Builds every control of `layout` inside `client`, sized to the window's client area.
  LayoutWidgets(const ui::WindowLayout& layout, QWidget& client, double dpi,
                const CaptureFactory& makeCapture);

  // The widget of the named control; the name must be in the table.
  QWidget& widget(std::string_view name) const;
  // The same widget as the kind the table says it is; a mismatch is a programming error.
  template <class W>
  W& as(std::string_view name) const {
    W* w = qobject_cast<W*>(&widget(name));
    if (w == nullptr) throw std::logic_error("control " + std::string(name) + " is another kind");
    return *w;
  }

 private:
  QWidget* build(const ui::ControlLayout& control, QWidget* client);
  void chainFocus();

  const ui::WindowLayout& layout_;
  double dpi_;
  CaptureFactory makeCapture_;
  std::map<std::string_view, QWidget*> widgets_;
};

}  // namespace tollivane::frontend::qt
