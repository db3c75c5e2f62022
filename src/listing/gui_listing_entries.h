#pragma once

#include <QListWidget>
#include <QStringList>

#include <vector>

class UniformRowDelegate;

/**
 * The listing window's text list (List1): one item per rendered entry, its text exactly the
 * entry. A whole collection renders about 110,000 entries, too many to measure each one
 * whenever the view lays them out: when every row is sure to be as high as the others, the
 * list gives the view one row size (the widest row's), measured once per filling.
 */
class ListingEntryList : public QListWidget {
  Q_OBJECT

 public:
  explicit ListingEntryList(QWidget* parent = nullptr);

  /** Replaces the items by texts, one item per text, in one insertion. */
  void showEntries(const QStringList& texts);
  /** The texts of the items. */
  QStringList entries() const;

 private:
  QSize uniformRowSize(const QStringList& texts) const;
  int widestPlainLine(const QStringList& texts, std::vector<int>& others) const;
  QSize measuredSize(int row) const;

  UniformRowDelegate* delegate_;
};
