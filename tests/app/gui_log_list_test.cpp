#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "app/gui_log_list.h"

using namespace Qt::StringLiterals;

namespace {

QStringList texts(const QListWidget& list) {
  QStringList lines;
  for (int row = 0; row < list.count(); ++row) {
    lines.append(list.item(row)->text());
  }
  return lines;
}

class LogListTest : public testing::Test {
 protected:
  void SetUp() override {
    list.setFont(QFont(u"Verdana"_s, 8));
    list.resize(300, 120);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  }

  LogList list;
};

TEST_F(LogListTest, EveryLineIsShownInOrderAndTheNewestIsCurrentSelectedAndInView) {
  QStringList lines;
  for (int i = 0; i < 500; ++i) {
    lines.append(u"Buscando en /música/carpeta %1"_s.arg(i));
    list.appendLine(lines.last());
    // Current at once, before any event runs.
    ASSERT_EQ(list.currentRow(), i);
  }
  EXPECT_EQ(texts(list), lines);
  ASSERT_EQ(list.selectedItems().size(), 1);
  EXPECT_EQ(list.selectedItems().first(), list.item(499));

  QApplication::processEvents();
  EXPECT_TRUE(list.viewport()->rect().contains(list.visualItemRect(list.item(499))));
  EXPECT_EQ(list.verticalScrollBar()->value(), list.verticalScrollBar()->maximum());
  // Clicking a line still makes it the current one.
  const QRect shown = list.visualItemRect(list.item(495));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, shown.center());
  EXPECT_EQ(list.currentRow(), 495);
}

TEST_F(LogListTest, ItemsKeepTheSizeAPlainListGivesThem) {
  QListWidget plain;
  plain.setFont(list.font());
  plain.resize(list.size());
  const QStringList lines{u"corta"_s, QString(400, u'x'), QString(), u"Ñandú «ñ» — tab\tfin"_s};
  for (const QString& line : lines) {
    list.appendLine(line);
  }
  plain.addItems(lines);
  list.addItems({u"añadida de golpe"_s, u"otra"_s});
  plain.addItems({u"añadida de golpe"_s, u"otra"_s});
  plain.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
  for (int row = 0; row < plain.count(); ++row) {
    EXPECT_EQ(list.visualItemRect(list.item(row)).size(),
              plain.visualItemRect(plain.item(row)).size())
        << row;
  }
  // The long line is not cut short: the list scrolls sideways to it as before.
  EXPECT_EQ(list.horizontalScrollBar()->maximum(), plain.horizontalScrollBar()->maximum());
  EXPECT_GT(list.horizontalScrollBar()->maximum(), 0);
}

// Rows of one height share one size; a taller line must keep its own, the newest line still
// ends in view, and an emptied list goes back to one size for its new lines.
TEST_F(LogListTest, ALineOfAnotherHeightKeepsItsSizeAndTheNewestLineStaysInView) {
  QStringList lines{u"corta"_s, u"dos\nlíneas"_s};
  for (int i = 0; i < 30; ++i) {
    lines.append(u"Buscando en /música/%1"_s.arg(i));
  }
  lines.append(QString(300, u'x'));
  for (const QStringList& batch : {lines, QStringList{u"una"_s, QString(200, u'y'), u"tres"_s}}) {
    list.clear();
    QListWidget plain;
    plain.setFont(list.font());
    plain.resize(list.size());
    for (const QString& line : batch) {
      list.appendLine(line);
    }
    plain.addItems(batch);
    plain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
    QApplication::processEvents();
    for (int row = 0; row < plain.count(); ++row) {
      EXPECT_EQ(list.visualItemRect(list.item(row)).size(),
                plain.visualItemRect(plain.item(row)).size())
          << row;
    }
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), plain.horizontalScrollBar()->maximum());
    EXPECT_EQ(list.currentRow(), batch.size() - 1);
    EXPECT_EQ(list.verticalScrollBar()->value(), list.verticalScrollBar()->maximum());
    EXPECT_TRUE(list.viewport()->rect().intersects(list.visualItemRect(list.currentItem())));
  }
}

TEST_F(LogListTest, AListEmptiedAndRefilledShowsOnlyTheNewLines) {
  for (int i = 0; i < 50; ++i) {
    list.appendLine(u"vieja %1"_s.arg(i));
  }
  list.clear();
  list.appendLine(u"la primera otra vez"_s);
  EXPECT_EQ(texts(list), QStringList{u"la primera otra vez"_s});
  EXPECT_EQ(list.currentRow(), 0);
  EXPECT_TRUE(list.item(0)->isSelected());
  QApplication::processEvents();
  EXPECT_EQ(list.verticalScrollBar()->value(), 0);
}

}  // namespace
