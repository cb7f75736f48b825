// Bringing the main window to the front when a second start asks for it.
#pragma once

class QWidget;

namespace tollivane::frontend::qt {

// Restores, raises and focuses a top-level window. On X it asks as a pager does, which a window
// manager grants even where it refuses a program that activates itself; without a window
// manager it sets the focus at the server's current time, since Qt's last event time is older
// than the focus change that another program made since.
void bringToFront(QWidget& window);

}  // namespace tollivane::frontend::qt
