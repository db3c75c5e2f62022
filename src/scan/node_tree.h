#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

/** One node of a listing's tree, as a tree view shows it. */
struct TreeNode {
  QString key;
  QString text;
  int image = 0;    // index in the listing window's image list (1 CD, 3 directory, 5 MP3 file)
  int parent = -1;  // index of the parent node, -1 for a root
};

/**
 * The keyed tree of a listing. Keys are unique; a node is added under an existing parent or as
 * a root. Nodes are kept in the order they were added, so a parent always precedes its children.
 */
class NodeTree {
 public:
  struct Listener {
    std::function<void(const TreeNode& node, int index)> added;
    std::function<void()> cleared;
  };

  /** Adds a root node; false, and nothing added, when the key is already in the tree. */
  bool addRoot(const QString& key, const QString& text, int image);

  /** Adds a child of parentKey; false, and nothing added, on a duplicate key or missing parent. */
  bool addChild(const QString& parentKey, const QString& key, const QString& text, int image);

  /** The same under the node at index parent (as indexOf gives it), for a caller adding many
   *  children to one parent: its key is not looked up again for each. */
  bool addChildOf(int parent, const QString& key, const QString& text, int image);

  void clear();

  const std::vector<TreeNode>& nodes() const { return nodes_; }
  /** Index of the node with this key, or -1. */
  int indexOf(const QString& key) const { return index_.value(key, -1); }
  bool contains(const QString& key) const { return index_.contains(key); }

  /** Lets a window follow the tree as it grows; one listener at a time. */
  void setListener(Listener listener) { listener_ = std::move(listener); }

 private:
  bool add(int parent, const QString& key, const QString& text, int image);

  std::vector<TreeNode> nodes_;
  QHash<QString, int> index_;
  Listener listener_;
};
