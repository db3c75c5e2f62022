#include <gtest/gtest.h>

#include "scan/node_tree.h"
#include "scan/table_room.h"

using namespace Qt::StringLiterals;

// A tree that outgrows a classic listing's room keeps every key at its place, and a key already
// in it is still refused and leaves the tree as it was.
TEST(NodeTree, AWholeCollectionsTreeFindsEveryKeyAndRefusesARepeatedOne) {
  NodeTree tree;
  ASSERT_TRUE(tree.addRoot(u"/"_s, u"/"_s, 3));
  const int count = static_cast<int>(kClassicRoom) * 3;
  for (int node = 1; node < count; ++node) {
    ASSERT_TRUE(tree.addChildOf(0, u"/%1"_s.arg(node), {}, 5)) << node;
  }
  for (const int node : {1, static_cast<int>(kClassicRoom), count - 1}) {
    EXPECT_EQ(tree.indexOf(u"/%1"_s.arg(node)), node);
    EXPECT_FALSE(tree.addChildOf(0, u"/%1"_s.arg(node), {}, 5));
  }
  EXPECT_EQ(tree.nodes().size(), static_cast<std::size_t>(count));
  EXPECT_EQ(tree.indexOf(u"/%1"_s.arg(count)), -1);
}
