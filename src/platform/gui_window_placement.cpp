#include "platform/gui_window_placement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// Moves placed inside room where it fits, else to room's top left corner.
QRect keptInside(QRect placed, const QRect& room) {
  placed.moveLeft(std::clamp(placed.left(), room.left(),
                             std::max(room.left(), room.right() - placed.width() + 1)));
  placed.moveTop(std::clamp(placed.top(), room.top(),
                            std::max(room.top(), room.bottom() - placed.height() + 1)));
  return placed;
}

}  // namespace

void centreOverWindow(QWidget* window, const QWidget* over) {
  if (over == nullptr) {
    return;
  }
  const QRect target = over->window()->frameGeometry();
  QRect placed(QPoint(), window->frameGeometry().size());
  placed.moveCenter(target.center());
  if (const QScreen* screen = over->window()->screen()) {
    placed = keptInside(placed, screen->availableGeometry());
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

// Qt's own tiling makes the main window larger, past the screen, when the windows' minimum sizes
// do not fit, and knows nothing of a window that grows back to its own minimum when resized.
void tileInside(QMdiArea& area) {
  QList<QMdiSubWindow*> shown;
  for (QMdiSubWindow* window : area.subWindowList()) {
    if (window->isVisible() && !window->isMinimized()) {
      shown.append(window);
    }
  }
  if (shown.isEmpty()) {
    return;
  }
  const QRect room = area.viewport()->rect();
  const int count = static_cast<int>(shown.size());
  const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
  const int rows = (count + columns - 1) / columns;
  const QSize cell(std::max(1, room.width() / columns), std::max(1, room.height() / rows));
  for (int i = 0; i < count; ++i) {
    QMdiSubWindow* window = shown.at(i);
    if (window->isMaximized()) {
      window->showNormal();
    }
    window->setGeometry(
        QRect(QPoint((i % columns) * cell.width(), (i / columns) * cell.height()), cell));
    window->setGeometry(keptInside(window->geometry(), room));
  }
}
