#include "platform/gui_window_placement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
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

void placeCascaded(QMdiArea& area, QMdiSubWindow& window) {
  const QList<QMdiSubWindow*> children = area.subWindowList(QMdiArea::CreationOrder);
  const qsizetype at = children.indexOf(&window);
  if (at < 1) {
    window.move(0, 0);
    return;
  }
  const int step = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
  const QPoint next = children.at(at - 1)->pos() + QPoint(step, step);
  const QSize visible = area.viewport()->size();
  const bool captionShows =
      next.x() + step <= visible.width() && next.y() + step <= visible.height();
  window.move(captionShows ? next : QPoint(0, 0));
}
