#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTest>

#include "app/frm_main.h"
#include "db/mod_bd.h"
#include "listing/frm_report.h"
#include "session/lifecycle.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

// The main window on a real X server, where a menu bar opens (or does not open) its menus as it
// does for a user.
class WindowMenuOnXcb : public testing::Test {
 protected:
  void SetUp() override {
    installProgramFiles();
    setProcessEnd([] {});
    window = std::make_unique<frm_main>();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    menu = window->findChild<QMenu*>(u"mn_windows"_s);
    ASSERT_NE(menu, nullptr);
  }
  void TearDown() override {
    if (menu->isVisible()) {
      menu->close();
    }
    window.reset();
    CloseBd();
  }

  frm_report* openListing(const QString& title) {
    frm_report* report = frm_report::openIn(*window->mdiArea());
    report->setWindowTitle(title);
    return report;
  }

  bool waitForMenu() {
    return QTest::qWaitFor([this] { return menu->isVisible(); }, 3000);
  }

  void clickMenuBar() {
    QMenuBar* bar = window->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
  }

  // What the open menu shows: one line per item, "-" for a separator, "[x]" before the checked
  // item, "(off)" after a disabled one.
  QStringList shownItems() const {
    QStringList lines;
    for (const QAction* item : menu->actions()) {
      if (!item->isVisible()) {
        continue;
      }
      if (item->isSeparator()) {
        lines.append(u"-"_s);
        continue;
      }
      QString line = item->isChecked() ? u"[x] "_s + item->text() : item->text();
      lines.append(item->isEnabled() ? line : line + u" (off)"_s);
    }
    return lines;
  }

  void clickItem(const QString& text) {
    for (QAction* item : menu->actions()) {
      if (item->text() == text) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        return;
      }
    }
    ADD_FAILURE() << "no item " << text.toStdString();
  }

  std::unique_ptr<frm_main> window;
  QMenu* menu = nullptr;
};

}  // namespace

TEST_F(WindowMenuOnXcb, OpensByAltVWithNoListingWindowAndOffersTheArrangementOnly) {
  QTest::keyClick(window.get(), Qt::Key_V, Qt::AltModifier);
  ASSERT_TRUE(waitForMenu());
  EXPECT_EQ(shownItems(),
            QStringList({u"Cascada (off)"_s, u"Mosaico (off)"_s, u"Cerrar todas (off)"_s}));
}

TEST_F(WindowMenuOnXcb, ListsSevenWindowsActiveCheckedByMouseAndKeyboardAndActivatesOne) {
  for (int i = 1; i <= 7; ++i) {
    openListing(u"Listado %1"_s.arg(i));
  }
  const QStringList expected{
      u"&1 Listado 1"_s, u"&2 Listado 2"_s, u"&3 Listado 3"_s,     u"&4 Listado 4"_s,
      u"&5 Listado 5"_s, u"&6 Listado 6"_s, u"[x] &7 Listado 7"_s, u"-"_s,
      u"Cascada"_s,      u"Mosaico"_s,      u"Cerrar todas"_s};
  clickMenuBar();
  ASSERT_TRUE(waitForMenu());
  EXPECT_EQ(shownItems(), expected);
  clickItem(u"&3 Listado 3"_s);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !menu->isVisible(); }, 3000));
  EXPECT_EQ(window->mdiArea()->currentSubWindow()->windowTitle(), u"Listado 3"_s);

  QTest::keyClick(window.get(), Qt::Key_V, Qt::AltModifier);
  ASSERT_TRUE(waitForMenu());
  QStringList nowThird = expected;
  nowThird[2] = u"[x] &3 Listado 3"_s;
  nowThird[6] = u"&7 Listado 7"_s;
  EXPECT_EQ(shownItems(), nowThird);
  clickItem(u"Cerrar todas"_s);
  ASSERT_TRUE(QTest::qWaitFor([this] { return window->mdiArea()->subWindowList().isEmpty(); }));
}

TEST_F(WindowMenuOnXcb, EachNewListingWindowOpensCascadedFromTheLastOne) {
  for (int i = 1; i <= 3; ++i) {
    openListing(u"Listado %1"_s.arg(i));
  }
  const QList<QMdiSubWindow*> windows = window->mdiArea()->subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(windows.size(), 3);
  const int step = windows[0]->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows[0]);
  ASSERT_GT(step, 0);
  EXPECT_EQ(windows[0]->pos(), QPoint(0, 0));
  EXPECT_EQ(windows[1]->pos(), QPoint(step, step));
  EXPECT_EQ(windows[2]->pos(), QPoint(2 * step, 2 * step));

  // Once a caption would fall below the area, the next window starts again at the corner.
  windows[2]->move(0, window->mdiArea()->viewport()->height() - step);
  openListing(u"Listado 4"_s);
  EXPECT_EQ(window->mdiArea()->subWindowList(QMdiArea::CreationOrder).last()->pos(), QPoint(0, 0));
}

TEST_F(WindowMenuOnXcb, CascadaAndMosaicoArrangeTheWindows) {
  for (int i = 1; i <= 2; ++i) {
    openListing(u"Listado %1"_s.arg(i));
  }
  const QList<QMdiSubWindow*> windows = window->mdiArea()->subWindowList();
  windows[0]->move(40, 40);
  windows[1]->move(40, 40);
  clickMenuBar();
  ASSERT_TRUE(waitForMenu());
  clickItem(u"Mosaico"_s);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !menu->isVisible(); }, 3000));
  // Side by side (a listing window keeps its minimum width, so they may still overlap).
  EXPECT_EQ(windows[0]->y(), windows[1]->y());
  EXPECT_NE(windows[0]->x(), windows[1]->x());

  clickMenuBar();
  ASSERT_TRUE(waitForMenu());
  clickItem(u"Cascada"_s);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !menu->isVisible(); }, 3000));
  const QPoint offset = windows[1]->pos() - windows[0]->pos();
  EXPECT_NE(offset.x(), 0);
  EXPECT_NE(offset.y(), 0);
}
