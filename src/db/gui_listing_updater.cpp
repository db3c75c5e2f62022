#include "db/gui_listing_updater.h"

#include <QDialog>
#include <QLayout>
#include <QProgressDialog>
#include <QPushButton>

#include <atomic>

#include "base/app_info.h"
#include "db/bd_reconnect.h"
#include "db/frm_actualizar.h"
#include "db/listing_update.h"
#include "platform/gui_folder_chooser.h"
#include "platform/gui_message_box.h"
#include "platform/gui_open_when_present.h"
#include "search/search_index.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

namespace {

// A walk or an apply shorter than this shows no box.
constexpr int kBusyBoxDelayMs = 500;

ScanChoices savedChoices() {
  const ProgramOptions options = LoadProgramOptions();
  return {options.tags, options.limits};
}

}  // namespace

ListingUpdater* ListingUpdater::start(QWidget* parent, int rpId) {
  auto* updater = new ListingUpdater(parent, rpId);
  whenBdOpen(updater, [updater](const QString& failure) {
    if (failure.isEmpty()) {
      updater->findSource();
    } else {
      updater->fail(failure);
    }
  });
  return updater;
}

// Owned by the asking window's top window, so an update outlives a listing window closed
// meanwhile; its dialogs stand over the asking window while it is there.
ListingUpdater::ListingUpdater(QWidget* parent, int rpId)
    : QObject(parent ? parent->window() : nullptr),
      parent_(parent),
      rpId_(rpId),
      saved_(savedChoices()),
      plan_(std::make_shared<std::optional<UpdatePlan>>()) {}

ListingUpdater::~ListingUpdater() {
  thread_.run([plan = plan_] { return (plan->reset(), QString()); }, nullptr, {});
}

QWidget* ListingUpdater::owner() const {
  return parent_ ? parent_.data() : qobject_cast<QWidget*>(parent());
}

void ListingUpdater::findSource() {
  QString error;
  const std::optional<StoredListingSource> listing = readListingSource(rpId_, error);
  if (!listing) {
    fail(error);
  } else if (const QString root = locateUpdateSource(*listing); !root.isEmpty()) {
    plan(root, false);
  } else {
    waitForSource(*listing);
  }
}

// «Inserte el disco ...» until a volume with the recorded identity is mounted, or the user
// cancels; a folder may be chosen instead.
void ListingUpdater::waitForSource(const StoredListingSource& listing) {
  QDialog* wait = waitUntilPresent(
      owner(), {u"dlgEsperaDisco"_s, u"Actualizar"_s},
      [listing] { return locateUpdateSource(listing); },
      [listing] { return missingSourceText(listing); },
      [this](const QString& root) {
        plan(root, false);
        return true;
      });
  connect(wait, &QDialog::rejected, this, &QObject::deleteLater);
  if (listing.medium != kMedioCd) {
    offerFolderChoice(*wait);
  }
}

void ListingUpdater::offerFolderChoice(QDialog& wait) {
  auto* choose = new QPushButton(u"Elegir carpeta..."_s, &wait);
  choose->setObjectName(u"cmdElegir"_s);
  wait.layout()->addWidget(choose);
  connect(choose, &QPushButton::clicked, this, [this, box = QPointer<QDialog>(&wait)] {
    const QString folder = BrowseFolder(box, u"Carpeta del listado nº %1"_s.arg(rpId_));
    if (box && !folder.isEmpty()) {
      box->accept();
      plan(folder, false);
    }
  });
}

// The walk can be stopped from its box: nothing is written then, and nothing more is said.
void ListingUpdater::plan(const QString& root, bool rereadAll) {
  root_ = root;
  auto stop = std::make_shared<std::atomic<bool>>(false);
  showBusy(u"Comparando el listado nº %1 con %2..."_s.arg(rpId_).arg(root), u"Cancelar"_s);
  connect(busy_, &QProgressDialog::canceled, this, [stop] { *stop = true; });
  thread_.run(
      [plan = plan_, request = UpdateRequest{rpId_, root, rereadAll, false}, saved = saved_, stop] {
        // The hold of an earlier plan goes before the new walk takes it again.
        plan->reset();
        QString error;
        *plan = planUpdate(request, saved, error, [stop] { return !*stop; });
        return error;
      },
      this,
      [this, stop](const QString& failure) {
        // Read before the box goes: closing it says «cancelled» too.
        const bool stopped = *stop;
        hideBusy();
        if (stopped) {
          deleteLater();
        } else {
          failure.isEmpty() ? review() : fail(failure);
        }
      });
}

void ListingUpdater::review() {
  auto* dialog = new frm_actualizar(owner(), **plan_);
  connect(dialog, &QDialog::finished, this, [this](int result) {
    if (result == QDialog::Accepted) {
      apply();
    } else if (result == frm_actualizar::kRereadAll) {
      plan(root_, true);
    } else {
      discard();
    }
  });
  dialog->show();
}

void ListingUpdater::apply() {
  showBusy(u"Actualizando el listado nº %1..."_s.arg(rpId_));
  thread_.run(
      [plan = plan_] {
        const QString error = applyUpdate(**plan);
        plan->reset();
        if (error.isEmpty()) {
          indexStoredListing();
        }
        return error;
      },
      this,
      [this](const QString& failure) {
        hideBusy();
        if (!failure.isEmpty()) {
          fail(failure);
          return;
        }
        emit updated(rpId_);
        deleteLater();
      });
}

void ListingUpdater::discard() {
  thread_.run([plan = plan_] { return (plan->reset(), QString()); }, this,
              [this](const QString&) { deleteLater(); });
}

void ListingUpdater::fail(const QString& failure) {
  showMessage({owner(), AppTitle(),
               u"No se ha podido actualizar el listado nº %1.\n\n%2"_s.arg(rpId_).arg(failure),
               MessageIcon::Critical, MessageButtons::Ok});
  deleteLater();
}

// What runs on the thread is said while it runs, the window that asked answering meanwhile;
// only the walk has a button to stop it (cancel), the apply's one transaction runs to its end.
void ListingUpdater::showBusy(const QString& text, const QString& cancel) {
  hideBusy();
  busy_ = new QProgressDialog(text, cancel, 0, 0, owner());
  busy_->setObjectName(u"dlgActualizando"_s);
  busy_->setWindowTitle(u"Actualizar"_s);
  busy_->setAttribute(Qt::WA_DeleteOnClose);
  busy_->setMinimumDuration(kBusyBoxDelayMs);
}

void ListingUpdater::hideBusy() {
  if (busy_) {
    busy_->close();
  }
}
