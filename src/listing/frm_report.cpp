#include "listing/frm_report.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

#include "app/app_info.h"
#include "app/log.h"
#include "app/program_options.h"
#include "db/gui_listing_store.h"
#include "db/listing_load.h"
#include "listing/gui_design_panel.h"
#include "listing/gui_listing_look.h"
#include "listing/gui_notice_strip.h"
#include "output/form2.h"
#include "output/gui_listing_export.h"
#include "platform/gui_image_list.h"
#include "platform/gui_message_box.h"
#include "platform/gui_wait_cursor.h"
#include "scan/gui_scan_driver.h"
#include "scan/scan_driver.h"
#include "stats/frm_stats.h"

using namespace Qt::StringLiterals;

namespace {

const QSize kClientSize(twipsToPixels(9540), twipsToPixels(7920));
const QSize kMinimumOuterSize(twipsToPixels(8340), twipsToPixels(1250));
// What the panes leave of the outer size: the caption, the toolbar and the frame.
const int kPaneHeightMargin = twipsToPixels(900);
const int kListWidthMargin = twipsToPixels(200);

int toTwips(qreal pixels) {
  return qRound(pixels * kTwipsPerPixel);
}

void setWidthIfValid(QWidget& widget, int width) {
  if (width >= 0) {
    widget.resize(width, widget.height());
  }
}

void setHeightIfValid(QWidget& widget, int height) {
  if (height >= 0) {
    widget.resize(widget.width(), height);
  }
}

}  // namespace

frm_report::frm_report(QWidget* parent)
    : QWidget(parent), tag_(QTime::currentTime().toString(u"hhmmss"_s)) {
  setObjectName(u"frm_report"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  resize(kClientSize);
  createToolbar();
  createPanes();
  followTree();

  panel_->setDesigns(LoadSavedDesigns());
  LLenaCombos();
}

frm_report* frm_report::openIn(QMdiArea& area) {
  auto* report = new frm_report;
  QMdiSubWindow* window = area.addSubWindow(report);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return report;
}

void frm_report::openStoredIn(QMdiArea& area, qint16 rpId, const QString& nodeKey) {
  const QPointer<frm_report> report = openIn(area);
  report->storeAction_->setEnabled(false);
  report->Load4bd(rpId);
  if (report && !nodeKey.isEmpty()) {
    report->selectNode(nodeKey);
  }
}

bool frm_report::selectNode(const QString& key) {
  const int index = model_.tree.indexOf(key);
  if (index < 0 || index >= static_cast<int>(treeItems_.size())) {
    return false;
  }
  QTreeWidgetItem* item = treeItems_[static_cast<std::size_t>(index)];
  tree_->setCurrentItem(item);
  tree_->scrollToItem(item);
  return true;
}

QSize frm_report::sizeHint() const {
  return kClientSize;
}

LineDesigns frm_report::designs() const {
  return panel_->designs();
}

void frm_report::Load4bd(qint16 rpId) {
  const QPointer<frm_report> self(this);
  const WaitCursor hourglass;
  QCoreApplication::processEvents();
  if (!self) {
    return;
  }
  const LoadResult loaded = ::Load4bd(rpId, model_);
  if (loaded.found) {
    setWindowTitle(loaded.title);
    loadedName_ = ListingName{loaded.name, loaded.medio};
  } else {
    closeWindow();
  }
}

void frm_report::Save2bd() {
  setBusy(true);
  storeListingWithProgress(this, model_);
  setBusy(false);
}

void frm_report::Gouu() {
  setBusy(true);
  ScanRun run(model_);
  if (const std::optional<WalkPath> walkPath = nameAndRootScan(*this)) {
    run.walk(*walkPath, scanPump(*this), LoadProgramOptions().tags);
  }
  setBusy(false);
}

void frm_report::Refresca() {
  showEntries(renderListing(model_, designs()));
  outerWindow()->show();
}

void frm_report::LLenaCombos() {
  panel_->fillPickers();
}

void frm_report::showEntries(std::vector<RenderedEntry> rendered) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(rendered.size()));
  for (const RenderedEntry& entry : rendered) {
    texts.append(entry.text);
  }
  // One insertion, so the list lays its items out once, not once per entry.
  list_->clear();
  list_->addItems(texts);
  rendered_ = std::move(rendered);
}

QStringList frm_report::entries() const {
  QStringList texts;
  texts.reserve(list_->count());
  for (int row = 0; row < list_->count(); ++row) {
    texts.append(list_->item(row)->text());
  }
  return texts;
}

void frm_report::setBusy(bool busy) {
  busy_ = busy;
  toolbar_->setEnabled(!busy);
  if (busy) {
    stopRequested_ = false;
  } else if (stopRequested_) {
    closeWindow();
  }
}

void frm_report::closeWindow() {
  outerWindow()->close();
}

void frm_report::closeEvent(QCloseEvent* event) {
  if (busy_) {
    // The work still uses this window's model: hold the close until it has stopped.
    stopRequested_ = true;
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void frm_report::createToolbar() {
  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(u"Toolbar1"_s);
  toolbar_->setIconSize(QSize(16, 16));
  toolbar_->setGeometry(0, 0, width(), twipsToPixels(360));

  toolbar_->addSeparator();
  addToolbarButton(u"salir"_s, 10, u"Cerrar Listado"_s);
  addToolbarButton(u"refresca"_s, 6, {});
  addToolbarButton(u"imprime"_s, 4, {});
  addExportMenu(addToolbarButton(u"exporta"_s, 7, {}));
  storeAction_ = addToolbarButton(u"2bd"_s, 9, u"Almacenar en BD"_s);
  designAction_ =
      addToolbarButton(u"modifydesign"_s, 8, u"Modificar diseño directorio y archivo"_s);
  designAction_->setCheckable(true);
  addToolbarButton(u"estadisticas"_s, 15, u"Estadísticas del listado"_s);
}

QAction* frm_report::addToolbarButton(const QString& key, int image, const QString& toolTip) {
  QAction* action = toolbar_->addAction(imageListIcon(image), QString());
  action->setObjectName(key);
  action->setToolTip(toolTip);
  connect(action, &QAction::triggered, this, [this, key] { dispatchToolbarKey(key); });
  return action;
}

// The button itself has no action of its own; its menu entries are dispatched by their keys.
void frm_report::addExportMenu(QAction* exporta) {
  auto* menu = new QMenu(toolbar_);
  for (const QString& format : exportFormatKeys()) {
    QAction* entry = menu->addAction(format);
    const QString key = u"export_"_s + format;
    entry->setObjectName(key);
    connect(entry, &QAction::triggered, this, [this, key] { dispatchToolbarKey(key); });
  }
  auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(exporta));
  button->setMenu(menu);
  button->setPopupMode(QToolButton::MenuButtonPopup);
}

void frm_report::createPanes() {
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(u"tv"_s);
  tree_->setHeaderHidden(true);
  // Every node has the same font and icon size: the view need not measure each one.
  tree_->setUniformRowHeights(true);
  tree_->setFont(smallFont());
  tree_->setGeometry(twipRect(0, 360, 2940, 4650));

  splitter_ = new QWidget(this);
  splitter_->setObjectName(u"Picture1"_s);
  fillBackground(*splitter_, barGrey());
  splitter_->setGeometry(twipRect(2925, 360, 105, 4605));
  splitter_->installEventFilter(this);

  list_ = new QListWidget(this);
  list_->setObjectName(u"List1"_s);
  list_->setFont(smallFont());
  list_->setGeometry(twipRect(3015, 360, 5820, 4650));

  panel_ = new DesignPanel(this);
  panel_->setGeometry(twipRect(495, 1305, 7935, 1140));
  panel_->hide();
  panel_->installEventFilter(this);

  notices_ = new NoticeStrip(this);
  connect(notices_, &NoticeStrip::changed, this, &frm_report::applyLayoutRule);
}

void frm_report::followTree() {
  model_.tree.setListener({
      [this](const TreeNode& node, int index) { addTreeItem(node, index); },
      [this] {
        tree_->clear();
        treeItems_.clear();
      },
  });
}

void frm_report::addTreeItem(const TreeNode& node, int index) {
  Q_ASSERT(index == static_cast<int>(treeItems_.size()));
  auto* item =
      node.parent < 0 ? new QTreeWidgetItem(tree_) : new QTreeWidgetItem(treeItems_[node.parent]);
  item->setText(0, node.text);
  item->setIcon(0, imageListIcon(node.image));
  treeItems_.push_back(item);
}

void frm_report::dispatchToolbarKey(const QString& key) {
  if (key == u"salir"_s) {
    closeWindow();
  } else if (key == u"refresca"_s) {
    SaveDesigns(designs());
    Refresca();
  } else if (key == u"imprime"_s) {
    Form2::instance()->Abre(tag_, list_);
  } else if (key == u"2bd"_s) {
    Save2bd();
  } else if (key == u"modifydesign"_s) {
    panel_->setVisible(designAction_->isChecked());
  } else if (key == u"estadisticas"_s) {
    frm_stats::showListing(model_, this, [this](const QString& node) { selectNode(node); });
  } else if (const std::optional<ExportFormat> format = exportFormatOfMenuKey(key)) {
    exportListing(*format);
  }
}

void frm_report::exportListing(ExportFormat format) {
  exportOnDesktop(*this, format, model_, loadedName_.value_or(listingNameOf(model_)), rendered_);
}

// The window as the user sizes it: the MDI subwindow with its frame and caption, or this
// widget when it stands alone.
QWidget* frm_report::outerWindow() {
  auto* subWindow = qobject_cast<QMdiSubWindow*>(parentWidget());
  return subWindow ? static_cast<QWidget*>(subWindow) : this;
}

QSize frm_report::outerSize() {
  QWidget* outer = outerWindow();
  return outer == this ? frameGeometry().size() : outer->size();
}

void frm_report::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  toolbar_->resize(width(), toolbar_->height());
  if (outerWindow()->isMinimized()) {
    return;
  }
  snapToMinimumSize();
  applyLayoutRule();
}

void frm_report::snapToMinimumSize() {
  QWidget* outer = outerWindow();
  // A maximised window cannot be sized; it is left as it is.
  if (outer->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
    return;
  }
  const QSize size = outerSize();
  const QSize snapped = size.expandedTo(kMinimumOuterSize);
  if (snapped == size) {
    return;
  }
  if (outer == this) {
    resize(snapped - (size - this->size()));
  } else {
    outer->resize(snapped);
  }
}

void frm_report::applyLayoutRule() {
  const QSize outer = outerSize();
  // The notices take their room from the panes, below them, across the whole window.
  const int noticeHeight = notices_->heightFor(width());
  const int paneHeight = outer.height() - kPaneHeightMargin - noticeHeight;
  notices_->setGeometry(0, tree_->y() + std::max(0, paneHeight), width(), noticeHeight);
  setHeightIfValid(*list_, paneHeight);
  setWidthIfValid(*list_, outer.width() - tree_->width() - kListWidthMargin);
  setHeightIfValid(*tree_, paneHeight);
  setHeightIfValid(*splitter_, paneHeight);
}

bool frm_report::eventFilter(QObject* watched, QEvent* event) {
  const bool press = event->type() == QEvent::MouseButtonPress;
  if (!press && event->type() != QEvent::MouseButtonRelease) {
    return false;
  }
  auto& mouse = static_cast<QMouseEvent&>(*event);
  if (mouse.button() != Qt::LeftButton) {
    return false;
  }
  if (watched == splitter_) {
    return splitterMouse(mouse);
  }
  if (watched == panel_) {
    return panelMouse(mouse);
  }
  return false;
}

// No live feedback: the panes change only when the button comes up. The bar keeps the mouse
// from the press on, so the release reaches it wherever the pointer is.
bool frm_report::splitterMouse(QMouseEvent& event) {
  const int x = toTwips(event.position().x());
  if (event.type() == QEvent::MouseButtonPress) {
    drag_ = Drag::Splitter;
    setCursor(Qt::SizeHorCursor);
    xXf = static_cast<qint16>(x);
    return true;
  }
  if (!endDrag(Drag::Splitter)) {
    return false;
  }
  moveSplitter(twipsToPixels(x - xXf));
  applyLayoutRule();
  return true;
}

// The tree never gets a negative width, nor one that leaves the list none.
void frm_report::moveSplitter(int delta) {
  const int maxTreeWidth = std::max(0, outerSize().width() - kListWidthMargin);
  const int treeWidth = std::clamp(tree_->width() + delta, 0, maxTreeWidth);
  const int applied = treeWidth - tree_->width();
  tree_->resize(treeWidth, tree_->height());
  splitter_->move(splitter_->x() + applied, splitter_->y());
  list_->move(list_->x() + applied, list_->y());
}

// Only the panel's own background moves it; presses on its controls are theirs. The panel
// jumps on release and may be left partly or wholly outside the window.
bool frm_report::panelMouse(QMouseEvent& event) {
  const QPointF pos = event.position();
  if (event.type() == QEvent::MouseButtonPress) {
    if (panel_->childAt(pos.toPoint())) {
      return false;
    }
    drag_ = Drag::Panel;
    xframe = toTwips(pos.x());
    yframe = toTwips(pos.y());
    setCursor(Qt::SizeAllCursor);
    return true;
  }
  if (!endDrag(Drag::Panel)) {
    return false;
  }
  const QPoint shift(twipsToPixels(toTwips(pos.x()) - xframe),
                     twipsToPixels(toTwips(pos.y()) - yframe));
  panel_->move(panel_->pos() + shift);
  return true;
}

// A release ends only the drag its own press began: a release that a control of the panel
// passes on, say, must not move anything.
bool frm_report::endDrag(Drag drag) {
  if (drag_ != drag) {
    return false;
  }
  drag_ = Drag::None;
  unsetCursor();
  return true;
}
