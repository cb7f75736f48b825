#include "frontend/qt/layout_builder.hpp"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "frontend/qt/qt_text.hpp"

// Outside any namespace, as Qt's resource initialiser must be; calling it also keeps the
// embedded artwork from being dropped by the linker.
static void initArtwork() { Q_INIT_RESOURCE(artwork); }

namespace tollivane::frontend::qt {
namespace {

constexpr double kDesignFontPoints = 8.0;

QColor toQColor(ui::Rgb c) { return QColor(c.r, c.g, c.b); }

void applyColours(QWidget& w, const ui::ControlLayout& c, QPalette::ColorRole back,
                  QPalette::ColorRole fore) {
  QPalette p = w.palette();
  if (c.background) p.setColor(back, toQColor(*c.background));
  if (c.foreground) p.setColor(fore, toQColor(*c.foreground));
  w.setPalette(p);
}

}  // namespace

double layoutDpi(const QWidget& widget) {
  const QScreen* screen = widget.screen();
  return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

QString artworkPath(std::string_view name) {
  static const bool loaded = (initArtwork(), true);
  (void)loaded;
  return QStringLiteral(":/artwork/%1.png").arg(toQString(name));
}

QIcon programIcon() {
  static const bool loaded = (initArtwork(), true);
  (void)loaded;
  QIcon icon;
  const QDir sizes(QStringLiteral(":/icons"));
  for (const QString& file : sizes.entryList(QDir::Files)) icon.addFile(sizes.filePath(file));
  return icon;
}

LayoutWidgets::LayoutWidgets(const ui::WindowLayout& layout, QWidget& client, double dpi,
                             const CaptureFactory& makeCapture)
    : layout_(layout), dpi_(dpi), makeCapture_(makeCapture) {
  // The platform's user-interface font, at the size that the twips were laid out for.
  QFont font = client.font();
  font.setPointSizeF(kDesignFontPoints);
  client.setFont(font);
  client.setFixedSize(ui::twipsToPixels(layout.clientWidth, dpi),
                      ui::twipsToPixels(layout.clientHeight, dpi));
  if (layout.background) {
    client.setAutoFillBackground(true);
    QPalette p = client.palette();
    p.setColor(QPalette::Window, toQColor(*layout.background));
    client.setPalette(p);
  }
  for (const ui::ControlLayout& control : layout.controls) build(control, &client);
  chainFocus();
}

QWidget& LayoutWidgets::widget(std::string_view name) const {
  const auto it = widgets_.find(name);
  if (it == widgets_.end()) throw std::logic_error("no control " + std::string(name));
  return *it->second;
}

QWidget* LayoutWidgets::build(const ui::ControlLayout& c, QWidget* client) {
  if (const auto it = widgets_.find(c.name); it != widgets_.end()) return it->second;
  QWidget* parent = client;
  if (!c.parent.empty()) {
    const ui::ControlLayout* p = ui::findControl(layout_, c.parent);
    if (p == nullptr) throw std::logic_error("no parent " + std::string(c.parent));
    parent = build(*p, client);
  }

  QWidget* w = nullptr;
  const QString caption = toQString(c.caption);
  switch (c.kind) {
    case ui::ControlKind::Panel: {
      auto* box = new QGroupBox(caption, parent);
      box->setAutoFillBackground(c.background.has_value());
      applyColours(*box, c, QPalette::Window, QPalette::WindowText);
      w = box;
      break;
    }
    case ui::ControlKind::Picture: {
      auto* picture = new QLabel(parent);
      picture->setPixmap(QPixmap(artworkPath(c.caption)));
      picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      w = picture;
      break;
    }
    case ui::ControlKind::Label: {
      auto* label = new QLabel(caption, parent);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(c.multiLine);
      label->setTextFormat(Qt::PlainText);
      label->setAutoFillBackground(!c.transparent && c.background.has_value());
      applyColours(*label, c, QPalette::Window, QPalette::WindowText);
      w = label;
      break;
    }
    case ui::ControlKind::TextBox: {
      auto* edit = new QLineEdit(caption, parent);
      applyColours(*edit, c, QPalette::Base, QPalette::Text);
      w = edit;
      break;
    }
    case ui::ControlKind::Button: {
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(false);
      button->setDefault(c.isDefault);
      w = button;
      break;
    }
    case ui::ControlKind::HotKeyCapture:
      w = makeCapture_(c, parent);
      break;
  }
  w->setObjectName(toQString(c.name));
  QSize size(ui::twipsToPixels(c.width, dpi_), ui::twipsToPixels(c.height, dpi_));
  // A one-line label grows to its text where the font is wider than the one it was laid
  // out for, rather than cut its caption off.
  if (c.kind == ui::ControlKind::Label && !c.multiLine) size = size.expandedTo(w->sizeHint());
  w->setGeometry(
      QRect(QPoint(ui::twipsToPixels(c.left, dpi_), ui::twipsToPixels(c.top, dpi_)), size));
  // Pictures are drawn beneath the windowed controls that overlap them.
  if (c.kind == ui::ControlKind::Picture) w->lower();
  w->setVisible(c.visible);
  widgets_.emplace(c.name, w);
  return w;
}

void LayoutWidgets::chainFocus() {
  std::vector<const ui::ControlLayout*> order;
  for (const ui::ControlLayout& c : layout_.controls) {
    if (c.tabIndex && ui::takesFocus(c.kind)) order.push_back(&c);
  }
  std::sort(order.begin(), order.end(),
            [](const auto* a, const auto* b) { return *a->tabIndex < *b->tabIndex; });
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(&widget(order[i - 1]->name), &widget(order[i]->name));
  }
}

}  // namespace tollivane::frontend::qt
