#include "listing/gui_listing_export.h"

#include "base/app_info.h"
#include "base/log.h"
#include "platform/desktop_opener.h"
#include "platform/gui_message_box.h"
#include "session/program_options.h"

using namespace Qt::StringLiterals;

void exportOnDesktop(QWidget& window, ExportFormat format, const ListingModel& model,
                     const ListingName& name, const std::vector<RenderedEntry>& entries) {
  const QString path = UserFile(exportFileName(format));
  const ExportChoices choices = LoadProgramOptions().exportChoices();
  if (const QString failure = writeListingExport(path, format, model, name, entries, choices);
      !failure.isEmpty()) {
    WriteLog(u"No se ha podido exportar el listado a %1: %2"_s.arg(path, failure));
    showMessage({&window, AppTitle(),
                 u"No se ha podido exportar el listado a %1.\n\n%2"_s.arg(path, failure),
                 MessageIcon::Critical, MessageButtons::Ok});
    return;
  }
  if (!openOnDesktop(path)) {
    WriteLog(u"No se ha podido abrir %1 en el escritorio"_s.arg(path));
  }
}
