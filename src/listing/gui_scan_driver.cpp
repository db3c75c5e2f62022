#include "listing/gui_scan_driver.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "base/app_info.h"
#include "base/log.h"
#include "db/source_store.h"
#include "db/stored_listings.h"
#include "listing/frm_report.h"
#include "listing/gui_listing_routes.h"
#include "listing/gui_notice_strip.h"
#include "listing/gui_scan_progress.h"
#include "platform/event_pump.h"
#include "platform/gui_folder_chooser.h"
#include "platform/gui_message_box.h"
#include "scan/scan_driver.h"
#include "scan/scan_notices.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

namespace {

// The CD already stored under this label is offered instead of a new scan; true when the user
// took it and the window now holds it.
bool loadStoredCdInstead(frm_report& report, const QString& label) {
  const std::optional<int> stored = findStoredCd(label);
  if (!stored) {
    return false;
  }
  const MessageAnswer answer =
      showMessage({&report, u"Atencion!"_s,
                   u"El cd que va a escanear ya se encuentra almacenado en la BD\r\n"
                   u"¿ Desea cargarlo de la BD ?"_s,
                   MessageIcon::Critical, MessageButtons::YesNo});
  if (answer != MessageAnswer::Yes) {
    return false;
  }
  WriteLog(u"Procediendo a restaurar de la bd..."_s);
  report.Load4bd(*stored);
  return true;
}

std::optional<WalkPath> nameAndRootCdScan(frm_report& report) {
  ListingModel& model = report.model();
  const CdScanTarget target = selectCdDrive(model);
  if (target.driveRoot.isEmpty()) {
    showMessage({&report, AppTitle(), noCdDriveText(), MessageIcon::Warning, MessageButtons::Ok});
    report.closeWindow();
    return std::nullopt;
  }
  report.setWindowTitle(scanCaption(model));
  if (loadStoredCdInstead(report, target.label)) {
    return std::nullopt;
  }
  return rootCdScan(model, target.driveRoot);
}

QString partialListingText(const ListingModel& model) {
  return u"Escaneo detenido por el usuario: el listado está incompleto (%1 directorios con MP3, "
         u"%2 archivos MP3)"_s.arg(model.NumDirectoriosMP3)
             .arg(model.NumCancionesMP3);
}

// The stored listing opened as «Gestión Informes en BD» opens it, beside the scanned one.
void openStoredBeside(frm_report& report, int rpId) {
  auto* subWindow = qobject_cast<QMdiSubWindow*>(report.parentWidget());
  if (subWindow && subWindow->mdiArea()) {
    frm_report::openStoredIn(*subWindow->mdiArea(), rpId);
  }
}

// A source already catalogued is said so, with buttons that update and open the stored listing;
// «Almacenar en BD» still stores it as a new listing.
void noticeCatalogued(frm_report& report) {
  QString error;
  const ListingModel& model = report.model();
  const std::vector<StoredSource> matches = storedSourcesMatching(model, error);
  const QString text = recognitionText(matches, model.source);
  if (text.isEmpty()) {
    return;
  }
  report.notices().setNotice(u"catalogued"_s, text);
  const int rpId = matches.front().rpId;
  report.notices().addButton(u"catalogued"_s, u"actualizar"_s, u"Actualizar nº %1"_s.arg(rpId),
                             [window = QPointer<frm_report>(&report), rpId] {
                               ListingWindowRoutes* routes = listingWindowRoutes();
                               if (window && routes) {
                                 routes->updateStoredListing(*window, rpId);
                               }
                             });
  report.notices().addButton(u"catalogued"_s, u"abrir"_s, u"Abrir nº %1"_s.arg(rpId),
                             [window = QPointer<frm_report>(&report), rpId] {
                               if (window) {
                                 openStoredBeside(*window, rpId);
                               }
                             });
}

void noticeWalkEnd(frm_report& report, const ScanRun& run, WalkStop stop) {
  if (isLimitStop(stop)) {
    report.notices().setNotice(u"cap"_s, limitReachedText(stop, run.leftOut()));
  } else if (stop == WalkStop::Cancelled && report.scanProgress().stopPressed()) {
    const QString partial = partialListingText(report.model());
    WriteLog(partial);
    report.notices().setNotice(u"partial"_s, partial);
  }
  for (const ListingNotice& notice : scanNoticesOf(report.model().notices)) {
    report.notices().setNotice(notice.key, notice.text);
  }
  noticeCatalogued(report);
  report.showTotalNotice();
}

}  // namespace

void OpenListingWindow(QMdiArea& area, bool directoryMode) {
  const QPointer<frm_report> report = frm_report::openIn(area);
  if (directoryMode) {
    const QString folder = BrowseFolder(area.window(), u"Selecciona la ruta inicial"_s);
    // The chooser runs its own event loop: the new window may be gone by now.
    if (!report) {
      return;
    }
    if (folder.isEmpty()) {
      report->closeWindow();
      return;
    }
    report->model().RutaInicial = folder;
  }
  report->Gouu();
}

std::optional<WalkPath> nameAndRootScan(frm_report& report) {
  ListingModel& model = report.model();
  if (model.RutaInicial.isEmpty()) {
    return nameAndRootCdScan(report);
  }
  const WalkPath walkPath = rootDirectoryScan(model, WalkPath::fromText(model.RutaInicial));
  report.setWindowTitle(scanCaption(model));
  return walkPath;
}

void scanIntoWindow(frm_report& report) {
  ScanRun run(report.model());
  const std::optional<WalkPath> walkPath = nameAndRootScan(report);
  if (!walkPath) {
    return;
  }
  const ProgramOptions options = LoadProgramOptions();
  report.notices().removeNotice(u"cap"_s);
  report.notices().removeNotice(u"partial"_s);
  for (const QString& key : {u"id3v2"_s, u"formats"_s, u"catalogued"_s}) {
    report.notices().removeNotice(key);
  }
  report.scanProgress().start();
  const WalkStop stop = run.walk(*walkPath, scanPump(report, run), options.tags, options.limits);
  report.scanProgress().finish();
  noticeWalkEnd(report, run, stop);
}

WalkPump scanPump(frm_report& report, const ScanRun& run) {
  return [window = QPointer<frm_report>(&report), &run, pump = ThrottledEventPump()]() mutable {
    pump();
    if (!window) {
      return false;
    }
    window->scanProgress().offer(run.progress());
    return !window->stopRequested() && !window->scanProgress().stopPressed();
  };
}
