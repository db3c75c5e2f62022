#include "listing/gui_stored_listing_menu.h"

#include <QAction>

#include "db/original_place.h"
#include "listing/frm_report.h"
#include "listing/gui_listing_routes.h"
#include "listing/gui_listing_tree.h"
#include "platform/gui_open_when_present.h"

using namespace Qt::StringLiterals;

namespace {

// A file node's image in the listing window's image list; other nodes are folders.
constexpr int kFileImage = 5;

// The folder of the chosen node (a file's is the one it is in); empty for the listing's root,
// whose node a stored listing keys by its name.
QString chosenFolder(const frm_report& window, const ListingTree& tree) {
  const std::vector<TreeNode>& nodes = window.model().tree.nodes();
  const int index = tree.currentNode();
  if (index <= 0) {
    return {};
  }
  const TreeNode& node = nodes[static_cast<std::size_t>(index)];
  return node.image == kFileImage ? node.key.section(u'/', 0, -2) : node.key;
}

void goToOriginal(frm_report& window, const ListingTree& tree, int rpId) {
  const std::optional<ListingName>& name = window.loadedName();
  const OriginalRequest request{rpId, name ? name->name : QString(), name ? name->medio : 0,
                                chosenFolder(window, tree)};
  openWhenPresent(
      &window, [request] { return originalFolder(request); }, insertDiscText(request));
}

QAction* addTreeAction(ListingTree& tree, const QString& name, const QString& text) {
  auto* action = new QAction(text, &tree);
  action->setObjectName(name);
  tree.addAction(action);
  return action;
}

}  // namespace

void offerStoredListingActions(frm_report& window, int rpId) {
  auto* tree = window.findChild<ListingTree*>(u"tv"_s);
  if (!tree) {
    return;
  }
  QObject::connect(addTreeAction(*tree, u"mn_propiedades"_s, u"Propiedades..."_s),
                   &QAction::triggered, tree, [&window, rpId] {
                     if (ListingWindowRoutes* routes = listingWindowRoutes()) {
                       routes->openListingProperties(window, rpId);
                     }
                   });
  QObject::connect(addTreeAction(*tree, u"mn_actualizar"_s, u"Actualizar..."_s),
                   &QAction::triggered, tree, [&window, rpId] {
                     if (ListingWindowRoutes* routes = listingWindowRoutes()) {
                       routes->updateStoredListing(window, rpId);
                     }
                   });
  QObject::connect(addTreeAction(*tree, u"mn_original"_s, u"Ir al original"_s), &QAction::triggered,
                   tree, [&window, tree, rpId] { goToOriginal(window, *tree, rpId); });
  tree->setContextMenuPolicy(Qt::ActionsContextMenu);
}
