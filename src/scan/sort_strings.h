#pragma once

#include <QCollator>
#include <QStringList>

#include <vector>

/**
 * The walk's order of names: ascending case-insensitive collation of the user's locale, with
 * names that it holds equal ordered by code point ("Dup.mp3" before "dup.mp3"), so the order is
 * total and repeatable. Keep one instance for many sorts: setting up a collator is not cheap.
 */
class NameOrder {
 public:
  NameOrder();

  /** The positions of names, in ascending order. */
  std::vector<qsizetype> sortedPositions(const QStringList& names) const;

 private:
  QCollator collator_;
};

/** Sorts items in place in the walk's order. */
void SortStrings(QStringList& items);
