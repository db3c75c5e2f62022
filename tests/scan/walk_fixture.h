#pragma once

#include <QStringList>

#include <memory>
#include <utility>

#include "scan/scan_driver.h"
#include "support/fixtures.h"
#include "support/test_env.h"

// A directory scan of a tree that each test builds under root.
class WalkTest : public testing::Test {
 protected:
  QString root = TestEnvironment::newTempDir() + QStringLiteral("/Music");
  std::unique_ptr<ListingModel> model = std::make_unique<ListingModel>();

  WalkStop scan(const WalkPump& pump = {}) {
    makeDirectory(root);
    return RunDirectoryScan(*model, WalkPath::fromText(root), pump);
  }

  QStringList filenames() const {
    QStringList names;
    for (int f = 1; f <= model->NumCancionesMP3; ++f) {
      names.append(model->Canciones[f].filename);
    }
    return names;
  }

  QStringList dirnames() const {
    QStringList names;
    for (int d = 1; d <= model->NumDirectoriosMP3; ++d) {
      names.append(model->Directorios[d].dirname);
    }
    return names;
  }

  // The text of a node and of its parent, or empty texts when the key is not in the tree.
  std::pair<QString, QString> nodeAndParent(const QString& key) const {
    const int index = model->tree.indexOf(key);
    if (index < 0) {
      return {};
    }
    const TreeNode& node = model->tree.nodes()[index];
    return {node.text, node.parent < 0 ? QString() : model->tree.nodes()[node.parent].key};
  }
};
