#include <QListWidget>
#include <QScrollBar>
#include <QTreeWidget>

#include "listing/gui_listing_look.h"
#include "listing/renderer.h"
#include "listing_window_fixture.h"
#include "platform/gui_image_list.h"

using namespace Qt::StringLiterals;

namespace {

// The tree and the text list of the window must look and scroll exactly as the plain Qt views
// they replace would with the same items: each case builds the plain view beside them.
class LargeViewsTest : public ListingWindowTest {
 protected:
  QTreeWidget* tree() { return control<QTreeWidget>(u"tv"_s); }
  QListWidget* list() { return control<QListWidget>(u"List1"_s); }

  // Three directories of 40 files under one root: more rows than the pane shows.
  void addNodes() {
    NodeTree& nodes = report_->model().tree;
    nodes.addRoot(u"/m"_s, u"/m/"_s, kImageDirectory);
    for (int d = 0; d < 3; ++d) {
      const QString dir = u"/m/d%1"_s.arg(d);
      nodes.addChild(u"/m"_s, dir, dir.mid(3), kImageDirectory);
      for (int f = 0; f < 40; ++f) {
        nodes.addChild(dir, u"%1/%2.mp3"_s.arg(dir).arg(f), u"%1.mp3"_s.arg(f), kImageMp3);
      }
    }
  }

  // A plain list of the same font and size holding texts, shown so that it lays them out.
  void expectLaidOutAsAPlainList(const QStringList& texts) {
    QListWidget plain;
    plain.setFont(list()->font());
    plain.resize(list()->size());
    plain.addItems(texts);
    plain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
    ASSERT_EQ(list()->count(), plain.count());
    for (int row = 0; row < plain.count(); ++row) {
      EXPECT_EQ(list()->visualItemRect(list()->item(row)), plain.visualItemRect(plain.item(row)))
          << row;
    }
    EXPECT_EQ(list()->horizontalScrollBar()->maximum(), plain.horizontalScrollBar()->maximum());
    EXPECT_EQ(list()->verticalScrollBar()->maximum(), plain.verticalScrollBar()->maximum());
  }

  void show(const QStringList& texts) {
    std::vector<RenderedEntry> entries;
    for (const QString& text : texts) {
      entries.push_back({text, {}});
    }
    report_->showEntries(std::move(entries));
  }
};

TEST_F(LargeViewsTest, ChoosingANodeSelectsItOpensItsParentsAndScrollsAsAPlainTree) {
  addNodes();
  QCoreApplication::processEvents();
  ASSERT_TRUE(report_->selectNode(u"/m/d2/35.mp3"_s));
  QCoreApplication::processEvents();
  QTreeWidgetItem* chosen = tree()->currentItem();
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->text(0), u"35.mp3"_s);
  EXPECT_TRUE(chosen->isSelected());
  EXPECT_TRUE(chosen->parent()->isExpanded());
  EXPECT_TRUE(chosen->parent()->parent()->isExpanded());
  EXPECT_TRUE(tree()->viewport()->rect().contains(tree()->visualItemRect(chosen)));
  EXPECT_FALSE(report_->selectNode(u"/m/d2/99.mp3"_s));
  EXPECT_EQ(tree()->currentItem(), chosen);

  QTreeWidget plain;
  plain.setHeaderHidden(true);
  plain.setFont(tree()->font());
  plain.resize(tree()->size());
  auto* root = new QTreeWidgetItem(&plain, {u"/m/"_s});
  root->setIcon(0, imageListIcon(kImageDirectory));
  QTreeWidgetItem* plainChosen = nullptr;
  for (int d = 0; d < 3; ++d) {
    auto* dir = new QTreeWidgetItem(root, {u"d%1"_s.arg(d)});
    dir->setIcon(0, imageListIcon(kImageDirectory));
    for (int f = 0; f < 40; ++f) {
      auto* file = new QTreeWidgetItem(dir, {u"%1.mp3"_s.arg(f)});
      file->setIcon(0, imageListIcon(kImageMp3));
      plainChosen = file->text(0) == u"35.mp3"_s ? file : plainChosen;
    }
  }
  plain.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
  plain.setCurrentItem(plainChosen);
  plain.scrollToItem(plainChosen);
  QCoreApplication::processEvents();
  EXPECT_EQ(tree()->verticalScrollBar()->value(), plain.verticalScrollBar()->value());
  EXPECT_EQ(tree()->visualItemRect(chosen), plain.visualItemRect(plainChosen));
}

TEST_F(LargeViewsTest, OneLineEntriesAreLaidOutAsAPlainListWhereverTheWidestIs) {
  // The widest is neither first nor last, wider than the pane, and kerning makes the longest
  // text not the widest.
  const QStringList texts{u"D-1 /música"_s,
                          u"F-1 Uno"_s,
                          u"F-2 "_s + QString(60, u'W') + u" ñandú"_s,
                          u"F-3 "_s + QString(70, u'i') + u"AVAVAVAVAVAV"_s,
                          u"  "_s,
                          u"F-4 Tres"_s};
  show(texts);
  EXPECT_EQ(report_->entries(), texts);
  expectLaidOutAsAPlainList(texts);
  EXPECT_GT(list()->horizontalScrollBar()->maximum(), 0);
}

TEST_F(LargeViewsTest, EntriesOfOtherHeightsOrScriptsAreLaidOutAsAPlainList) {
  const QStringList mixed{u"D-1 /música"_s, u"F-1\tUno\r\nDos"_s, u"F-2 東京の歌"_s, QString(),
                          u"F-3 Ünïcödé"_s};
  show(mixed);
  expectLaidOutAsAPlainList(mixed);
  // A refill starts over: plain lines again share one row size.
  const QStringList plainLines{u"D-1 /a"_s, u"F-1 una pista bastante más larga"_s, u"  "_s};
  show(plainLines);
  expectLaidOutAsAPlainList(plainLines);
}

TEST_F(LargeViewsTest, RefrescaShowsEveryRenderedEntryOfTheListingAsAPlainList) {
  addNodes();
  ListingModel& model = report_->model();
  model.Directorios[1] = {u"/música/Ópera"_s, 1, 2};
  model.Canciones[1].filename = u"01 Obertura.mp3"_s;
  model.Canciones[2].filename = u"02 Aria muy larga de la soprano.mp3"_s;
  model.DirActualNum = 1;
  clickToolbar(u"refresca"_s);
  QStringList rendered;
  for (const RenderedEntry& entry : renderListing(model, report_->designs())) {
    rendered.append(entry.text);
  }
  ASSERT_EQ(rendered.size(), 4);
  EXPECT_EQ(report_->entries(), rendered);
  expectLaidOutAsAPlainList(rendered);
}

}  // namespace
