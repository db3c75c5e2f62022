#include "search/gui_column_widths.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

QList<QStandardItem*> rowOf(const QStringList& texts) {
  QList<QStandardItem*> row;
  for (const QString& text : texts) {
    row.append(new QStandardItem(text));
  }
  return row;
}

int textWidth(const QAbstractItemView& view, const QString& text) {
  return view.fontMetrics().horizontalAdvance(text);
}

}  // namespace

TEST(FitColumnsToSample, ColumnsTakeTheirSampledContentsUpToACapAndTheLastStretches) {
  QStandardItemModel model(0, 3);
  model.setHorizontalHeaderLabels({u"Nº"_s, u"Artista"_s, u"Comentario"_s});
  model.appendRow(rowOf({u"1"_s, u"Ana Belén y los del río"_s, u"corto"_s}));
  model.appendRow(rowOf({u"22"_s, u"Lola"_s, u"largo "_s.repeated(60)}));
  // Past the sample: never measured, so it cannot widen its column.
  model.appendRow(rowOf({u"9"_s.repeated(80), u"x"_s, u"y"_s}));
  QTableView view;
  view.setModel(&model);
  fitColumnsToSample(view, *view.horizontalHeader(), 2);

  const QHeaderView& header = *view.horizontalHeader();
  EXPECT_GE(header.sectionSize(0), header.sectionSizeHint(0));
  EXPECT_LT(header.sectionSize(0), textWidth(view, u"9"_s.repeated(80)));
  EXPECT_GT(header.sectionSize(1), textWidth(view, u"Ana Belén y los del río"_s));
  EXPECT_LT(header.sectionSize(2), textWidth(view, u"largo "_s.repeated(60)));
  EXPECT_GT(header.sectionSize(2), header.sectionSize(1));
  EXPECT_TRUE(header.stretchLastSection());
}
