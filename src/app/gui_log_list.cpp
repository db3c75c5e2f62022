#include "app/gui_log_list.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>

LogList::LogList(QWidget* parent) : QListWidget(parent) {}

void LogList::appendLine(const QString& line) {
  addItem(line);
  {
    // Told now, the view would lay out every line to repaint the old and new current ones;
    // showNewest repaints once for all the lines of this turn.
    const QSignalBlocker quiet(selectionModel());
    selectionModel()->setCurrentIndex(model()->index(count() - 1, 0),
                                      QItemSelectionModel::ClearAndSelect);
  }
  if (!showPending_) {
    showPending_ = true;
    QMetaObject::invokeMethod(this, &LogList::showNewest, Qt::QueuedConnection);
  }
}

// The size the delegate gives each new item becomes the item's own, so a layout reads it
// instead of shaping the text of every line again.
void LogList::rowsInserted(const QModelIndex& parent, int start, int end) {
  QListWidget::rowsInserted(parent, start, end);
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  for (int row = start; row <= end; ++row) {
    const QModelIndex index = model()->index(row, 0, parent);
    item(row)->setSizeHint(itemDelegateForIndex(index)->sizeHint(option, index));
  }
}

void LogList::showNewest() {
  showPending_ = false;
  if (QListWidgetItem* newest = currentItem()) {
    scrollToItem(newest);
  }
  viewport()->update();
}
