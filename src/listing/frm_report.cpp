#include "listing/frm_report.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPointer>
#include <QTime>

#include <algorithm>
#include <utility>

#include "base/log.h"
#include "db/bd_reconnect.h"
#include "db/incomplete_listings.h"
#include "db/listing_load.h"
#include "listing/gui_design_panel.h"
#include "listing/gui_listing_entries.h"
#include "listing/gui_listing_export.h"
#include "listing/gui_listing_look.h"
#include "listing/gui_listing_routes.h"
#include "listing/gui_listing_store.h"
#include "listing/gui_listing_toolbar.h"
#include "listing/gui_listing_tree.h"
#include "listing/gui_notice_strip.h"
#include "listing/gui_scan_driver.h"
#include "listing/gui_scan_progress.h"
#include "listing/gui_stored_listing_menu.h"
#include "listing/technical_texts.h"
#include "platform/gui_retry_line.h"
#include "platform/gui_wait_cursor.h"
#include "platform/gui_window_placement.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

namespace {

const QSize kClientSize(twipsToPixels(9540), twipsToPixels(7920));

}  // namespace

frm_report::frm_report(QWidget* parent)
    : QWidget(parent), tag_(QTime::currentTime().toString(u"hhmmss"_s)) {
  setObjectName(u"frm_report"_s);
  setAttribute(Qt::WA_DeleteOnClose);
  resize(kClientSize);
  createToolbar();
  createPanes();
  tree_->follow(model_.tree);

  panel_->setDesigns(LoadSavedDesigns());
  LLenaCombos();
}

frm_report* frm_report::openIn(QMdiArea& area) {
  auto* report = new frm_report;
  QMdiSubWindow* window = area.addSubWindow(report);
  window->setAttribute(Qt::WA_DeleteOnClose);
  placeCascaded(area, *window);
  window->show();
  return report;
}

void frm_report::openStoredIn(QMdiArea& area, int rpId, const QString& nodeKey) {
  frm_report* report = openIn(area);
  report->toolbar_->storeAction()->setEnabled(false);
  offerStoredListingActions(*report, rpId);
  report->Load4bd(rpId, nodeKey);
}

bool frm_report::selectNode(const QString& key) {
  return tree_->selectNode(model_.tree.indexOf(key));
}

QSize frm_report::sizeHint() const {
  return kClientSize;
}

QListWidget* frm_report::entryList() const {
  return list_;
}

LineDesigns frm_report::designs() const {
  return panel_->designs();
}

// A server that does not answer is tried off the window's thread (whenBdOpen): the window stays
// live meanwhile, and says in itself why when it cannot be reached, with «Reintentar».
void frm_report::Load4bd(int rpId, const QString& nodeKey) {
  showUnreachable({}, {});
  whenBdOpen(this, [this, rpId, nodeKey](const QString& failure) {
    if (failure.isEmpty()) {
      loadStored(rpId, nodeKey);
      return;
    }
    showUnreachable(u"No se ha podido abrir el listado de la BD: "_s + failure,
                    [this, rpId, nodeKey] { Load4bd(rpId, nodeKey); });
  });
}

void frm_report::showUnreachable(const QString& text, std::function<void()> retry) {
  retry_ = std::move(retry);
  failure_->showFailure(text);
  applyLayoutRule();
}

void frm_report::retryCatalogue() {
  if (busy_ || !retry_) {
    return;
  }
  // Taken out first: the try it runs sets the next retry_, which would end this one mid-call.
  const std::function<void()> retry = std::exchange(retry_, {});
  retry();
}

void frm_report::loadStored(int rpId, const QString& nodeKey) {
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
    storedNumber_ = rpId;
    if (model_.notices.incomplete) {
      notices_->setNotice(u"incomplete"_s, incompleteListingText());
    }
    showTotalNotice();
    if (!nodeKey.isEmpty()) {
      selectNode(nodeKey);
    }
  } else {
    closeWindow();
  }
}

void frm_report::showTotalNotice() {
  const QString total = listingTotalText(model_);
  if (total.isEmpty()) {
    notices_->removeNotice(u"total"_s);
  } else {
    notices_->setNotice(u"total"_s, total);
  }
}

// The log stays silent about a store; the strip says it happened, and under which number. A
// catalogue that cannot be reached is said in the window, with «Reintentar»; a refused or
// failed store has its message box. Either leaves the strip as it was.
void frm_report::Save2bd() {
  setBusy(true);
  showUnreachable({}, {});
  storeListingWhenBdOpen(this, model_, [this](const StoreOutcome& outcome) {
    if (outcome.stored) {
      notices_->setNotice(u"stored"_s,
                          u"Almacenado en la BD con el número %1"_s.arg(*outcome.stored));
    } else if (!outcome.unreachable.isEmpty()) {
      showUnreachable(u"No se ha podido almacenar el listado en la BD: "_s + outcome.unreachable,
                      [this] { Save2bd(); });
    }
    setBusy(false);
  });
}

void frm_report::Gouu() {
  setBusy(true);
  scanIntoWindow(*this);
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
  list_->showEntries(texts);
  rendered_ = std::move(rendered);
}

QStringList frm_report::entries() const {
  return list_->entries();
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
  toolbar_ = new ListingToolbar(this);
  toolbar_->setGeometry(0, 0, width(), twipsToPixels(360));
  connect(toolbar_, &ListingToolbar::keyTriggered, this, &frm_report::dispatchToolbarKey);
}

void frm_report::createPanes() {
  tree_ = new ListingTree(this);
  tree_->setObjectName(u"tv"_s);
  tree_->setFont(smallFont());
  tree_->setGeometry(twipRect(0, 360, 2940, 4650));

  splitter_ = new QWidget(this);
  splitter_->setObjectName(u"Picture1"_s);
  fillBackground(*splitter_, barGrey());
  splitter_->setGeometry(twipRect(2925, 360, 105, 4605));
  splitter_->installEventFilter(this);

  list_ = new ListingEntryList(this);
  list_->setObjectName(u"List1"_s);
  list_->setFont(smallFont());
  list_->setGeometry(twipRect(3015, 360, 5820, 4650));

  panel_ = new DesignPanel(this);
  panel_->setGeometry(twipRect(495, 1305, 7935, 1140));
  panel_->hide();
  panel_->installEventFilter(this);

  progress_ = new ScanProgressStrip(this);
  connect(progress_, &ScanProgressStrip::shownOrHidden, this, &frm_report::applyLayoutRule);
  notices_ = new NoticeStrip(this);
  connect(notices_, &NoticeStrip::changed, this, &frm_report::applyLayoutRule);
  failure_ = new RetryLine(u"lblFalloBD"_s, this);
  connect(failure_, &RetryLine::retryRequested, this, &frm_report::retryCatalogue);
}

void frm_report::dispatchToolbarKey(const QString& key) {
  if (key == u"salir"_s) {
    closeWindow();
  } else if (key == u"refresca"_s) {
    SaveDesigns(designs());
    Refresca();
  } else if (key == u"imprime"_s) {
    if (ListingWindowRoutes* routes = listingWindowRoutes()) {
      routes->openPrintWindow(*this);
    }
  } else if (key == u"2bd"_s) {
    Save2bd();
  } else if (key == u"modifydesign"_s) {
    panel_->setVisible(toolbar_->designAction()->isChecked());
  } else if (key == u"estadisticas"_s) {
    if (ListingWindowRoutes* routes = listingWindowRoutes()) {
      routes->openListingStats(*this);
    }
  } else if (key == u"export_template"_s || key == u"templates"_s) {
    if (ListingWindowRoutes* routes = listingWindowRoutes()) {
      key == u"templates"_s ? routes->openTemplates(*this) : routes->exportWithTemplate(*this);
    }
  } else if (const std::optional<ExportFormat> format = exportFormatOfMenuKey(key)) {
    exportListing(*format);
  }
}

void frm_report::exportListing(ExportFormat format) {
  exportOnDesktop(*this, format, model_, listingName(), rendered_);
}

ListingName frm_report::listingName() const {
  return loadedName_.value_or(listingNameOf(model_));
}
