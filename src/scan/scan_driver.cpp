#include "scan/scan_driver.h"

#include <QDateTime>

#include "app/log.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qint16 kStartDepth = 5;

void resetAndRoot(ListingModel& model, const WalkPath& start, const WalkPath& walkPath) {
  model.DirActualNum = 0;
  model.CancionActualNum = 1;
  model.tree.clear();
  model.RutaInicial = start.shown;
  model.FinalType = kMedioDirectorio;
  WriteLog(u"Directorio inicial seleccionado: "_s + model.RutaInicial);
  model.FinalName = model.RutaInicial;
  // Trimmed like every other directory key, so the start directory's own files find it.
  model.tree.addRoot(trimBlanks(walkPath.withoutFinalSlash().shown), walkPath.shown,
                     kImageDirectory);
}

void logSummary(const ListingModel& model, qint64 seconds) {
  WriteLog(u"Finalizado con exito"_s);
  WriteLog(u"%1 segundos..."_s.arg(seconds));
  WriteLog(u"Numero de Directorios: %1"_s.arg(model.DirActualNum));
  WriteLog(u"Numero de MP3: %1"_s.arg(model.CancionActualNum - 1));
}

}  // namespace

WalkStop RunDirectoryScan(ListingModel& model, const WalkPath& start, const WalkPump& pump) {
  const qint64 startSeconds = QDateTime::currentSecsSinceEpoch();
  WriteLog(u"Iniciando proceso..."_s);
  const WalkPath walkPath = start.withFinalSlash();
  resetAndRoot(model, start, walkPath);

  DirectoryWalker walker(model, pump);
  qint64 totalFicheros = 0;
  qint64 totalTamano = 0;
  walker.DirUtil(walkPath, kStartDepth, totalFicheros, totalTamano);

  if (walker.stopReason() == WalkStop::Cancelled) {
    WriteLog(u"Proceso interrumpido"_s);
  } else {
    logSummary(model, QDateTime::currentSecsSinceEpoch() - startSeconds);
  }
  model.NumDirectoriosMP3 = model.DirActualNum;
  model.NumCancionesMP3 = static_cast<qint16>(model.CancionActualNum - 1);
  return walker.stopReason();
}
