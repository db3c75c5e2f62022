#include "app/frm_main.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QToolBar>

#include "accessories/frm_about.h"
#include "accessories/web_links.h"
#include "base/app_info.h"
#include "base/log.h"
#include "db/mod_bd.h"
#include "listing/frm_report.h"
#include "listing/gui_notice_strip.h"
#include "platform/desktop_opener.h"
#include "platform/twips.h"
#include "search/frm_search.h"
#include "session/lifecycle.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

// The commands of other subsystems are counted, not run.
class CountingMain : public frm_main {
 public:
  void ScanCD() override { ++scanCd; }
  void ScanDir() override { ++scanDir; }
  void OpenStoredListings() override { ++storedListings; }
  void OpenSearch() override { ++search; }
  int scanCd = 0;
  int scanDir = 0;
  int storedListings = 0;
  int search = 0;
};

class FrmMainTest : public testing::Test {
 protected:
  void SetUp() override {
    installProgramFiles();
    setProcessEnd([this] { ++processEnds; });
    setDesktopOpenHandler([this](const QString& target) {
      opened.append(target);
      return true;
    });
    startWindow();
  }
  void TearDown() override {
    window.reset();
    CloseBd();
  }

  void startWindow() {
    window.reset();  // the program has one main window at a time
    window = std::make_unique<CountingMain>();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  QAction* action(const QString& name) const { return window->findChild<QAction*>(name); }
  // The main window's own controls, not those of a listing window inside it.
  QListWidget* list1() const {
    return window->centralWidget()
        ->findChild<QWidget*>(u"Picture1"_s, Qt::FindDirectChildrenOnly)
        ->findChild<QListWidget*>(u"List1"_s, Qt::FindDirectChildrenOnly);
  }
  QToolBar* toolbar1() const {
    return window->findChild<QToolBar*>(u"Toolbar1"_s, Qt::FindDirectChildrenOnly);
  }
  QStringList logLines() const {
    QStringList lines;
    for (int i = 0; i < list1()->count(); ++i) {
      lines.append(list1()->item(i)->text());
    }
    return lines;
  }
  void clickToolbarButton(QAction* button) {
    QTest::mouseClick(toolbar1()->widgetForAction(button), Qt::LeftButton);
  }
  frm_report* openListing() { return frm_report::openIn(*window->mdiArea()); }

  std::unique_ptr<CountingMain> window;
  int processEnds = 0;
  QStringList opened;
};

// One line per menu item: name, caption, shortcut, "-" for a separator; submenus indented.
QStringList describeMenus(const QList<QAction*>& items, const QString& indent) {
  QStringList lines;
  for (const QAction* item : items) {
    QString line =
        indent + item->objectName() + u' ' + (item->isSeparator() ? u"-"_s : item->text());
    if (!item->shortcut().isEmpty()) {
      line += u' ' + item->shortcut().toString();
    }
    lines.append(item->isEnabled() ? line : line + u" (disabled)"_s);
    if (item->menu()) {
      lines += describeMenus(item->menu()->actions(), indent + u"  "_s);
    }
  }
  return lines;
}

}  // namespace

TEST_F(FrmMainTest, StartsWithTitleAndBannerThenOpensTheDatabaseInListAndFile) {
  EXPECT_EQ(window->windowTitle(), AppTitle());
  const QStringList banner{AppTitle(), QString(52, u'-'), u"Inicializando..."_s};
  EXPECT_EQ(logLines().first(4), banner + QStringList{u"Inicializando conexion BD..."_s});
  EXPECT_EQ(logLines().last(), u"Conexión satisfactoria!"_s);
  EXPECT_EQ(BdConnection().State(), kStateOpen);
  EXPECT_EQ(list1()->currentRow(), list1()->count() - 1);
  EXPECT_EQ(list1()->font().family(), u"Verdana"_s);
  EXPECT_TRUE(readFile(ProgramFile(u"quillet.log"_s))
                  .startsWith((banner.join(u"\r\n"_s) + u"\r\n"_s).toLatin1()));
}

TEST_F(FrmMainTest, MenuTreeHasItsNamesCaptionsShortcutsAndSeparators) {
  const QString authorSite = u"    mn_authorsite "_s + AuthorSiteAddress();
  const QString makerSite = u"    mn_makersite "_s + MakerSiteAddress();
  EXPECT_EQ(describeMenus(window->menuBar()->actions(), QString()),
            QStringList({u"mn_archivo &Archivo"_s,
                         u"  mn_salir &Salir Ctrl+Q"_s,
                         u"mn_tools &Herramientas"_s,
                         u"  mn_scancd Scanea CD F5"_s,
                         u"  mn_scandir Scanea Directorio F6"_s,
                         u"  mn_stupid12312 -"_s,
                         u"  mn_reportsonbd Gestión Informes en BD"_s,
                         u"  mn_buscar Buscar en la BD... Ctrl+F"_s,
                         u"  mn_estadisticas Estadísticas de la BD..."_s,
                         u"  mn_compartir Compartir el catálogo..."_s,
                         u"  mn_plantillas Plantillas..."_s,
                         u"  mn_opciones Opciones..."_s,
                         u"mn_windows &Ventana"_s,
                         u"  mn_windowsbar - (disabled)"_s,
                         u"  mn_cascada Cascada (disabled)"_s,
                         u"  mn_mosaico Mosaico (disabled)"_s,
                         u"  mn_cerrartodas Cerrar todas (disabled)"_s,
                         u"mn_help &Ayuda"_s,
                         u"  mn_helpf1 Ayuda F1 (disabled)"_s,
                         u"  mn_helponline Ayuda online (disabled)"_s,
                         u"  mn_stupidbar398798 -"_s,
                         u"  mn_history &Historia"_s,
                         u"  mn_stupidbar84630 -"_s,
                         u"  mn_makerlinks www"_s,
                         authorSite,
                         makerSite,
                         u"  mn_aboutby &Acerca de..."_s}));
}

TEST_F(FrmMainTest, F5AndF6ScanFromAnywhereInTheWindowAndF1DoesNothing) {
  QTest::keyClick(window.get(), Qt::Key_F5);
  EXPECT_EQ(window->scanCd, 1);
  QWidget* child = openListing()->findChild<QWidget*>(u"tv"_s);
  child->setFocus();
  const int logCount = list1()->count();
  QTest::keyClick(child, Qt::Key_F6);
  QTest::keyClick(child, Qt::Key_F5);
  EXPECT_EQ(window->scanCd, 2);
  EXPECT_EQ(window->scanDir, 1);
  EXPECT_EQ(window->storedListings, 0);
  action(u"mn_reportsonbd"_s)->trigger();
  EXPECT_EQ(window->storedListings, 1);
  QTest::keyClick(child, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(window->search, 1);

  QTest::keyClick(child, Qt::Key_F1);
  EXPECT_TRUE(opened.isEmpty());
  EXPECT_EQ(list1()->count(), logCount);
}

TEST_F(FrmMainTest, ToolbarButtonsDispatchByKey) {
  QStringList keys;
  for (QAction* button : toolbar1()->actions()) {
    keys.append(button->isSeparator() ? u"|"_s : button->objectName() + u':' + button->toolTip());
    EXPECT_TRUE(button->isSeparator() || !button->icon().isNull());
  }
  EXPECT_EQ(keys, QStringList({u"salir:Cerrar programa"_s, u"scancd:Scanea CD"_s,
                               u"scandir:Scanea Directorio"_s, u"|"_s, u"gestbdrep:"_s,
                               u"buscar:Buscar en la BD"_s}));
  clickToolbarButton(action(u"scancd"_s));
  clickToolbarButton(action(u"scandir"_s));
  clickToolbarButton(action(u"scandir"_s));
  clickToolbarButton(action(u"gestbdrep"_s));
  clickToolbarButton(action(u"buscar"_s));
  // A button whose key nobody handles does nothing.
  QAction* foreign = toolbar1()->addAction(u"x"_s);
  foreign->setObjectName(u"refresca"_s);
  clickToolbarButton(foreign);
  EXPECT_EQ(window->scanCd, 1);
  EXPECT_EQ(window->scanDir, 2);
  EXPECT_EQ(window->storedListings, 1);
  EXPECT_EQ(window->search, 1);
  EXPECT_EQ(processEnds, 0);
}

TEST_F(FrmMainTest, EveryExitPathClosesTheDatabaseAndEndsWithoutClosingListingWindows) {
  const std::vector<std::function<void()>> exits = {
      [this] { QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier); },
      [this] { action(u"mn_salir"_s)->trigger(); },
      [this] { clickToolbarButton(action(u"salir"_s)); },
      [this] { window->close(); },
  };

  for (std::size_t i = 0; i < exits.size(); ++i) {
    SCOPED_TRACE(i);
    if (i > 0) {
      startWindow();
    }
    const QPointer<frm_report> listing = openListing();
    const int logCount = list1()->count();
    exits[i]();
    EXPECT_EQ(processEnds, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(listing.isNull());
    EXPECT_FALSE(listing->parentWidget()->isHidden());
    EXPECT_EQ(
        logLines().mid(logCount),
        QStringList({u"Cerrando frm_main"_s, u"Cerrando frm_report"_s,
                     u"Cerrando posible conjunto de registros abierto"_s, u"Cerrando conexion BD"_s,
                     u"Conexion BD cerrada satisfactoriamente"_s, u"cerrando..."_s}));
    EXPECT_EQ(BdConnection().State(), kStateClosed);
    processEnds = 0;
  }
}

TEST_F(FrmMainTest, HelpMenuOpensHistoryWebPagesAndTheAboutBox) {
  action(u"mn_history"_s)->trigger();
  action(u"mn_authorsite"_s)->trigger();
  action(u"mn_makersite"_s)->trigger();
  EXPECT_EQ(opened,
            QStringList({ProgramFile(u"history.html"_s), AuthorSiteAddress(), MakerSiteAddress()}));

  action(u"mn_aboutby"_s)->trigger();
  // The about box is a window of its own, not a child of the main window.
  EXPECT_EQ(window->findChild<frm_about*>(), nullptr);
  QList<frm_about*> boxes;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<frm_about*>(w); box && box->isVisible()) {
      boxes.append(box);
    }
  }
  ASSERT_EQ(boxes.size(), 1);
  boxes[0]->close();
}

TEST_F(FrmMainTest, WindowMenuListsTheChildWindowsAndActivatesThem) {
  QMdiArea* area = window->mdiArea();
  QMdiSubWindow* first = area->addSubWindow(new QLineEdit);
  first->setWindowTitle(u"Uno"_s);
  first->show();
  QMdiSubWindow* second = area->addSubWindow(new QLineEdit);
  second->setWindowTitle(u"Dos & tres"_s);
  second->show();
  area->setActiveSubWindow(second);

  QMenu* menu = window->findChild<QMenu*>(u"mn_windows"_s);
  emit menu->aboutToShow();
  // The open windows, then a separator and the three arrangement items.
  ASSERT_EQ(menu->actions().size(), 2 + 4);
  EXPECT_EQ(menu->actions()[0]->text(), u"&1 Uno"_s);
  EXPECT_EQ(menu->actions()[1]->text(), u"&2 Dos && tres"_s);
  EXPECT_FALSE(menu->actions()[0]->isChecked());
  EXPECT_TRUE(menu->actions()[1]->isChecked());
  menu->actions()[0]->trigger();
  EXPECT_EQ(area->currentSubWindow(), first);

  delete first;
  emit menu->aboutToShow();
  ASSERT_EQ(menu->actions().size(), 1 + 4);
  EXPECT_EQ(menu->actions()[0]->text(), u"&1 Dos && tres"_s);
}

TEST_F(FrmMainTest, LogListWidthFollowsTheWindowOnlyAbove2850Twips) {
  QListWidget* list = list1();
  const int leftTwips = pixelsToTwips(list->x());
  window->resize(twipsToPixels(6000), window->height());
  EXPECT_EQ(list->width(), twipsToPixels(6000 - leftTwips - 200));

  window->resize(twipsToPixels(2865), window->height());
  ASSERT_EQ(pixelsToTwips(window->width()), 2865);
  const int widthAt2865 = twipsToPixels(2865 - leftTwips - 200);
  EXPECT_EQ(list->width(), widthAt2865);

  window->resize(twipsToPixels(2850), window->height());
  ASSERT_EQ(pixelsToTwips(window->width()), 2850);
  EXPECT_EQ(list->width(), widthAt2865);
  window->resize(twipsToPixels(1500), window->height());
  EXPECT_EQ(list->width(), widthAt2865);
}

TEST_F(FrmMainTest, LogListStartsOverPast32760Lines) {
  QListWidget* list = list1();
  QStringList filler;
  for (int i = list->count(); i < 32760; ++i) {
    filler.append(u"línea %1"_s.arg(i));
  }
  list->addItems(filler);
  WriteLog(u"la 32761"_s);
  EXPECT_EQ(list->count(), 32761);
  EXPECT_EQ(list->currentRow(), 32760);
  EXPECT_EQ(list->currentItem()->text(), u"la 32761"_s);
  WriteLog(u"la primera otra vez"_s);
  EXPECT_EQ(logLines(), QStringList({u"la primera otra vez"_s}));
  EXPECT_EQ(list->currentRow(), 0);
}

namespace {

// The one shown top-level window of the program named name, or null.
QWidget* shownWindow(const QString& name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == name && widget->isVisible()) {
      return widget;
    }
  }
  return nullptr;
}

// The windows the main window's menu opens beside it, by the item that opens them.
const QList<std::pair<QString, QString>> kOwnWindows = {{u"mn_opciones"_s, u"frm_options"_s},
                                                        {u"mn_estadisticas"_s, u"frm_stats"_s},
                                                        {u"mn_compartir"_s, u"frm_share"_s}};

}  // namespace

TEST_F(FrmMainTest, OptionsAndStatisticsOpenCentredOnTheMainWindowAndCtrlQEndsFromThem) {
  for (const auto& [item, name] : kOwnWindows) {
    SCOPED_TRACE(name.toStdString());
    startWindow();
    action(item)->trigger();
    QWidget* opened = shownWindow(name);
    ASSERT_TRUE(opened);
    // Centred as far as the screen lets a window taller than the room left for it be.
    const QRect screen = window->screen()->availableGeometry();
    const QPoint offset = opened->frameGeometry().center() - window->frameGeometry().center();
    EXPECT_LE(std::abs(offset.x()), 2);
    EXPECT_TRUE(std::abs(offset.y()) <= 2 || opened->frameGeometry().top() == screen.top() ||
                opened->frameGeometry().bottom() == screen.bottom())
        << offset.y();
    QTest::keyClick(opened, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(processEnds, 1);
    processEnds = 0;
  }
}

TEST_F(FrmMainTest, MosaicoShowsEveryWindowInsideTheAreaHoweverManyAreOpen) {
  QMdiArea* area = window->mdiArea();
  const QSize mainSize = window->size();
  for (const int count : {2, 3, 7, 30}) {
    SCOPED_TRACE(count);
    while (area->subWindowList().size() < count) {
      openListing();
    }
    emit window->findChild<QMenu*>(u"mn_windows"_s)->aboutToShow();
    action(u"mn_mosaico"_s)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->size(), mainSize);
    const QRect room = area->viewport()->rect();
    for (const QMdiSubWindow* child : area->subWindowList()) {
      EXPECT_TRUE(room.contains(child->geometry()))
          << child->geometry().x() << "," << child->geometry().y() << " "
          << child->geometry().width() << "x" << child->geometry().height();
    }
  }
}

// The buttons of the windows and strips that are the program's own say what they do.
TEST_F(FrmMainTest, TheButtonsOfItsOwnWindowsAndStripsHaveTooltips) {
  QList<QWidget*> holders;
  for (const auto& [item, name] : kOwnWindows) {
    action(item)->trigger();
    holders.append(shownWindow(name));
  }
  holders.append(frm_search::Instance(window.get()));
  frm_report* listing = openListing();
  listing->notices().setNotice(u"aviso"_s, u"Un aviso"_s);
  holders.append(listing->findChild<QWidget*>(u"Progreso"_s));
  holders.append(listing->findChild<QWidget*>(u"Notices"_s));
  for (QWidget* holder : holders) {
    ASSERT_TRUE(holder);
    const QList<QAbstractButton*> buttons = holder->findChildren<QAbstractButton*>();
    int own = 0;
    for (const QAbstractButton* button : buttons) {
      // Qt's own buttons: a tab bar's scroll arrows, a table's corner.
      if (button->objectName().isEmpty() || qobject_cast<const QTabBar*>(button->parentWidget())) {
        continue;
      }
      ++own;
      EXPECT_FALSE(button->toolTip().isEmpty())
          << holder->objectName().toStdString() << " " << button->objectName().toStdString();
    }
    EXPECT_GT(own, 0) << holder->objectName().toStdString();
  }
}
