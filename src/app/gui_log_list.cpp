#include "app/gui_log_list.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>

#include "platform/gui_uniform_rows.h"

LogList::LogList(QWidget* parent) : QListWidget(parent), delegate_(new UniformRowDelegate(this)) {
  setItemDelegate(delegate_);
}

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
  if (start == 0) {  // an emptied list starts over
    delegate_->rowSize = QSize();
    mixedHeights_ = false;
  }
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  for (int row = start; row <= end; ++row) {
    const QSize size = delegate_->measured(option, model()->index(row, 0, parent));
    item(row)->setSizeHint(size);
    noteRowSize(size);
  }
  setUniformItemSizes(!mixedHeights_);
}

// The common row size grows to the widest line; a line of another height ends it for good
// (until the list is emptied), and each item's own size is used again.
void LogList::noteRowSize(QSize size) {
  if (!mixedHeights_ && !takeRowSize(delegate_->rowSize, size)) {
    mixedHeights_ = true;
    delegate_->rowSize = QSize();
  }
}

void LogList::showNewest() {
  showPending_ = false;
  if (QListWidgetItem* newest = currentItem()) {
    scrollToItem(newest);
  }
  viewport()->update();
}
