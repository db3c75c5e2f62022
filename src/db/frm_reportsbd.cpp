#include "db/frm_reportsbd.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QToolBar>
#include <QTreeWidget>

#include <memory>

#include "base/app_info.h"
#include "db/bd_reconnect.h"
#include "db/frm_propiedades.h"
#include "db/gui_listing_updater.h"
#include "db/stored_listings.h"
#include "platform/gui_image_list.h"
#include "platform/gui_message_box.h"
#include "platform/gui_retry_line.h"
#include "platform/gui_window_placement.h"
#include "platform/twips.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kImageListing = 13;
constexpr int kImageRefresh = 6;
constexpr int kImageErase = 10;
constexpr int kKeyRole = Qt::UserRole;

// The tree keeps fixed margins inside the window's outer size.
constexpr int kTreeHeightMarginTwips = 1000;
constexpr int kTreeWidthMarginTwips = 200;

QAction* addButton(QToolBar* toolbar, const QString& key, int image, const QString& tip = {}) {
  QAction* button = toolbar->addAction(imageListIcon(image), QString());
  button->setObjectName(key);
  button->setToolTip(tip);
  return button;
}

// A listing marked incomplete keeps its text; its icon and tooltip say it.
void markIfIncomplete(QTreeWidgetItem* node, const StoredListing& listing) {
  if (listing.incomplete) {
    static const QIcon mark(u":/pictures/listing_incomplete.svg"_s);
    node->setIcon(0, mark);
    node->setToolTip(0, u"incompleto"_s);
  }
}

QString keyOf(const QTreeWidgetItem* node) {
  return node ? node->data(0, kKeyRole).toString() : QString();
}

}  // namespace

QPointer<frm_reportsbd>& frm_reportsbd::instance() {
  static QPointer<frm_reportsbd> window;
  return window;
}

frm_reportsbd* frm_reportsbd::Instance(QWidget* parent, const Placement& place) {
  if (instance()) {
    return instance();
  }
  auto* window = new frm_reportsbd(parent);
  instance() = window;
  if (place) {
    place(window);
  } else {
    centreOverWindow(window, parent);
  }
  window->Recarga();
  window->show();
  return window;
}

frm_reportsbd* frm_reportsbd::current() {
  return instance();
}

frm_reportsbd::frm_reportsbd(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(u"frm_reportsbd"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(u"Gestion Informes en BD"_s);
  buildToolbar();
  buildMenu();
  buildTree();
  failure_ = new RetryLine(u"lblFalloBD"_s, this);
  failure_->setGeometry(tv_->geometry().x(), tv_->geometry().y(), tv_->width(),
                        failure_->sizeHint().height());
  connect(failure_, &RetryLine::retryRequested, this, &frm_reportsbd::Recarga);
  resize(twipsToPixels(6360 + kTreeWidthMarginTwips), twipsToPixels(4020 + kTreeHeightMarginTwips));
}

void frm_reportsbd::buildToolbar() {
  toolbar1_ = new QToolBar(this);
  toolbar1_->setObjectName(u"Toolbar1"_s);
  toolbar1_->setIconSize(QSize(16, 16));
  toolbar1_->setGeometry(0, 0, width(), twipsToPixels(360));
  toolbar1_->addSeparator();
  addButton(toolbar1_, u"refresh"_s, kImageRefresh);
  erase_ = addButton(toolbar1_, u"erase"_s, kImageErase, u"Borrar"_s);
  openReport_ = addButton(toolbar1_, u"openreport"_s, kImageListing);
  connect(toolbar1_, &QToolBar::actionTriggered, this, &frm_reportsbd::onButtonClicked);
}

// The menu «Informe» stands in the toolbar's row, before its buttons, so the tree keeps its
// place.
void frm_reportsbd::buildMenu() {
  menuBar_ = new QMenuBar(this);
  menuBar_->setObjectName(u"MenuBar"_s);
  menuBar_->setNativeMenuBar(false);
  QMenu* menu = menuBar_->addMenu(u"Informe"_s);
  menu->setObjectName(u"mnInforme"_s);
  properties_ = menu->addAction(u"Propiedades..."_s, this, &frm_reportsbd::OpenProperties);
  properties_->setObjectName(u"mn_propiedades"_s);
  properties_->setEnabled(false);
  update_ = menu->addAction(u"Actualizar..."_s, this, &frm_reportsbd::UpdateListing);
  update_->setObjectName(u"mn_actualizar"_s);
  update_->setEnabled(false);
  menu->addSeparator();
  menu->addAction(u"Exportar catálogo..."_s, this, &frm_reportsbd::exportCatalogueRequested)
      ->setObjectName(u"mn_exportar_catalogo"_s);
  const int menuWidth = menuBar_->sizeHint().width();
  menuBar_->setGeometry(0, 0, menuWidth, toolbar1_->height());
  toolbar1_->setGeometry(menuWidth, 0, width() - menuWidth, toolbar1_->height());
}

void frm_reportsbd::buildTree() {
  tv_ = new QTreeWidget(this);
  tv_->setObjectName(u"tv"_s);
  tv_->setHeaderHidden(true);
  // Every node has the same font and icon size: the view need not measure each one.
  tv_->setUniformRowHeights(true);
  QFont font(u"Small Fonts"_s);
  font.setPointSizeF(6.75);
  tv_->setFont(font);
  tv_->setGeometry(twipsToPixels(45), twipsToPixels(405), twipsToPixels(6360), twipsToPixels(4020));
  connect(tv_, &QTreeWidget::itemClicked, this, &frm_reportsbd::onNodeClicked);
  connect(tv_, &QTreeWidget::itemDoubleClicked, this, &frm_reportsbd::onNodeDoubleClicked);
  tv_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tv_, &QTreeWidget::customContextMenuRequested, this, &frm_reportsbd::onContextMenu);
}

// A listing clicked with the right button is chosen, as with the left one, then offered.
void frm_reportsbd::onContextMenu(const QPoint& position) {
  QTreeWidgetItem* node = tv_->itemAt(position);
  if (!node) {
    return;
  }
  onNodeClicked(node);
  if (properties_->isEnabled()) {
    // Shown without a loop of its own: it goes when it closes.
    auto* menu = new QMenu(this);
    menu->setObjectName(u"mnContexto"_s);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addActions({properties_, update_});
    menu->popup(tv_->viewport()->mapToGlobal(position));
  }
}

void frm_reportsbd::Recarga() {
  QCoreApplication::processEvents();
  auto listings = std::make_shared<StoredListings>();
  readWhenBdOpen(
      this,
      [listings] {
        *listings = readStoredListings();
        return listings->error;
      },
      [this, listings](const QString& failure) { showListings(*listings, failure); });
}

// Listings that could not be read are not shown as an empty catalogue: the window says why.
void frm_reportsbd::showListings(const StoredListings& listings, const QString& failure) {
  tv_->clear();
  // Nothing is chosen until the user clicks a listing, so erase and open act only on a choice.
  selNode_ = nullptr;
  setListingButtonsEnabled(false);
  showFailure(failure.isEmpty() ? QString()
                                : u"No se pueden leer los listados de la BD: "_s + failure);
  if (!failure.isEmpty()) {
    return;
  }
  QTreeWidgetItem* cds = addNode(nullptr, u"root-cd"_s, u"CDs MP3"_s, 1);
  QTreeWidgetItem* directories = addNode(nullptr, u"root-dir"_s, u"Directorios"_s, 3);
  for (const StoredListing& listing : listings.cds) {
    markIfIncomplete(
        addNode(cds, u"cd"_s + QString::number(listing.rp_id), listing.report_name, kImageListing),
        listing);
  }
  for (const StoredListing& listing : listings.directories) {
    markIfIncomplete(addNode(directories, u"dir"_s + QString::number(listing.rp_id),
                             listing.report_name, kImageListing),
                     listing);
  }
  tv_->expandAll();
}

void frm_reportsbd::showFailure(const QString& text) {
  failure_->showFailure(text);
  tv_->setVisible(text.isEmpty());
}

// What the user asked of the chosen listing, once the catalogue is open; why not, when it is not.
void frm_reportsbd::withChosenListing(const std::function<void(int rpId)>& work) {
  if (!selNode_) {
    return;
  }
  whenBdOpen(this, [this, work, rpId = selectedListingNumber()](const QString& failure) {
    showFailure(failure);
    if (failure.isEmpty()) {
      work(rpId);
    }
  });
}

void frm_reportsbd::OpenSelReport() {
  withChosenListing([this](int rpId) { emit openListingRequested(rpId); });
}

void frm_reportsbd::BorraSeleccioN() {
  withChosenListing([this](int rpId) { deleteListing(rpId); });
}

void frm_reportsbd::OpenProperties() {
  withChosenListing([this](int rpId) { frm_propiedades::open(this, rpId); });
}

// Once applied, the tree is read again and the listing's open windows are told.
void frm_reportsbd::UpdateListing() {
  withChosenListing([this](int rpId) {
    connect(ListingUpdater::start(this, rpId), &ListingUpdater::updated, this, [this](int rpId) {
      Recarga();
      emit listingUpdated(rpId);
    });
  });
}

void frm_reportsbd::deleteListing(int rpId) {
  const QPointer<frm_reportsbd> self(this);
  const QString error = deleteStoredListing(rpId, [] { QCoreApplication::processEvents(); });
  if (!error.isEmpty()) {
    showMessage({self.data(), AppTitle(),
                 u"No se ha podido borrar el listado de la BD.\n\n"_s + error,
                 MessageIcon::Critical, MessageButtons::Ok});
  }
}

void frm_reportsbd::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const QSize outer = isWindow() || !parentWidget() ? frameGeometry().size()
                                                    : parentWidget()->frameGeometry().size();
  toolbar1_->resize(width() - toolbar1_->x(), toolbar1_->height());
  const int treeHeight = outer.height() - twipsToPixels(kTreeHeightMarginTwips);
  const int treeWidth = outer.width() - twipsToPixels(kTreeWidthMarginTwips);
  // A window smaller than the margins (minimised, say) leaves the tree as it was.
  if (treeHeight > 0 && treeWidth > 0) {
    tv_->resize(treeWidth, treeHeight);
    failure_->resize(treeWidth, failure_->height());
  }
}

QTreeWidgetItem* frm_reportsbd::addNode(QTreeWidgetItem* parent, const QString& key,
                                        const QString& text, int image) {
  auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tv_);
  node->setText(0, text);
  node->setData(0, kKeyRole, key);
  node->setIcon(0, imageListIcon(image));
  return node;
}

void frm_reportsbd::onButtonClicked(QAction* button) {
  const QString key = button->objectName();
  if (key == u"refresh"_s) {
    Recarga();
  } else if (key == u"erase"_s) {
    BorraSeleccioN();
  } else if (key == u"openreport"_s) {
    OpenSelReport();
  }
}

void frm_reportsbd::onNodeClicked(QTreeWidgetItem* node) {
  selNode_ = node;
  const QString key = keyOf(node);
  setListingButtonsEnabled(key.startsWith(u"cd"_s) || key.startsWith(u"dir"_s));
}

void frm_reportsbd::onNodeDoubleClicked() {
  if (openReport_->isEnabled()) {
    OpenSelReport();
  }
}

void frm_reportsbd::setListingButtonsEnabled(bool enabled) {
  erase_->setEnabled(enabled);
  openReport_->setEnabled(enabled);
  properties_->setEnabled(enabled);
  update_->setEnabled(enabled);
}

int frm_reportsbd::selectedListingNumber() const {
  return listingNumberOfKey(keyOf(selNode_));
}
