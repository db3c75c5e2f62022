#include "platform/gui_window_placement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

void centreOverWindow(QWidget* window, const QWidget* over) {
  if (over == nullptr) {
    return;
  }
  const QRect target = over->window()->frameGeometry();
  QRect placed(QPoint(), window->frameGeometry().size());
  placed.moveCenter(target.center());
  if (const QScreen* screen = over->window()->screen()) {
    const QRect room = screen->availableGeometry();
    placed.moveLeft(std::clamp(placed.left(), room.left(),
                               std::max(room.left(), room.right() - placed.width() + 1)));
    placed.moveTop(std::clamp(placed.top(), room.top(),
                              std::max(room.top(), room.bottom() - placed.height() + 1)));
  }
  window->move(placed.topLeft());
}
