#include "listing/gui_listing_properties.h"

#include <QAction>
#include <QTreeWidget>

#include "listing/frm_report.h"
#include "listing/gui_listing_routes.h"

using namespace Qt::StringLiterals;

void offerListingProperties(frm_report& window, int rpId) {
  auto* tree = window.findChild<QTreeWidget*>(u"tv"_s);
  if (!tree) {
    return;
  }
  auto* properties = new QAction(u"Propiedades..."_s, tree);
  properties->setObjectName(u"mn_propiedades"_s);
  QObject::connect(properties, &QAction::triggered, tree, [&window, rpId] {
    if (ListingWindowRoutes* routes = listingWindowRoutes()) {
      routes->openListingProperties(window, rpId);
    }
  });
  tree->addAction(properties);
  tree->setContextMenuPolicy(Qt::ActionsContextMenu);
}
