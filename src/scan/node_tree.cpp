#include "scan/node_tree.h"

bool NodeTree::addRoot(const QString& key, const QString& text, int image) {
  return add(-1, key, text, image);
}

bool NodeTree::addChild(const QString& parentKey, const QString& key, const QString& text,
                        int image) {
  return addChildOf(indexOf(parentKey), key, text, image);
}

bool NodeTree::addChildOf(int parent, const QString& key, const QString& text, int image) {
  return parent >= 0 && parent < static_cast<int>(nodes_.size()) && add(parent, key, text, image);
}

void NodeTree::clear() {
  nodes_.clear();
  index_.clear();
  if (listener_.cleared) {
    listener_.cleared();
  }
}

bool NodeTree::add(int parent, const QString& key, const QString& text, int image) {
  if (index_.contains(key)) {
    return false;
  }
  const int index = static_cast<int>(nodes_.size());
  nodes_.push_back(TreeNode{key, text, image, parent});
  index_.insert(key, index);
  if (listener_.added) {
    listener_.added(nodes_.back(), index);
  }
  return true;
}
