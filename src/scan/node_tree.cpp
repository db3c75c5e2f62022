#include "scan/node_tree.h"

#include "scan/table_room.h"

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

// The key is looked up once: a new key's slot is made by that lookup and then filled. The
// index is given room with the nodes (roomFor), so a whole collection's keys are hashed again
// at most once or twice rather than at every doubling.
bool NodeTree::add(int parent, const QString& key, const QString& text, int image) {
  const int index = static_cast<int>(nodes_.size());
  if (nodes_.size() == nodes_.capacity()) {
    const std::size_t room = roomFor(nodes_.size() + 1, nodes_.capacity());
    nodes_.reserve(room);
    index_.reserve(static_cast<qsizetype>(room));
  }
  const qsizetype keys = index_.size();
  int& slot = index_[key];
  if (index_.size() == keys) {
    return false;
  }
  slot = index;
  nodes_.push_back(TreeNode{key, text, image, parent});
  if (listener_.added) {
    listener_.added(nodes_.back(), index);
  }
  return true;
}
