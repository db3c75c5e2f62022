#include "db/listing_load.h"

#include <tuple>

#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "listing/renderer.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

QStringList treeLines(const NodeTree& tree) {
  QStringList lines;
  for (const TreeNode& node : tree.nodes()) {
    const QString parent = node.parent < 0 ? QString() : tree.nodes()[node.parent].key;
    lines.append(u"%1 <%2> %3 %4"_s.arg(parent, node.key, node.text).arg(node.image));
  }
  return lines;
}

QStringList texts(const SongRecord& s) {
  return {s.album, s.artist, s.comment, s.genre, s.title, s.track, s.year, s.filename, s.fileorder};
}

}  // namespace

class ListingLoadTest : public EngineBdTest {
 protected:
  int store(const ListingModel& model) {
    const StoreResult result = Save2bd(model);
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    return result.rp_id;
  }
  ListingModel loaded_;
};
INSTANTIATE_ON_BOTH_ENGINES(ListingLoadTest);

TEST_P(ListingLoadTest, LoadsRecordsTreeAndTitleBackAndLogsTwoLines) {
  const int id = store(*makeListing(u"MUSICA_01"_s, kMedioCd, {2, 1, 4}));
  LogRecorder log;
  const LoadResult result = Load4bd(id, loaded_);
  ASSERT_TRUE(result.found);
  EXPECT_EQ(result.title, u"[CD] MUSICA_01"_s);
  EXPECT_EQ(log.lines, QStringList({u"Abierto desde bd, el listado: MUSICA_01"_s,
                                    u"con 3 directorios y 7 archivos MP3"_s}));
  EXPECT_EQ(loaded_.NumDirectoriosMP3, 3);
  EXPECT_EQ(loaded_.DirActualNum, 3);
  EXPECT_EQ(loaded_.NumCancionesMP3, 7);
  EXPECT_EQ(loaded_.CancionActualNum, 7);
  EXPECT_TRUE(loaded_.FinalName.isEmpty());

  const auto expected = makeListing(u"MUSICA_01"_s, kMedioCd, {2, 1, 4});
  for (int d = 1; d <= 3; ++d) {
    EXPECT_EQ(loaded_.Directorios[d].dirname, expected->Directorios[d].dirname);
    EXPECT_EQ(loaded_.Directorios[d].songfrom, expected->Directorios[d].songfrom);
    EXPECT_EQ(loaded_.Directorios[d].songto, expected->Directorios[d].songto);
  }
  for (int f = 1; f <= 7; ++f) {
    EXPECT_EQ(texts(loaded_.Canciones[f]), texts(expected->Canciones[f]));
  }
  const QStringList tree = treeLines(loaded_.tree);
  ASSERT_EQ(tree.size(), 1 + 3 + 7);
  EXPECT_EQ(tree[0], u" <[DIR]MUSICA_01> MUSICA_01 1"_s);
  EXPECT_EQ(tree[1], u"[DIR]MUSICA_01 </music/dir1> /music/dir1 3"_s);
  EXPECT_EQ(tree[2], u"/music/dir1 </music/dir1/1-1.mp3> 1-1.mp3 5"_s);
  EXPECT_EQ(tree[10], u"/music/dir3 </music/dir3/3-4.mp3> 3-4.mp3 5"_s);
}

// A load without a tree gives the same title, records and log lines, and no node.
TEST_P(ListingLoadTest, ALoadWithoutATreeGivesTheSameListingAndNoNode) {
  const int id = store(*makeListing(u"MUSICA_01"_s, kMedioDirectorio, {2, 1}));
  const auto load = [id](ListingModel& model, TreeNodes tree) {
    LogRecorder log;
    const LoadResult result = Load4bd(id, model, tree);
    QStringList files;
    for (int f = 1; f <= model.NumCancionesMP3; ++f) {
      files.append(texts(model.Canciones[f]));
    }
    return std::tuple{result.title, model.Directorios[2].songfrom, files, log.lines};
  };
  ListingModel withoutTree;
  EXPECT_EQ(load(withoutTree, TreeNodes::Skip), load(loaded_, TreeNodes::Build));
  EXPECT_TRUE(withoutTree.tree.nodes().empty());
  EXPECT_EQ(loaded_.tree.nodes().size(), 1u + 2u + 3u);
}

TEST_P(ListingLoadTest, MetacharactersSurviveAndOnlyFileNamesGetTheirApostrophesBack) {
  const QString name = u"'); DROP TABLE reports; --"_s;
  auto model = makeListing(name, kMedioDirectorio, {2, 1});
  model->Directorios[1].dirname = u"/m/100% \\ \"q\" it's"_s;
  model->Canciones[1] = {u"%_"_s, u"O'Brien"_s, u"a\\b"_s,     u"\"quoted\""_s, u"Don't"_s,
                         u"1"_s,  u"%1"_s,      u"It's.mp3"_s, u"1"_s};
  model->Canciones[3].filename = u"1-1.mp3"_s;  // the same name as in the first directory
  const int id = store(*model);
  const LoadResult result = Load4bd(id, loaded_);
  ASSERT_TRUE(result.found);
  EXPECT_EQ(result.title, u"[DIR] ´); DROP TABLE reports; --"_s);
  EXPECT_EQ(texts(loaded_.Canciones[1]),
            QStringList({u"%_"_s, u"O´Brien"_s, u"a\\b"_s, u"\"quoted\""_s, u"Don´t"_s, u"1"_s,
                         u"%1"_s, u"It's.mp3"_s, u"1"_s}));
  const QString dir = u"/m/100% \\ \"q\" it´s"_s;
  EXPECT_EQ(loaded_.Directorios[1].dirname, dir);
  EXPECT_TRUE(loaded_.tree.contains(dir + u"/It's.mp3"_s));
  EXPECT_TRUE(loaded_.tree.contains(dir + u"/1-2.mp3"_s));
  EXPECT_TRUE(loaded_.tree.contains(u"/music/dir2/1-1.mp3"_s));
  EXPECT_EQ(rows(u"select count(*) from reports"_s), QStringList({u"1"_s}));
}

TEST_P(ListingLoadTest, MissingListingIsLoggedAndReportedAsNotFound) {
  LogRecorder log;
  const LoadResult result = Load4bd(42, loaded_);
  EXPECT_FALSE(result.found);
  EXPECT_EQ(log.lines, QStringList({u"El listado número 42 ya no existe en la BD"_s}));
  EXPECT_TRUE(loaded_.tree.nodes().empty());
  EXPECT_EQ(BdRecordset().State(), kStateClosed);
}

TEST_P(ListingLoadTest, AStoredListingPastTheClassicLimitsLoadsWhole) {
  {
    ScopedTransaction transaction(BdConnection());
    ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (1,'big',1,'big')"_s));
    for (int d = 1; d <= kMaxDirectorios + 1; ++d) {
      ASSERT_TRUE(BdConnection().Execute(
          u"INSERT INTO estructdir VALUES (1,'/d%1',%2,%3)"_s.arg(d).arg(2 * d - 1).arg(2 * d)));
      for (int f = 2 * d - 1; f <= 2 * d; ++f) {
        ASSERT_TRUE(BdConnection().Execute(
            u"INSERT INTO infoMP3 VALUES (1,'','','','','','','','%1.mp3',1,%1)"_s.arg(f)));
      }
    }
    ASSERT_TRUE(transaction.Commit());
  }
  LogRecorder log;
  ASSERT_TRUE(Load4bd(1, loaded_).found);
  EXPECT_EQ(loaded_.NumDirectoriosMP3, kMaxDirectorios + 1);
  EXPECT_EQ(loaded_.NumCancionesMP3, kMaxCanciones + 2);
  EXPECT_EQ(loaded_.Directorios[kMaxDirectorios + 1].songto, kMaxCanciones + 2);
  EXPECT_EQ(loaded_.Canciones[kMaxCanciones + 2].filename, u"1002.mp3"_s);
  EXPECT_EQ(log.lines.size(), 2);
  EXPECT_EQ(log.lines.last(), u"con 501 directorios y 1002 archivos MP3"_s);
}

// Every number of a listing this size is past what 16 bits hold: a narrow read of songfrom,
// songto or filegenorder anywhere on the way would wrap.
TEST_P(ListingLoadTest, AListingPast32767FilesIsStoredLoadedAndShownBackWhole) {
  const auto model = makeListing(u"/big"_s, kMedioDirectorio, std::vector<int>(3300, 10));
  const int id = store(*model);
  ASSERT_TRUE(Load4bd(id, loaded_).found);
  ASSERT_EQ(loaded_.NumDirectoriosMP3, 3300);
  ASSERT_EQ(loaded_.NumCancionesMP3, 33000);
  EXPECT_EQ(loaded_.Directorios[3300].songfrom, 32991);
  EXPECT_EQ(loaded_.Directorios[3300].songto, 33000);
  EXPECT_EQ(texts(loaded_.Canciones[33000]), texts(model->Canciones[33000]));
  EXPECT_TRUE(loaded_.tree.contains(fileNodeKey(u"/music/dir3300"_s, u"3300-10.mp3"_s)));

  const LineDesigns designs{u"{#D} {TD}"_s, u"{#F} {OF} {TF} {3Tit}"_s};
  const std::vector<RenderedEntry> shown = renderListing(loaded_, designs);
  const std::vector<RenderedEntry> scanned = renderListing(*model, designs);
  ASSERT_EQ(shown.size(), scanned.size());
  for (std::size_t entry = 0; entry < shown.size(); ++entry) {
    ASSERT_EQ(shown[entry].text, scanned[entry].text) << entry;
  }
  EXPECT_EQ(shown[shown.size() - 2].text, u"F-33000 10 3300-10 title33000"_s);
}

TEST_P(ListingLoadTest, HostileRowsRenderEachLoadedFileOnceUnderItsOwnDirectory) {
  const QString huge = u"{3Tit}"_s.repeated(200000);
  {
    ScopedTransaction transaction(BdConnection());
    ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (1,'h',2,'h')"_s));
    // Backwards, spanning every number, overlapping, and beyond what 16 bits hold.
    for (const QString& row : {u"'/back',5,2"_s, u"'/all',-32768,32767"_s, u"'/again',1,3"_s,
                               u"'/beyond',70000,80000"_s}) {
      ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO estructdir VALUES (1,%1)"_s.arg(row)));
    }
    for (int f = 1; f <= 3; ++f) {
      ASSERT_TRUE(BdConnection().Execute(
          u"INSERT INTO infoMP3 VALUES (1,'','','','','%1','','','%2.mp3',1,%2)"_s.arg(huge).arg(
              f)));
    }
    ASSERT_TRUE(transaction.Commit());
  }
  ASSERT_TRUE(Load4bd(1, loaded_).found);
  ASSERT_EQ(loaded_.NumDirectoriosMP3, 4);
  // "/all" and "/again" both select the three rows.
  EXPECT_EQ(loaded_.NumCancionesMP3, 6);
  const std::vector<RenderedEntry> entries = renderListing(loaded_, {u"{TD}"_s, u"{TF}{3Tit}"_s});
  QStringList starts;
  for (const RenderedEntry& entry : entries) {
    EXPECT_LE(entry.text.size(), 2 + 16384);
    starts.append(entry.text.left(4));
  }
  EXPECT_EQ(starts,
            (QStringList{u"D-/a"_s, u"F-1{"_s, u"F-2{"_s, u"F-3{"_s, u"  "_s, u"D-/a"_s, u"F-1{"_s,
                         u"F-2{"_s, u"F-3{"_s, u"  "_s, u"D-/b"_s, u"  "_s, u"D-/b"_s, u"  "_s}));
}
