#include "listing/gui_listing_entries.h"

#include <QFontMetricsF>

#include <cmath>

#include "platform/gui_uniform_rows.h"

namespace {

// Text the list's own font draws on one line of its own height: Latin letters and signs, no
// control characters (tabs, line breaks). Other scripts may take glyphs from fallback fonts
// of other heights, so those entries are measured as the view would.
bool isPlainLine(const QString& text) {
  if (text.isEmpty()) {
    return false;
  }
  for (const QChar c : text) {
    if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0) || c.unicode() > 0x24f) {
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

// The size every row has when they all have one height, else an invalid size. Plain lines are
// measured by their text's width alone (the font's advances, as the view lays the line out),
// and only the widest of them, and the few entries that are not plain, the full way.
QSize ListingEntryList::uniformRowSize(const QStringList& texts) const {
  const QFontMetricsF metrics(font());
  int widestPlain = -1;
  qreal widestWidth = -1;
  std::vector<int> others;
  for (int row = 0; row < texts.size(); ++row) {
    if (!isPlainLine(texts[row])) {
      others.push_back(row);
      continue;
    }
    const qreal width = std::ceil(metrics.horizontalAdvance(texts[row]));
    if (width > widestWidth) {
      widestWidth = width;
      widestPlain = row;
    }
  }
  if (widestPlain < 0) {
    return {};
  }
  QSize size = measuredSize(widestPlain);
  for (const int row : others) {
    const QSize other = measuredSize(row);
    if (other.height() != size.height()) {
      return {};
    }
    size.setWidth(std::max(size.width(), other.width()));
  }
  return size;
}

QSize ListingEntryList::measuredSize(int row) const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  return delegate_->measured(option, model()->index(row, 0));
}
