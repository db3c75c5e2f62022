#include "db/frm_reportsbd.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include "db/mod_bd.h"
#include "platform/twips.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

class FrmReportsbdTest : public BdTest {
 protected:
  void SetUp() override {
    BdTest::SetUp();
    for (const QString& row :
         {u"3,'CD tres',1,'x'"_s, u"1,'/dir uno',2,'x'"_s, u"2,'CD dos',1,'x'"_s}) {
      ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES ("_s + row + u')'));
    }
    window_ = frm_reportsbd::Instance(nullptr);
    tv_ = window_->findChild<QTreeWidget*>(u"tv"_s);
    ASSERT_TRUE(tv_);
  }
  void TearDown() override {
    delete frm_reportsbd::current();
    BdTest::TearDown();
  }
  QAction* button(const QString& key) const { return window_->findChild<QAction*>(key); }
  QTreeWidgetItem* node(const QString& text) const {
    const QList<QTreeWidgetItem*> found =
        tv_->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }
  void click(const QString& text) const {
    QTest::mouseClick(tv_->viewport(), Qt::LeftButton, {},
                      tv_->visualItemRect(node(text)).center());
  }
  static QString keyOf(const QTreeWidgetItem* item) {
    return item->data(0, Qt::UserRole).toString();
  }

  frm_reportsbd* window_ = nullptr;
  QTreeWidget* tv_ = nullptr;
};

TEST_F(FrmReportsbdTest, ShowsTheListingsGroupedByMediumInNumberOrder) {
  EXPECT_EQ(window_->windowTitle(), u"Gestion Informes en BD"_s);
  EXPECT_TRUE(window_->isVisible());
  ASSERT_EQ(tv_->topLevelItemCount(), 2);
  const QTreeWidgetItem* cds = tv_->topLevelItem(0);
  const QTreeWidgetItem* dirs = tv_->topLevelItem(1);
  EXPECT_EQ(cds->text(0) + u' ' + keyOf(cds), u"CDs MP3 root-cd"_s);
  EXPECT_EQ(dirs->text(0) + u' ' + keyOf(dirs), u"Directorios root-dir"_s);
  ASSERT_EQ(cds->childCount(), 2);
  EXPECT_EQ(keyOf(cds->child(0)) + u' ' + cds->child(0)->text(0), u"cd2 CD dos"_s);
  EXPECT_EQ(keyOf(cds->child(1)) + u' ' + cds->child(1)->text(0), u"cd3 CD tres"_s);
  ASSERT_EQ(dirs->childCount(), 1);
  EXPECT_EQ(keyOf(dirs->child(0)) + u' ' + dirs->child(0)->text(0), u"dir1 /dir uno"_s);
  EXPECT_DOUBLE_EQ(tv_->font().pointSizeF(), 6.75);

  const QList<QAction*> buttons = window_->findChild<QToolBar*>(u"Toolbar1"_s)->actions();
  ASSERT_EQ(buttons.size(), 4);
  EXPECT_TRUE(buttons[0]->isSeparator());
  EXPECT_EQ(buttons[1]->objectName() + buttons[2]->objectName() + buttons[3]->objectName(),
            u"refresh"_s + u"erase"_s + u"openreport"_s);
  EXPECT_EQ(buttons[2]->toolTip(), u"Borrar"_s);
  EXPECT_EQ(frm_reportsbd::Instance(nullptr), window_);
}

TEST_F(FrmReportsbdTest, NothingIsChosenAfterAReloadUntilAListingIsClicked) {
  EXPECT_FALSE(button(u"erase"_s)->isEnabled());
  EXPECT_FALSE(button(u"openreport"_s)->isEnabled());
  button(u"erase"_s)->trigger();
  EXPECT_EQ(rows(u"select count(*) from reports"_s), QStringList({u"3"_s}));

  click(u"CD tres"_s);
  EXPECT_TRUE(button(u"erase"_s)->isEnabled());
  EXPECT_TRUE(button(u"openreport"_s)->isEnabled());
  click(u"CDs MP3"_s);
  EXPECT_FALSE(button(u"erase"_s)->isEnabled());
  click(u"/dir uno"_s);
  EXPECT_TRUE(button(u"openreport"_s)->isEnabled());
  button(u"refresh"_s)->trigger();
  EXPECT_FALSE(button(u"erase"_s)->isEnabled());
  EXPECT_FALSE(button(u"openreport"_s)->isEnabled());
}

TEST_F(FrmReportsbdTest, OpeningAListingAsksForItsNumber) {
  QSignalSpy requests(window_, &frm_reportsbd::openListingRequested);
  // A double click reaches the tree after the click of its first press.
  click(u"CD tres"_s);
  QTest::mouseDClick(tv_->viewport(), Qt::LeftButton, {},
                     tv_->visualItemRect(node(u"CD tres"_s)).center());
  click(u"/dir uno"_s);
  button(u"openreport"_s)->trigger();
  ASSERT_EQ(requests.size(), 2);
  EXPECT_EQ(requests[0][0].value<int>(), 3);
  EXPECT_EQ(requests[1][0].value<int>(), 1);

  click(u"Directorios"_s);
  QTest::mouseDClick(tv_->viewport(), Qt::LeftButton, {},
                     tv_->visualItemRect(node(u"Directorios"_s)).center());
  EXPECT_EQ(requests.size(), 2);
}

TEST_F(FrmReportsbdTest, EraseDeletesTheChosenListingAndItsNodeStaysUntilRefresh) {
  LogRecorder log;
  click(u"CD dos"_s);
  button(u"erase"_s)->trigger();
  EXPECT_EQ(log.lines.last(), u"Listado número 2 eliminado permanentemente de la BD"_s);
  EXPECT_EQ(rows(u"select rp_id from reports"_s), QStringList({u"1"_s, u"3"_s}));
  EXPECT_TRUE(node(u"CD dos"_s));
  button(u"refresh"_s)->trigger();
  EXPECT_FALSE(node(u"CD dos"_s));
}

TEST_F(FrmReportsbdTest, TreeFollowsTheWindowSizeUnlessTheWindowIsTooSmall) {
  window_->resize(600, 400);
  const QSize outer = window_->frameGeometry().size();
  EXPECT_EQ(tv_->size(),
            QSize(outer.width() - twipsToPixels(200), outer.height() - twipsToPixels(1000)));
  EXPECT_EQ(tv_->pos(), QPoint(3, 27));
  const QSize before = tv_->size();
  window_->resize(10, 40);
  EXPECT_EQ(tv_->size(), before);
}

TEST_F(FrmReportsbdTest, ClosingDiscardsTheOneWindow) {
  window_->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(frm_reportsbd::current(), nullptr);
}

TEST_F(FrmReportsbdTest, OpensCentredOverTheWindowThatOwnsIt) {
  delete frm_reportsbd::current();
  QWidget owner;
  owner.setGeometry(40, 30, 700, 540);
  owner.show();
  frm_reportsbd* window = frm_reportsbd::Instance(&owner);
  window_ = window;
  EXPECT_TRUE(window->isWindow());
  const QPoint offset = window->frameGeometry().center() - owner.frameGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 6) << offset.x() << "," << offset.y();
}

TEST_F(FrmReportsbdTest, AnIncompleteListingKeepsItsTextAndSaysSoByTooltipAndMark) {
  ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO incompletos VALUES (2)"_s));
  window_->Recarga();
  const QTreeWidgetItem* marked = node(u"CD dos"_s);
  const QTreeWidgetItem* whole = node(u"CD tres"_s);
  ASSERT_TRUE(marked && whole);
  EXPECT_EQ(marked->toolTip(0), u"incompleto"_s);
  EXPECT_EQ(whole->toolTip(0), QString());
  const QImage markedIcon = marked->icon(0).pixmap(16, 16).toImage();
  EXPECT_FALSE(markedIcon.isNull());
  EXPECT_NE(markedIcon, whole->icon(0).pixmap(16, 16).toImage());
}
