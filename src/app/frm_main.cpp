#include "app/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "accessories/frm_about.h"
#include "accessories/shell_open.h"
#include "accessories/web_links.h"
#include "app/gui_bd_startup.h"
#include "app/gui_log_list.h"
#include "app/gui_shell_routes.h"
#include "app/gui_window_menu.h"
#include "base/log.h"
#include "db/frm_reportsbd.h"
#include "listing/frm_report.h"
#include "listing/gui_scan_driver.h"
#include "output/frm_templates.h"
#include "output/gui_template_export.h"
#include "platform/gui_image_list.h"
#include "platform/twips.h"
#include "search/frm_search.h"
#include "session/frm_options.h"
#include "session/lifecycle.h"
#include "session/program_options.h"
#include "stats/frm_stats.h"
#include "web/frm_share.h"

using namespace Qt::StringLiterals;

namespace {

// Design sizes, in twips.
constexpr int kDesignWidth = 12000;
constexpr int kDesignHeight = 8400;
constexpr int kMinimumSize = 1500;
constexpr int kPicture1Height = 1935;
constexpr QRect kList1Geometry(90, 90, 11610, 1755);

// Below this window width the log list keeps the width it has.
constexpr int kMinWidthForListResize = 2850;
constexpr int kList1RightMargin = 200;

// A line added while the list holds more than this many lines empties it first.
constexpr int kLogListMaxLines = 32760;

QBrush panelBackground() {
  return QBrush(QIcon(u":/pictures/log_panel.svg"_s).pixmap(QSize(64, 64)));
}

}  // namespace

frm_main::frm_main(QWidget* parent) : QMainWindow(parent) {
  installShellRoutes();
  createWindow();
  createFileMenu();
  createToolsMenu();
  createWindowMenu();
  createHelpMenu();
  createToolbar();
  createLogPanel();
  createCentralArea();
  load();
}

frm_main::~frm_main() {
  setLogListSink({});
}

void frm_main::ScanCD() {
  OpenListingWindow(*m_mdiArea, false);
}

void frm_main::ScanDir() {
  OpenListingWindow(*m_mdiArea, true);
}

// The stored-listings window is one of its own, owned by the main window; the listings it
// opens come here, into the MDI area.
void frm_main::OpenStoredListings() {
  frm_reportsbd* window = frm_reportsbd::Instance(this);
  connect(window, &frm_reportsbd::openListingRequested, this, &frm_main::openStoredListing,
          Qt::UniqueConnection);
  connect(window, &frm_reportsbd::exportCatalogueRequested, this, &frm_main::exportCatalogue,
          Qt::UniqueConnection);
  window->Recarga();
}

void frm_main::exportCatalogue() {
  exportCatalogueWithTemplate(*frm_reportsbd::Instance(this), LoadSavedDesigns(),
                              LoadProgramOptions().exportEncoding);
}

void frm_main::openStoredListing(int rpId) {
  frm_report::openStoredIn(*m_mdiArea, rpId);
}

// The search window, like the stored-listings window, is one of its own; the files it opens
// come here, each in a new listing window with its node chosen.
void frm_main::OpenSearch() {
  frm_search* window = frm_search::Instance(this);
  connect(window, &frm_search::openFileRequested, this, &frm_main::openStoredFile,
          Qt::UniqueConnection);
  window->Busca();
  window->raise();
  window->activateWindow();
}

// The catalogue's statistics open the files of their lists as the search window does.
void frm_main::OpenStats() {
  frm_stats* window = frm_stats::showCatalogue(this);
  connect(window, &frm_stats::openFileRequested, this, &frm_main::openStoredFile,
          Qt::UniqueConnection);
}

void frm_main::openStoredFile(int rpId, const QString& nodeKey) {
  frm_report::openStoredIn(*m_mdiArea, rpId, nodeKey);
}

void frm_main::closeEvent(QCloseEvent* event) {
  Shutdown(&QApplication::beep);
  event->accept();
}

void frm_main::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  updateLogListWidth();
}

void frm_main::createWindow() {
  setObjectName(u"frm_main"_s);
  setWindowIcon(imageListIcon(1));
  setContextMenuPolicy(Qt::NoContextMenu);
  // Narrower than its contents allow: below 2850 twips the log list just keeps its width.
  setMinimumSize(twipsToPixels(kMinimumSize), twipsToPixels(kMinimumSize));
  resize(twipsToPixels(kDesignWidth), twipsToPixels(kDesignHeight));
}

void frm_main::createFileMenu() {
  QMenu* menu = addMenu(nullptr, u"mn_archivo"_s, u"&Archivo"_s);
  QAction* exit = addItem(menu, u"mn_salir"_s, u"&Salir"_s, QKeySequence(Qt::CTRL | Qt::Key_Q));
  // Ctrl+Q ends the program from every window of its own, not only from the main one.
  exit->setShortcutContext(Qt::ApplicationShortcut);
  connect(exit, &QAction::triggered, this, &QWidget::close);
}

void frm_main::createToolsMenu() {
  QMenu* menu = addMenu(nullptr, u"mn_tools"_s, u"&Herramientas"_s);
  connect(addItem(menu, u"mn_scancd"_s, u"Scanea CD"_s, QKeySequence(Qt::Key_F5)),
          &QAction::triggered, this, &frm_main::ScanCD);
  connect(addItem(menu, u"mn_scandir"_s, u"Scanea Directorio"_s, QKeySequence(Qt::Key_F6)),
          &QAction::triggered, this, &frm_main::ScanDir);
  addSeparator(menu, u"mn_stupid12312"_s);
  connect(addItem(menu, u"mn_reportsonbd"_s, u"Gestión Informes en BD"_s), &QAction::triggered,
          this, &frm_main::OpenStoredListings);
  connect(
      addItem(menu, u"mn_buscar"_s, u"Buscar en la BD..."_s, QKeySequence(Qt::CTRL | Qt::Key_F)),
      &QAction::triggered, this, &frm_main::OpenSearch);
  connect(addItem(menu, u"mn_estadisticas"_s, u"Estadísticas de la BD..."_s), &QAction::triggered,
          this, &frm_main::OpenStats);
  connect(addItem(menu, u"mn_compartir"_s, u"Compartir el catálogo..."_s), &QAction::triggered,
          this, [this] { frm_share::showInstance(this); });
  connect(addItem(menu, u"mn_plantillas"_s, u"Plantillas..."_s), &QAction::triggered, this,
          [this] { frm_templates::open(this, nullptr, LoadSavedDesigns()); });
  connect(addItem(menu, u"mn_opciones"_s, u"Opciones..."_s), &QAction::triggered, this,
          [this] { frm_options::showInstance(this); });
}

void frm_main::createWindowMenu() {
  m_windowMenu = addMenu(nullptr, u"mn_windows"_s, u"&Ventana"_s);
}

void frm_main::createHelpMenu() {
  QMenu* menu = addMenu(nullptr, u"mn_help"_s, u"&Ayuda"_s);
  addItem(menu, u"mn_helpf1"_s, u"Ayuda"_s, QKeySequence(Qt::Key_F1))->setEnabled(false);
  addItem(menu, u"mn_helponline"_s, u"Ayuda online"_s)->setEnabled(false);
  addSeparator(menu, u"mn_stupidbar398798"_s);
  connect(addItem(menu, u"mn_history"_s, u"&Historia"_s), &QAction::triggered, this,
          [] { OpenHistory(); });
  addSeparator(menu, u"mn_stupidbar84630"_s);
  QMenu* links = addMenu(menu, u"mn_makerlinks"_s, u"www"_s);
  connect(addItem(links, u"mn_authorsite"_s, AuthorSiteAddress()), &QAction::triggered, this,
          [] { ShellOpen(AuthorSiteAddress()); });
  connect(addItem(links, u"mn_makersite"_s, MakerSiteAddress()), &QAction::triggered, this,
          [] { ShellOpen(MakerSiteAddress()); });
  connect(addItem(menu, u"mn_aboutby"_s, u"&Acerca de..."_s), &QAction::triggered, this,
          [] { frm_about::showInstance(); });
}

void frm_main::createToolbar() {
  QToolBar* toolbar = addToolBar(QString());
  toolbar->setObjectName(u"Toolbar1"_s);
  toolbar->setMovable(false);
  toolbar->setIconSize(QSize(16, 16));
  addToolbarButton(toolbar, u"salir"_s, 10, u"Cerrar programa"_s);
  addToolbarButton(toolbar, u"scancd"_s, 1, u"Scanea CD"_s);
  addToolbarButton(toolbar, u"scandir"_s, 3, u"Scanea Directorio"_s);
  toolbar->addSeparator();
  addToolbarButton(toolbar, u"gestbdrep"_s, 13, QString());
  addToolbarButton(toolbar, u"buscar"_s, kImageSearch, u"Buscar en la BD"_s);
  connect(toolbar, &QToolBar::actionTriggered, this, &frm_main::toolbarButtonClicked);
}

void frm_main::createLogPanel() {
  m_picture1 = new QWidget;
  m_picture1->setObjectName(u"Picture1"_s);
  m_picture1->setFixedHeight(twipsToPixels(kPicture1Height));
  m_picture1->setAutoFillBackground(true);
  QPalette palette = m_picture1->palette();
  palette.setBrush(QPalette::Window, panelBackground());
  m_picture1->setPalette(palette);

  m_list1 = new LogList(m_picture1);
  m_list1->setObjectName(u"List1"_s);
  m_list1->setFont(QFont(u"Verdana"_s, 8));
  m_list1->setGeometry(twipsToPixels(kList1Geometry));
  setLogListSink([this](const QString& line) { addLogLine(line); });
}

void frm_main::createCentralArea() {
  m_mdiArea = new QMdiArea;
  m_mdiArea->setObjectName(u"MDIClient"_s);
  new WindowMenu(*m_windowMenu, *m_mdiArea);
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_mdiArea, 1);
  layout->addWidget(m_picture1);
  setCentralWidget(central);
}

void frm_main::load() {
  InitApp([this](const QString& caption) { setWindowTitle(caption); });
  openDatabaseOrQuit(this);
}

QMenu* frm_main::addMenu(QMenu* parent, const QString& name, const QString& caption) {
  QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
  menu->setObjectName(name);
  menu->menuAction()->setObjectName(name);
  return menu;
}

QAction* frm_main::addItem(QMenu* menu, const QString& name, const QString& caption,
                           const QKeySequence& shortcut) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(name);
  item->setShortcut(shortcut);
  return item;
}

void frm_main::addSeparator(QMenu* menu, const QString& name) {
  menu->addSeparator()->setObjectName(name);
}

void frm_main::addToolbarButton(QToolBar* toolbar, const QString& key, int image,
                                const QString& tip) {
  QAction* button = toolbar->addAction(imageListIcon(image), tip);
  button->setObjectName(key);
  button->setToolTip(tip);
}

// Buttons are told apart by their key; a key nobody handles does nothing.
void frm_main::toolbarButtonClicked(QAction* button) {
  const QString key = button->objectName();
  if (key == u"salir") {
    close();
  } else if (key == u"scancd") {
    ScanCD();
  } else if (key == u"scandir") {
    ScanDir();
  } else if (key == u"gestbdrep") {
    OpenStoredListings();
  } else if (key == u"buscar") {
    OpenSearch();
  }
}

void frm_main::updateLogListWidth() {
  const int windowWidth = pixelsToTwips(width());
  if (windowWidth <= kMinWidthForListResize) {
    return;
  }
  const int listLeft = pixelsToTwips(m_list1->x());
  m_list1->resize(twipsToPixels(windowWidth - listLeft - kList1RightMargin), m_list1->height());
}

void frm_main::addLogLine(const QString& line) {
  if (m_list1->count() > kLogListMaxLines) {
    m_list1->clear();
  }
  m_list1->appendLine(line);
}
