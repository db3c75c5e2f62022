#include <QListWidget>
#include <QTreeWidget>

#include "listing_window_fixture.h"
#include "platform/twips.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kPane = 900;       // twips the panes leave of the outer height
constexpr int kListRight = 200;  // twips the list leaves of the outer width beside the tree

}  // namespace

class ListingLayoutTest : public ListingWindowTest {
 protected:
  QTreeWidget* tree() { return control<QTreeWidget>(u"tv"_s); }
  QWidget* bar() { return control<QWidget>(u"Picture1"_s); }
  QListWidget* list() { return control<QListWidget>(u"List1"_s); }
  QWidget* panel() { return control<QWidget>(u"Frame1"_s); }

  void expectLaidOutFor(int outerWidth, int outerHeight) {
    const int paneHeight = outerHeight - twipsToPixels(kPane);
    EXPECT_EQ(tree()->height(), paneHeight);
    EXPECT_EQ(bar()->height(), paneHeight);
    EXPECT_EQ(list()->height(), paneHeight);
    EXPECT_EQ(list()->width(), outerWidth - tree()->width() - twipsToPixels(kListRight));
  }

  void dragSplitter(int fromX, int toX) {
    QTest::mousePress(bar(), Qt::LeftButton, {}, QPoint(fromX, 50));
    EXPECT_EQ(report_->cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseRelease(bar(), Qt::LeftButton, {}, QPoint(toX, 50));
    EXPECT_FALSE(report_->testAttribute(Qt::WA_SetCursor));
  }
};

TEST_F(ListingLayoutTest, PanesFollowTheOuterSizeWhichSnapsToItsMinimum) {
  resizeOuter(900, 700);
  expectLaidOutFor(900, 700);

  resizeOuter(300, 40);
  const QSize minimum(twipsToPixels(8340), twipsToPixels(1250));
  EXPECT_EQ(subWindow_->size(), minimum);
  expectLaidOutFor(minimum.width(), minimum.height());

  resizeOuter(300, 400);
  EXPECT_EQ(subWindow_->size(), QSize(minimum.width(), 400));
}

TEST_F(ListingLayoutTest, AMinimisedWindowKeepsItsControlsAsTheyWere) {
  resizeOuter(900, 700);
  const QRect listBefore = list()->geometry();
  const QRect treeBefore = tree()->geometry();
  subWindow_->showMinimized();
  QCoreApplication::processEvents();
  EXPECT_TRUE(subWindow_->isMinimized());
  EXPECT_LT(subWindow_->height(), twipsToPixels(1250));
  EXPECT_EQ(list()->geometry(), listBefore);
  EXPECT_EQ(tree()->geometry(), treeBefore);
}

TEST_F(ListingLayoutTest, SplitterDragOf300TwipsWidensTheTreeAndKeepsTheListsRightEdge) {
  resizeOuter(900, 700);
  const QRect treeBefore = tree()->geometry();
  const QRect barBefore = bar()->geometry();
  const QRect listBefore = list()->geometry();

  // The release lands beyond the bar; the bar holds the mouse, so it still gets it.
  dragSplitter(3, 3 + twipsToPixels(300));
  EXPECT_EQ(report_->xXf, 45);
  EXPECT_EQ(tree()->width(), treeBefore.width() + 20);
  EXPECT_EQ(bar()->x(), barBefore.x() + 20);
  EXPECT_EQ(list()->x(), listBefore.x() + 20);
  EXPECT_EQ(list()->width(), listBefore.width() - 20);
  EXPECT_EQ(list()->geometry().right(), listBefore.right());
  expectLaidOutFor(900, 700);
}

TEST_F(ListingLayoutTest, PressAndReleaseOnOneSpotOnlyRunsTheLayoutRule) {
  const QRect treeBefore = tree()->geometry();
  const QRect barBefore = bar()->geometry();
  // Left and top untouched, sizes from the outer size.
  dragSplitter(4, 4);
  EXPECT_EQ(tree()->width(), treeBefore.width());
  EXPECT_EQ(bar()->pos(), barBefore.topLeft());
  expectLaidOutFor(subWindow_->width(), subWindow_->height());
}

TEST_F(ListingLayoutTest, SplitterDragsStopWhereAPaneWouldVanish) {
  resizeOuter(900, 700);
  const int barToTree = bar()->x() - tree()->width();

  dragSplitter(3, -2000);
  EXPECT_EQ(tree()->width(), 0);
  EXPECT_EQ(bar()->x(), barToTree);
  EXPECT_GE(list()->x(), 0);

  dragSplitter(3, 5000);
  EXPECT_EQ(list()->width(), 0);
  EXPECT_EQ(tree()->width(), 900 - twipsToPixels(kListRight));
  EXPECT_EQ(bar()->x(), tree()->width() + barToTree);
}

TEST_F(ListingLayoutTest, RightButtonDragsChangeNothingAndLeaveThePointerAlone) {
  const QRect treeBefore = tree()->geometry();
  const QRect listBefore = list()->geometry();
  QTest::mousePress(bar(), Qt::RightButton, {}, QPoint(3, 50));
  EXPECT_FALSE(report_->testAttribute(Qt::WA_SetCursor));
  QTest::mouseRelease(bar(), Qt::RightButton, {}, QPoint(60, 50));
  EXPECT_EQ(tree()->geometry(), treeBefore);
  EXPECT_EQ(list()->geometry(), listBefore);

  const QPoint panelBefore = panel()->pos();
  QTest::mousePress(panel(), Qt::RightButton, {}, QPoint(300, 70));
  EXPECT_FALSE(report_->testAttribute(Qt::WA_SetCursor));
  QTest::mouseRelease(panel(), Qt::RightButton, {}, QPoint(320, 10));
  EXPECT_EQ(panel()->pos(), panelBefore);
}

TEST_F(ListingLayoutTest, ThePanelJumpsOnReleaseAndKeepsItsPlaceWhileHidden) {
  clickToolbar(u"modifydesign"_s);
  const QPoint before = panel()->pos();

  // Background right of the "Referencia" button.
  QTest::mousePress(panel(), Qt::LeftButton, {}, QPoint(300, 66));
  EXPECT_EQ(report_->cursor().shape(), Qt::SizeAllCursor);
  EXPECT_EQ(report_->xframe, 4500);
  EXPECT_EQ(report_->yframe, 990);
  QTest::mouseRelease(panel(), Qt::LeftButton, {}, QPoint(340, -900));
  EXPECT_FALSE(report_->testAttribute(Qt::WA_SetCursor));
  // Not kept inside the window.
  EXPECT_EQ(panel()->pos(), before + QPoint(40, -966));

  clickToolbar(u"modifydesign"_s);
  EXPECT_FALSE(panel()->isVisible());
  clickToolbar(u"modifydesign"_s);
  EXPECT_TRUE(panel()->isVisible());
  EXPECT_EQ(panel()->pos(), before + QPoint(40, -966));
}

TEST_F(ListingLayoutTest, PressesOnThePanelsControlsDoNotMoveIt) {
  clickToolbar(u"modifydesign"_s);
  const QPoint before = panel()->pos();
  auto* label = control<QWidget>(u"Label1"_s);
  QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(report_->testAttribute(Qt::WA_SetCursor));
  QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(80, 40));
  EXPECT_EQ(panel()->pos(), before);
}
