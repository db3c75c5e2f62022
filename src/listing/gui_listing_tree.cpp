#include "listing/gui_listing_tree.h"

#include <algorithm>

#include "platform/gui_image_list.h"

ListingTree::ListingTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  // Every node has the same font and icon size: the view need not measure each one.
  setUniformRowHeights(true);
}

void ListingTree::follow(NodeTree& tree) {
  tree.setListener({
      [this](const TreeNode& node, int index) { addNode(node, index); },
      [this] { forgetNodes(); },
  });
}

bool ListingTree::selectNode(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) {
    return false;
  }
  QTreeWidgetItem* item = items_[static_cast<std::size_t>(index)];
  setCurrentItem(item);
  scrollToItem(item);
  return true;
}

int ListingTree::currentNode() const {
  const auto found = std::find(items_.cbegin(), items_.cend(), currentItem());
  return found == items_.cend() ? -1 : static_cast<int>(found - items_.cbegin());
}

// Text and icon go in before the item joins its parent: set afterwards, each would tell the
// view the item changed, and the view looks a changed item up among the rows it shows.
void ListingTree::addNode(const TreeNode& node, int index) {
  Q_ASSERT(index == static_cast<int>(items_.size()));
  auto* item = new QTreeWidgetItem(QStringList{node.text});
  item->setIcon(0, imageListIcon(node.image));
  if (node.parent < 0) {
    addTopLevelItem(item);
  } else {
    items_[static_cast<std::size_t>(node.parent)]->addChild(item);
  }
  items_.push_back(item);
}

void ListingTree::forgetNodes() {
  clear();
  items_.clear();
}
