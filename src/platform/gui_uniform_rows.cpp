#include "platform/gui_uniform_rows.h"

QSize UniformRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  return rowSize.isValid() ? rowSize : measured(option, index);
}

QSize UniformRowDelegate::measured(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  return QStyledItemDelegate::sizeHint(option, index);
}
