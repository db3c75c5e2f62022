#include "app/gui_shell_routes.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "db/frm_propiedades.h"
#include "db/frm_reportsbd.h"
#include "db/gui_listing_updater.h"
#include "listing/frm_report.h"
#include "listing/gui_listing_routes.h"
#include "output/form2.h"
#include "output/frm_templates.h"
#include "output/gui_template_export.h"
#include "session/program_options.h"
#include "stats/frm_stats.h"

namespace {

class ShellListingRoutes : public ListingWindowRoutes {
 public:
  void openPrintWindow(frm_report& window) override {
    Form2::instance()->Abre(window.tag(), window.entryList());
  }

  // The statistics window is the listing window's child, so it never outlives the window
  // whose nodes its files choose.
  void openListingStats(frm_report& window) override {
    frm_stats::showListing(window.model(), &window,
                           [&window](const QString& node) { window.selectNode(node); });
  }
  void exportWithTemplate(frm_report& window) override {
    exportListingWithTemplate(window, window.model(), window.listingName(), window.storedNumber(),
                              window.designs(), LoadProgramOptions().exportEncoding);
  }
  void openTemplates(frm_report& window) override {
    frm_templates::open(&window, &window.model(), window.designs());
  }

  void openListingProperties(frm_report& window, int rpId) override {
    frm_propiedades::open(&window, rpId);
  }

  void updateStoredListing(frm_report& window, int rpId) override {
    auto* subWindow = qobject_cast<QMdiSubWindow*>(window.parentWidget());
    QMdiArea* area = subWindow ? subWindow->mdiArea() : nullptr;
    ListingUpdater* updater = ListingUpdater::start(&window, rpId);
    if (area) {
      QObject::connect(updater, &ListingUpdater::updated, area,
                       [area](int rpId) { showUpdatedListing(*area, rpId); });
    }
  }
};

}  // namespace

void installShellRoutes() {
  static ShellListingRoutes listing;
  setListingWindowRoutes(&listing);
}

void showUpdatedListing(QMdiArea& area, int rpId) {
  if (frm_reportsbd* catalogue = frm_reportsbd::current()) {
    catalogue->Recarga();
  }
  for (QMdiSubWindow* subWindow : area.subWindowList()) {
    auto* report = qobject_cast<frm_report*>(subWindow->widget());
    if (report && report->storedNumber() == rpId) {
      report->closeWindow();
      frm_report::openStoredIn(area, rpId);
    }
  }
}
