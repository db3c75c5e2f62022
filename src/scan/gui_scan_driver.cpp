#include "scan/gui_scan_driver.h"

#include <QMdiArea>
#include <QPointer>

#include "app/app_info.h"
#include "app/log.h"
#include "db/stored_listings.h"
#include "listing/frm_report.h"
#include "platform/event_pump.h"
#include "platform/gui_folder_chooser.h"
#include "platform/gui_message_box.h"
#include "scan/scan_driver.h"

using namespace Qt::StringLiterals;

namespace {

// The CD already stored under this label is offered instead of a new scan; true when the user
// took it and the window now holds it.
bool loadStoredCdInstead(frm_report& report, const QString& label) {
  const std::optional<qint16> stored = findStoredCd(label);
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

WalkPump scanPump(frm_report& report) {
  return [window = QPointer<frm_report>(&report), pump = ThrottledEventPump()]() mutable {
    pump();
    return window && !window->stopRequested();
  };
}
