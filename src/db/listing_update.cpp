#include "db/listing_update.h"

#include <QDateTime>
#include <QFileInfo>

#include "db/bd_write_guard.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "db/source_store.h"
#include "db/sql_catalogue.h"
#include "db/stored_files.h"
#include "db/update_history.h"
#include "platform/freed_memory.h"
#include "scan/scan_driver.h"

using namespace Qt::StringLiterals;

namespace {

StoredFilesUse filesUse(const UpdateRequest& request, const StoredListingSource& listing,
                        const QString& root) {
  if (request.dryRun) {
    return StoredFilesUse::ReadNone;
  }
  // Files read by older readers would keep what those readers gave.
  const bool olderReaders =
      !listing.identity || listing.identity->readerVersion < kTagReaderVersion;
  if (request.reread || olderReaders) {
    return StoredFilesUse::ReadAll;
  }
  // A tree found where it was stored keeps every directory's name, so an unchanged file's row
  // is already the one a fresh store would write.
  return root == withoutFinalSlash(listing.identity->path) ? StoredFilesUse::KeepInPlace
                                                           : StoredFilesUse::KeepUnchanged;
}

// The walk a fresh scan of root would make, with the listing's medium, and the path it took;
// nothing shows the folder's tree, which a store never reads.
WalkStop walkSource(UpdatePlan& plan, KnownFiles& known, const WalkPump& pump, WalkPath& walkPath) {
  ListingModel& model = *plan.model;
  ScanRun run(model);
  if (plan.listing.medium == kMedioCd) {
    model.FinalType = kMedioCd;
    model.FinalName = plan.listing.name;
    walkPath = rootCdScan(model, plan.root + u'/');
  } else {
    walkPath = rootDirectoryScan(model, WalkPath::fromText(plan.root), TreeNodes::Skip);
  }
  run.takeKnownFiles(&known);
  return run.walk(walkPath, pump, plan.choices.tags, plan.choices.limits, SourceCheck::Skip);
}

// Nothing read and nothing moved: the stored rows are already those of a fresh scan.
bool rowsUnchanged(const UpdatePlan& plan, const StoredFiles& stored, StoredFilesUse use) {
  return use == StoredFilesUse::KeepInPlace && stored.added().isEmpty() &&
         stored.changed().isEmpty() && stored.removed().isEmpty() &&
         !plan.model->notices.incomplete;
}

// Only the listing's date of update and its history, in one transaction.
QString writeDatesOnly(const UpdatePlan& plan, const std::function<QString(int)>& history) {
  const BdWriteGuard guard;
  if (!guard.acquired()) {
    return bdBusyText();
  }
  ScopedTransaction transaction(BdConnection());
  if (!transaction.started()) {
    return BdConnection().lastError();
  }
  QString reason;
  if (!BdBoundQuery(sqlSourceUpdated(), {storeDateNow(), plan.listing.rpId}, reason)) {
    return reason;
  }
  if (reason = history(plan.listing.rpId); !reason.isEmpty()) {
    return reason;
  }
  return transaction.Commit() ? QString() : BdConnection().lastError();
}

ScanChoices choicesOf(const StoredListingSource& listing, const ScanChoices& saved, bool& isSaved) {
  const std::optional<ScanChoices> own =
      listing.identity ? scanChoicesFromText(listing.identity->choices) : std::nullopt;
  isSaved = !own;
  return own.value_or(saved);
}

// Walks the source while the stored files are read beside it, offers each listed file to them
// once both are done, and takes what the comparison found; the stored files go before the caller
// makes the source's identity, so the two are never held together. The path walked, or nothing
// with error set.
std::optional<WalkPath> compareWithSource(UpdatePlan& plan, const UpdateRequest& request,
                                          const WalkPump& keepWalking, QString& error) {
  const StoredFilesUse use = filesUse(request, plan.listing, plan.root);
  StoredFiles stored(use);
  const QString storedRoot = plan.listing.identity             ? plan.listing.identity->path
                             : plan.listing.medium == kMedioCd ? plan.root
                                                               : plan.listing.name;
  stored.startLoad(request.rpId, withoutFinalSlash(storedRoot));
  WalkPath walkPath;
  const WalkStop stop = walkSource(plan, stored, keepWalking, walkPath);
  if (error = stored.loaded(); !error.isEmpty()) {
    return std::nullopt;
  }
  if (stop == WalkStop::Cancelled) {
    error = updateCancelledText();
    return std::nullopt;
  }
  // A disc taken out or a folder unmounted half-way leaves a walk that only looks whole.
  if (!QFileInfo(plan.root).isDir()) {
    error =
        u"El origen del listado nº %1 «%2» dejó de estar disponible durante el recorrido: "
        u"no se ha cambiado nada"_s.arg(request.rpId)
            .arg(plan.listing.name);
    return std::nullopt;
  }
  plan.added = stored.added();
  plan.changed = stored.changed();
  plan.removed = stored.removed();
  plan.unchanged = stored.unchanged();
  plan.rowsUnchanged = rowsUnchanged(plan, stored, use);
  if (use == StoredFilesUse::KeepInPlace) {
    plan.inPlace = stored.rowsInPlace();
  }
  return walkPath;
}

}  // namespace

bool UpdatePlan::halfChanged() const {
  const qsizetype stored = removed.size() + changed.size() + unchanged;
  return 2 * (added.size() + removed.size()) > std::max<qsizetype>(stored, 1);
}

QString updateCancelledText() {
  return u"Actualización cancelada: no se ha cambiado nada"_s;
}

QString halfChangedText() {
  return u"Más de la mitad de los archivos cambiaría: ¿es el disco correcto?"_s;
}

std::optional<UpdatePlan> planUpdate(const UpdateRequest& request, const ScanChoices& saved,
                                     QString& error, const WalkPump& keepWalking) {
  UpdatePlan plan;
  plan.startedMs = QDateTime::currentMSecsSinceEpoch();
  std::optional<StoredListingSource> listing = readListingSource(request.rpId, error);
  if (!listing) {
    return std::nullopt;
  }
  plan.listing = std::move(*listing);
  if (!request.dryRun && !(plan.hold = BdConnection().holdListing(request.rpId))) {
    error = listingHeldText(request.rpId, plan.listing.name);
    return std::nullopt;
  }
  plan.root = locateUpdateSource(plan.listing, request.from);
  if (plan.root.isEmpty()) {
    error = request.from.isEmpty() ? missingSourceText(plan.listing)
                                   : u"no se puede leer el directorio %1"_s.arg(request.from);
    return std::nullopt;
  }
  plan.choices = choicesOf(plan.listing, saved, plan.savedChoices);
  plan.model = std::make_unique<ListingModel>();
  const std::optional<WalkPath> walked = compareWithSource(plan, request, keepWalking, error);
  // The stored files were held in their loading thread's heap, which the store cannot reuse.
  releaseFreedMemory();
  if (!walked) {
    return std::nullopt;
  }
  // A dry run has no use for the source's identity, which reads every file's name once more,
  // nor has an update that writes only its dates.
  if (request.dryRun) {
    plan.model.reset();
  } else if (!plan.rowsUnchanged) {
    plan.model->source =
        identifySource(*plan.model, walked->shown, plan.choices.tags, plan.choices.limits);
  }
  return plan;
}

QString applyUpdate(const UpdatePlan& plan) {
  const auto history = [&plan](int rpId) {
    const double seconds = (QDateTime::currentMSecsSinceEpoch() - plan.startedMs) / 1000.0;
    return writeUpdateHistory(rpId, {storeDateNow(), static_cast<int>(plan.added.size()),
                                     static_cast<int>(plan.removed.size()),
                                     static_cast<int>(plan.changed.size()), seconds});
  };
  if (plan.rowsUnchanged) {
    return writeDatesOnly(plan, history);
  }
  return replaceStoredListing(*plan.model,
                              StoreOver{plan.listing.rpId, plan.listing.catalogued, history,
                                        plan.inPlace ? &*plan.inPlace : nullptr})
      .error;
}
