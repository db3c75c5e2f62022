#include "scan/sort_strings.h"

#include <algorithm>
#include <numeric>

namespace {

// UTF-16 order differs from code-point order above the surrogates, so compare whole code points.
bool codePointLess(const QString& a, const QString& b) {
  const QList<uint> ua = a.toUcs4();
  const QList<uint> ub = b.toUcs4();
  return std::lexicographical_compare(ua.cbegin(), ua.cend(), ub.cbegin(), ub.cend());
}

}  // namespace

NameOrder::NameOrder() {
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

std::vector<qsizetype> NameOrder::sortedPositions(const QStringList& names) const {
  std::vector<qsizetype> positions(static_cast<std::size_t>(names.size()));
  std::iota(positions.begin(), positions.end(), 0);
  // Direct comparisons, not sort keys: in the C locale Qt's keys ignore the case setting.
  std::stable_sort(positions.begin(), positions.end(), [&](qsizetype a, qsizetype b) {
    const int byCollation = collator_.compare(names[a], names[b]);
    return byCollation != 0 ? byCollation < 0 : codePointLess(names[a], names[b]);
  });
  return positions;
}

void SortStrings(QStringList& items) {
  QStringList sorted;
  sorted.reserve(items.size());
  for (const qsizetype position : NameOrder().sortedPositions(items)) {
    sorted.append(items[position]);
  }
  items = std::move(sorted);
}
