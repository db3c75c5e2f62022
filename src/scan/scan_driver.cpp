#include "scan/scan_driver.h"

#include <QDateTime>

#include "base/log.h"
#include "platform/cd_drive.h"
#include "scan/source_identity.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kStartDepth = 5;

// Trimmed like every other directory key, so the start directory's own files find it.
WalkPath addRoot(ListingModel& model, const WalkPath& start, int image) {
  const WalkPath walkPath = start.withFinalSlash();
  model.tree.addRoot(trimBlanks(walkPath.withoutFinalSlash().shown), walkPath.shown, image);
  return walkPath;
}

void logSummary(const ListingModel& model, qint64 seconds) {
  WriteLog(u"Finalizado con exito"_s);
  WriteLog(u"%1 segundos..."_s.arg(seconds));
  WriteLog(u"Numero de Directorios: %1"_s.arg(model.DirActualNum));
  WriteLog(u"Numero de MP3: %1"_s.arg(model.CancionActualNum - 1));
}

}  // namespace

ScanRun::ScanRun(ListingModel& model)
    : model_(model), startSeconds_(QDateTime::currentSecsSinceEpoch()) {
  WriteLog(u"Iniciando proceso..."_s);
  model_.DirActualNum = 0;
  model_.CancionActualNum = 1;
  model_.tree.clear();
}

WalkStop ScanRun::walk(const WalkPath& walkPath, const WalkPump& pump, const TagReading& tags,
                       ListingLimits limits, SourceCheck check) {
  model_.technical.clear();
  model_.technical.present = tags.properties;
  model_.stamps.clear();
  model_.source = {};
  model_.notices = {};
  // Given known files, the walker reads their sizes and times itself (see takeKnownFiles).
  DirectoryWalker walker(model_, pump, EntrySizes::Skip, tags, limits);
  walker.takeKnownFiles(known_);
  walker_ = &walker;
  qint64 totalFicheros = 0;
  qint64 totalTamano = 0;
  walker.DirUtil(walkPath, kStartDepth, totalFicheros, totalTamano);
  walker_ = nullptr;
  leftOut_ = walker.leftOut();

  if (isLimitStop(walker.stopReason())) {
    WriteLog(limitReachedText(walker.stopReason(), leftOut_));
  }
  if (walker.stopReason() == WalkStop::Cancelled) {
    WriteLog(u"Proceso interrumpido"_s);
  } else {
    logSummary(model_, QDateTime::currentSecsSinceEpoch() - startSeconds_);
  }
  model_.NumDirectoriosMP3 = model_.DirActualNum;
  model_.NumCancionesMP3 = model_.CancionActualNum - 1;
  model_.notices.incomplete = walker.stopReason() != WalkStop::None;
  if (check == SourceCheck::Identify) {
    model_.source = identifySource(model_, walkPath.shown, tags, limits);
  }
  return walker.stopReason();
}

const WalkProgress& ScanRun::progress() const {
  static const WalkProgress notStarted;
  return walker_ ? walker_->progress() : notStarted;
}

WalkPath rootDirectoryScan(ListingModel& model, const WalkPath& start, TreeNodes tree) {
  model.RutaInicial = start.shown;
  model.FinalType = kMedioDirectorio;
  WriteLog(u"Directorio inicial seleccionado: "_s + model.RutaInicial);
  model.FinalName = model.RutaInicial;
  return tree == TreeNodes::Build ? addRoot(model, start, kImageDirectory) : start.withFinalSlash();
}

CdScanTarget selectCdDrive(ListingModel& model) {
  model.FinalType = kMedioCd;
  const CdDrive drive = findCdDrive();
  if (drive.state == CdDriveState::NoDrive) {
    WriteLog(noCdDriveText());
    return {};
  }
  WriteLog(u"Unidad de cdrom seleccionada: "_s + drive.root);
  const QString label = GetVolumeLabel(drive.root).trimmed();
  model.FinalName = label;
  WriteLog(label);
  return {drive.root, label};
}

WalkPath rootCdScan(ListingModel& model, const QString& driveRoot) {
  return addRoot(model, WalkPath::fromText(driveRoot), kImageCd);
}

QString noCdDriveText() {
  return u"No se ha encontrado ninguna unidad de CD-ROM en el equipo"_s;
}

QString scanCaption(const ListingModel& model) {
  return (model.FinalType == kMedioCd ? u"[CD] "_s : u"[DIR] "_s) + model.FinalName;
}

WalkStop RunDirectoryScan(ListingModel& model, const WalkPath& start, const WalkPump& pump,
                          const TagReading& tags, ListingLimits limits) {
  ScanRun run(model);
  return run.walk(rootDirectoryScan(model, start), pump, tags, limits);
}
