#pragma once

#include <QTreeWidget>

#include <vector>

#include "scan/node_tree.h"

/**
 * The listing window's tree (tv): one item per node of the listing's NodeTree, added as the
 * node is, so a walk shows live. A whole collection holds about 110,000 nodes, so each item
 * is made complete before it joins the view (no change signal per item), every row has the
 * same height (the view measures one) and nodes start collapsed (the view lays out only what
 * is open).
 */
class ListingTree : public QTreeWidget {
  Q_OBJECT

 public:
  explicit ListingTree(QWidget* parent = nullptr);

  /** Follows tree from now on: an item for each node added, none once it is cleared. */
  void follow(NodeTree& tree);

  /** Chooses the item of node index and scrolls it into view; false when there is none. */
  bool selectNode(int index);
  /** The node index of the current item, or -1. */
  int currentNode() const;

 private:
  void addNode(const TreeNode& node, int index);
  void forgetNodes();

  std::vector<QTreeWidgetItem*> items_;  // the item of each node, by node index
};
