#include "listing/gui_listing_entries.h"

#include <QFontMetricsF>

#include <algorithm>
#include <array>
#include <vector>

#include "platform/gui_uniform_rows.h"

namespace {

// Text the list's own font draws on one line of its own height: Latin letters and signs, no
// control characters (tabs, line breaks). Other scripts may take glyphs from fallback fonts
// of other heights, so those entries are measured as the view would.
constexpr char16_t kFirstPlainChar = 0x20;
constexpr char16_t kLastPlainChar = 0x24f;

bool isPlainLine(const QString& text) {
  if (text.isEmpty()) {
    return false;
  }
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u < kFirstPlainChar || (u >= 0x7f && u < 0xa0) || u > kLastPlainChar) {
      return false;
    }
  }
  return true;
}

}  // namespace

ListingEntryList::ListingEntryList(QWidget* parent)
    : QListWidget(parent), delegate_(new UniformRowDelegate(this)) {
  setItemDelegate(delegate_);
}

void ListingEntryList::showEntries(const QStringList& texts) {
  clear();
  // One insertion, so the list lays its items out once, not once per entry.
  addItems(texts);
  delegate_->rowSize = uniformRowSize(texts);
  setUniformItemSizes(delegate_->rowSize.isValid());
}

QStringList ListingEntryList::entries() const {
  QStringList texts;
  texts.reserve(count());
  for (int row = 0; row < count(); ++row) {
    texts.append(item(row)->text());
  }
  return texts;
}

// The size every row has when they all have one height, else an invalid size. Only the widest
// plain line and the entries that are not plain are measured the full way, as the view would.
QSize ListingEntryList::uniformRowSize(const QStringList& texts) const {
  std::vector<int> others;
  const int widestPlain = widestPlainLine(texts, others);
  if (widestPlain < 0) {
    return {};
  }
  QSize size = measuredSize(widestPlain);
  for (const int row : others) {
    if (!takeRowSize(size, measuredSize(row))) {
      return {};
    }
  }
  return size;
}

// The widest plain line, -1 when there is none; the rows that are not plain go to others.
// Shaping a line's text is what measuring costs, so lines are taken widest first by the sum
// of their characters' own advances, and shaping stops once that sum (with room for kerning,
// which may widen a pair a little) cannot beat the widest shaped so far.
int ListingEntryList::widestPlainLine(const QStringList& texts, std::vector<int>& others) const {
  const QFontMetricsF metrics(font());
  std::array<qreal, kLastPlainChar + 1> advance{};
  for (char16_t c = kFirstPlainChar; c <= kLastPlainChar; ++c) {
    advance[c] = metrics.horizontalAdvance(QChar(c));
  }
  std::vector<std::pair<qreal, int>> plain;  // (sum of advances, row)
  for (int row = 0; row < texts.size(); ++row) {
    if (!isPlainLine(texts[row])) {
      others.push_back(row);
      continue;
    }
    qreal sum = 0;
    for (const QChar c : texts[row]) {
      sum += advance[c.unicode()];
    }
    plain.emplace_back(sum, row);
  }
  std::sort(plain.begin(), plain.end(),
            [](const auto& a, const auto& b) { return a.first > b.first; });
  int widest = -1;
  qreal widestWidth = -1;
  for (const auto& [sum, row] : plain) {
    if (sum * 1.1 + 2 <= widestWidth) {
      break;
    }
    const qreal width = metrics.horizontalAdvance(texts[row]);
    if (width > widestWidth) {
      widestWidth = width;
      widest = row;
    }
  }
  return widest;
}

QSize ListingEntryList::measuredSize(int row) const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  return delegate_->measured(option, model()->index(row, 0));
}
