#include "search/gui_column_widths.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>
#include <vector>

namespace {

// A longer value is elided; its tooltip shows it whole.
constexpr int kMaxColumnCharacters = 40;
// A table's grid line takes a pixel of each cell.
constexpr int kGridLine = 1;

// The widest cell of each column among the first rows of the model, depth first.
class SampleMeasure {
 public:
  SampleMeasure(QAbstractItemView& view, int sampleRows)
      : view_(view),
        tree_(qobject_cast<QTreeView*>(&view)),
        left_(sampleRows),
        widths_(static_cast<std::size_t>(view.model()->columnCount()), 0) {}

  std::vector<int> widths() {
    measureChildren({}, 0);
    return widths_;
  }

 private:
  void measureChildren(const QModelIndex& parent, int depth) {
    const QAbstractItemModel& model = *view_.model();
    for (int row = 0; row < model.rowCount(parent) && left_ > 0; ++row) {
      const QModelIndex first = model.index(row, 0, parent);
      if (model.hasChildren(first)) {
        measureChildren(first, depth + 1);
      } else {
        measureRow(parent, row, depth);
        --left_;
      }
    }
  }

  void measureRow(const QModelIndex& parent, int row, int depth) {
    for (std::size_t column = 0; column < widths_.size(); ++column) {
      const QModelIndex cell = view_.model()->index(row, static_cast<int>(column), parent);
      int width = view_.sizeHintForIndex(cell).width() + kGridLine;
      if (column == 0) {
        width += indentation(depth);
      }
      widths_[column] = std::max(widths_[column], width);
    }
  }

  // What a tree puts before the first column of a row at depth: its branch lines.
  int indentation(int depth) const {
    if (!tree_) {
      return 0;
    }
    return tree_->indentation() * (depth + (tree_->rootIsDecorated() ? 1 : 0));
  }

  QAbstractItemView& view_;
  QTreeView* tree_;
  int left_;
  std::vector<int> widths_;
};

}  // namespace

void fitColumnsToSample(QAbstractItemView& view, QHeaderView& header, int sampleRows) {
  if (!view.model()) {
    return;
  }
  const int maxWidth = view.fontMetrics().averageCharWidth() * kMaxColumnCharacters;
  const std::vector<int> cells = SampleMeasure(view, sampleRows).widths();
  for (std::size_t column = 0; column < cells.size(); ++column) {
    const int logical = static_cast<int>(column);
    const int width = std::max(cells[column], header.sectionSizeHint(logical));
    header.resizeSection(logical, std::min(width, maxWidth));
  }
  header.setStretchLastSection(true);
}

void fitColumnsOnEveryReset(QAbstractItemView& view, QHeaderView& header) {
  QObject::connect(view.model(), &QAbstractItemModel::modelReset, &view,
                   [&view, &header] { fitColumnsToSample(view, header); });
}
