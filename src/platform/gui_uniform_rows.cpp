#include "platform/gui_uniform_rows.h"

#include <algorithm>

QSize UniformRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  return rowSize.isValid() ? rowSize : measured(option, index);
}

QSize UniformRowDelegate::measured(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  return QStyledItemDelegate::sizeHint(option, index);
}

bool takeRowSize(QSize& common, QSize size) {
  if (!common.isValid()) {
    common = size;
    return true;
  }
  if (common.height() != size.height()) {
    return false;
  }
  common.setWidth(std::max(common.width(), size.width()));
  return true;
}
