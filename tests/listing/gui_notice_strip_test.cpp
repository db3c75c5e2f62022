#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "listing/gui_notice_strip.h"
#include "listing_window_fixture.h"

using namespace Qt::StringLiterals;

class NoticeStripTest : public ListingWindowTest {
 protected:
  NoticeStrip* strip() { return control<NoticeStrip>(u"Notices"_s); }
  QRect treeRect() { return control<QTreeWidget>(u"tv"_s)->geometry(); }
  QRect listRect() { return control<QListWidget>(u"List1"_s)->geometry(); }
};

TEST_F(NoticeStripTest, NoticesTakeTheirRoomBelowThePanesAndGiveItBackWhenGone) {
  resizeOuter(900, 700);
  const QRect treeBefore = treeRect();
  const QRect listBefore = listRect();
  EXPECT_EQ(&report_->notices(), strip());
  EXPECT_FALSE(strip()->isVisible());

  report_->notices().setNotice(u"cap"_s, u"Quedan fuera 3 directorios."_s);
  EXPECT_TRUE(strip()->isVisible());
  EXPECT_GT(strip()->height(), 0);
  EXPECT_EQ(treeRect().height(), treeBefore.height() - strip()->height());
  EXPECT_EQ(listRect().height(), listBefore.height() - strip()->height());
  EXPECT_EQ(strip()->y(), treeRect().bottom() + 1);
  EXPECT_EQ(strip()->width(), report_->width());
  EXPECT_EQ(listRect().width(), listBefore.width());

  // A resize keeps the strip below the panes.
  resizeOuter(1000, 600);
  EXPECT_EQ(strip()->y(), treeRect().bottom() + 1);
  EXPECT_EQ(strip()->width(), report_->width());

  report_->notices().removeNotice(u"cap"_s);
  resizeOuter(900, 700);
  EXPECT_FALSE(strip()->isVisible());
  EXPECT_EQ(treeRect(), treeBefore);
  EXPECT_EQ(listRect(), listBefore);
}

TEST_F(NoticeStripTest, AKeyHoldsOneNoticeWhichKeepsItsPlaceWhenItsTextChanges) {
  NoticeStrip& notices = report_->notices();
  notices.setNotice(u"cap"_s, u"uno"_s);
  notices.setNotice(u"partial"_s, u"dos"_s);
  notices.setNotice(u"cap"_s, u"tres"_s);
  EXPECT_EQ(notices.notices(), QStringList({u"tres"_s, u"dos"_s}));

  notices.removeNotice(u"nada"_s);
  notices.removeNotice(u"cap"_s);
  EXPECT_EQ(notices.notices(), QStringList({u"dos"_s}));
  EXPECT_TRUE(strip()->isVisible());
}

TEST_F(NoticeStripTest, EachNoticeClosesWithItsOwnButton) {
  resizeOuter(900, 700);
  const int paneHeight = treeRect().height();
  NoticeStrip& notices = report_->notices();
  notices.setNotice(u"cap"_s, u"uno"_s);
  notices.setNotice(u"partial"_s, u"dos"_s);
  const int twoNotices = strip()->height();

  auto* close = strip()->findChild<QWidget*>(u"notice_cap"_s)->findChild<QToolButton*>(u"close"_s);
  ASSERT_TRUE(close);
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_EQ(notices.notices(), QStringList({u"dos"_s}));
  EXPECT_LT(strip()->height(), twoNotices);
  EXPECT_EQ(treeRect().height(), paneHeight - strip()->height());

  close = strip()->findChild<QWidget*>(u"notice_partial"_s)->findChild<QToolButton*>(u"close"_s);
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_TRUE(notices.notices().isEmpty());
  EXPECT_FALSE(strip()->isVisible());
  EXPECT_EQ(treeRect().height(), paneHeight);
}

TEST_F(NoticeStripTest, EveryNoticeShowsWholeWhateverTheirOrderAndTheWindowsWidth) {
  const QString longText =
      QString(u"Quedan fuera del listado varios directorios y archivos. "_s).repeated(6).trimmed();
  const QList<QStringList> orders = {
      {u"corto"_s, longText, longText}, {longText, u"corto"_s}, {longText, longText, u"corto"_s}};
  for (const int width : {420, 700, 1150}) {
    for (const QStringList& texts : orders) {
      SCOPED_TRACE(QString(u"%1 px, %2 notices"_s).arg(width).arg(texts.size()).toStdString());
      resizeOuter(width, 700);
      for (qsizetype i = 0; i < texts.size(); ++i) {
        report_->notices().setNotice(u"n%1"_s.arg(i), texts[i]);
      }
      QCoreApplication::processEvents();
      for (qsizetype i = 0; i < texts.size(); ++i) {
        const auto* label =
            strip()->findChild<QWidget*>(u"notice_n%1"_s.arg(i))->findChild<QLabel*>();
        const QRect inStrip(label->mapTo(strip(), QPoint()), label->size());
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << i;
        EXPECT_TRUE(strip()->rect().contains(inStrip)) << i;
      }
      for (qsizetype i = 0; i < texts.size(); ++i) {
        report_->notices().removeNotice(u"n%1"_s.arg(i));
      }
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
}
