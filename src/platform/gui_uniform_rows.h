#pragma once

#include <QStyledItemDelegate>

/**
 * The delegate of a list whose rows may all be given one size. A list view measures every item
 * each time it lays them out, which grows with what the list holds; with uniform item sizes it
 * asks its delegate once. When rowSize is valid this delegate answers it for every row, so a
 * list that knows the common height and the widest row (rows, scroll ranges and painting then
 * stay those of a list that measured each item) turns uniform sizes on; otherwise it measures
 * each item as the plain delegate does.
 */
class UniformRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  /** The size the plain delegate gives the item, whatever rowSize says. */
  QSize measured(const QStyleOptionViewItem& option, const QModelIndex& index) const;

  QSize rowSize;
};

/**
 * Widens common, the size rows share so far (invalid: none yet), to take a row of size; false,
 * and common left as it was, when the row is of another height and so cannot share it.
 */
bool takeRowSize(QSize& common, QSize size);
