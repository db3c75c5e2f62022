#include "db/listing_update.h"

#include <QDateTime>
#include <QFile>

#include "db/db_engine.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "db/update_history.h"
#include "scan/scan_driver.h"
#include "support/fixtures.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

// Files tagged with their own names; a file's time a minute ahead tells the update it changed.
void tagged(const QString& root, const QString& file, const QByteArray& title = {}) {
  writeMp3Titled(root + u'/' + file, title.isEmpty() ? file.toUtf8() : title);
}

QString threeFileTree() {
  const QString root = TestEnvironment::newTempDir() + u"/Musica"_s;
  for (const QString& file : {u"a/1.mp3"_s, u"a/2.mp3"_s, u"b/3.mp3"_s}) {
    tagged(root, file);
  }
  return root;
}

int stored(const QString& root) {
  ListingModel model;
  RunDirectoryScan(model, WalkPath::fromText(root));
  const StoreResult result = Save2bd(model);
  EXPECT_TRUE(result.ok()) << result.error.toStdString();
  return result.rp_id;
}

// One of each kind: c/4 added, a/2 removed, b/3 retagged.
void changeOneOfEach(const QString& root) {
  tagged(root, u"c/4.mp3"_s);
  ASSERT_TRUE(QFile::remove(root + u"/a/2.mp3"_s));
  tagged(root, u"b/3.mp3"_s, "otro título");
  touchLater(root + u"/b/3.mp3"_s);
}

class ListingUpdateTest : public EngineBdTest {
 protected:
  // Everything stored of a listing but its number.
  QStringList listingRows(int rpId) const {
    const QString n = QString::number(rpId);
    return rows(u"SELECT dirname, songfrom, songto FROM estructdir WHERE rp_id = "_s + n +
                u" ORDER BY songfrom"_s) +
           rows(
               u"SELECT album, artist, comment, genre, title, track, year, filename, fileorder, "
               u"filegenorder FROM infoMP3 WHERE rp_id = "_s +
               n + u" ORDER BY filegenorder"_s) +
           rows(u"SELECT filegenorder, bytes, modificado FROM origen_archivos WHERE rp_id = "_s +
                n + u" ORDER BY filegenorder"_s) +
           rows(u"SELECT tipo_fs, uuid, ruta, firma, opciones FROM origen WHERE rp_id = "_s + n);
  }

  std::optional<UpdatePlan> plan(int rpId, bool dryRun = false) {
    QString error;
    std::optional<UpdatePlan> planned = planUpdate({rpId, {}, false, dryRun}, {}, error);
    EXPECT_TRUE(planned) << error.toStdString();
    return planned;
  }
};

}  // namespace

TEST_P(ListingUpdateTest, EachKindOfChangeIsStoredAsAFreshScanWouldStoreIt) {
  const QString root = threeFileTree();
  const int number = stored(root);
  const QStringList name = rows(u"SELECT report_name FROM reports"_s);
  changeOneOfEach(root);
  const std::optional<UpdatePlan> planned = plan(number);
  ASSERT_TRUE(planned);
  EXPECT_EQ(planned->added, QStringList{u"/c/4.mp3"_s});
  EXPECT_EQ(planned->removed, QStringList{u"/a/2.mp3"_s});
  EXPECT_EQ(planned->changed, QStringList{u"/b/3.mp3"_s});
  EXPECT_EQ(planned->unchanged, 1);
  ASSERT_EQ(applyUpdate(*planned), QString());
  EXPECT_EQ(rows(u"SELECT report_name FROM reports"_s), name);
  const int fresh = stored(root);
  EXPECT_EQ(listingRows(number), listingRows(fresh));
  const std::vector<UpdateHistoryRow> history = readUpdateHistory(number);
  ASSERT_EQ(history.size(), 1U);
  EXPECT_EQ((std::vector{history[0].added, history[0].removed, history[0].changed}),
            (std::vector{1, 1, 1}));
}

TEST_P(ListingUpdateTest, AnUpdateOfAnUnchangedTreeKeepsTheRowsAndAddsItsHistory) {
  const int number = stored(threeFileTree());
  const QStringList before = listingRows(number);
  const std::optional<UpdatePlan> planned = plan(number);
  ASSERT_TRUE(planned);
  EXPECT_TRUE(planned->rowsUnchanged);
  ASSERT_EQ(applyUpdate(*planned), QString());
  EXPECT_EQ(listingRows(number), before);
  EXPECT_EQ(readUpdateHistory(number).size(), 1U);
}

TEST_P(ListingUpdateTest, AListingStoredBeforeSourcesWereKeptIsFoundByItsPathAndReadWhole) {
  const QString root = threeFileTree();
  const int number = stored(root);
  ASSERT_TRUE(BdConnection().Execute(u"DELETE FROM origen"_s));
  ASSERT_TRUE(BdConnection().Execute(u"DELETE FROM origen_archivos"_s));
  const std::optional<UpdatePlan> planned = plan(number);
  ASSERT_TRUE(planned);
  EXPECT_TRUE(planned->savedChoices);
  EXPECT_EQ(planned->changed.size(), 3);
  ASSERT_EQ(applyUpdate(*planned), QString());
  EXPECT_EQ(listingRows(number), listingRows(stored(root)));
}

// Names the listing keeps otherwise than the disk has them (apostrophes, a directory's trailing
// blank, a name that is not UTF-8, blanks around a name) are met again as the same files.
TEST_P(ListingUpdateTest, OddNamesAreMetAgainAsTheSameFiles) {
  const QString root = TestEnvironment::newTempDir() + u"/Musica"_s;
  const QString dir = root + u"/d'ir é "_s;
  makeDirectory(dir);
  const QByteArray tag = QByteArray(200, '\0') + id3v1Block({.title = "Uno"});
  const RawFile latin1(QFile::encodeName(dir) + "/caf\xe9.mp3", tag);
  const RawFile blanks(QFile::encodeName(root) + "/  blanks  .mp3", tag);
  tagged(dir, u"it's.mp3"_s);
  const int number = stored(root);
  std::optional<UpdatePlan> planned = plan(number);
  ASSERT_TRUE(planned);
  EXPECT_TRUE(planned->rowsUnchanged);
  EXPECT_EQ(planned->unchanged, 3);
  planned.reset();
  touchLater(dir + u"/it's.mp3"_s);
  planned = plan(number);
  ASSERT_TRUE(planned);
  EXPECT_EQ(planned->changed.size(), 1);
  EXPECT_EQ(planned->unchanged, 2);
  ASSERT_EQ(applyUpdate(*planned), QString());
  planned.reset();
  EXPECT_EQ(listingRows(number), listingRows(stored(root)));
}

TEST_P(ListingUpdateTest, AWalkStoppedHalfWayWritesNothingAndLetsTheNextUpdateRun) {
  const QString root = threeFileTree();
  const int number = stored(root);
  changeOneOfEach(root);
  const QStringList before = listingRows(number);
  int asked = 0;
  QString error;
  EXPECT_FALSE(planUpdate({number, {}, false, false}, {}, error, [&asked] { return ++asked < 2; }));
  EXPECT_EQ(error, updateCancelledText());
  EXPECT_EQ(listingRows(number), before);
  EXPECT_TRUE(plan(number));
}

TEST_P(ListingUpdateTest, ADryRunComparesAndChangesNothing) {
  const QString root = threeFileTree();
  const int number = stored(root);
  const QStringList before = listingRows(number);
  changeOneOfEach(root);
  const std::optional<UpdatePlan> planned = plan(number, true);
  ASSERT_TRUE(planned);
  EXPECT_EQ(planned->added.size() + planned->removed.size() + planned->changed.size(), 3);
  EXPECT_EQ(planned->model, nullptr);
  EXPECT_EQ(listingRows(number), before);
  EXPECT_TRUE(readUpdateHistory(number).empty());
}

TEST_P(ListingUpdateTest, ASecondUpdateOfTheListingIsRefusedWhileTheFirstRuns) {
  const int number = stored(threeFileTree());
  // The other program's hold, on a session of its own.
  DbConnection other;
  ASSERT_TRUE(other.Open(BdConnectionString()));
  std::unique_ptr<ListingHold> held = onServer()
                                          ? serverListingHold(other.driverConnection(), number)
                                          : fileListingHold(BdPath(), number);
  ASSERT_NE(held, nullptr);
  QString error;
  EXPECT_FALSE(planUpdate({number, {}, false, false}, {}, error));
  EXPECT_EQ(error, listingHeldText(number, rows(u"SELECT report_name FROM reports"_s).front()));
  held.reset();
  EXPECT_TRUE(planUpdate({number, {}, false, false}, {}, error)) << error.toStdString();
}

TEST_P(ListingUpdateTest, AFailureDuringTheApplyLeavesTheListingAsItWas) {
  const QString root = threeFileTree();
  const int number = stored(root);
  const QStringList before = listingRows(number);
  changeOneOfEach(root);
  const std::optional<UpdatePlan> planned = plan(number);
  ASSERT_TRUE(planned);
  // The history's row is written last, once every other row is: the disk fills up there.
  const QStringList fullDisk =
      onServer() ? QStringList{u"CREATE FUNCTION disco_lleno() RETURNS trigger AS $$ BEGIN RAISE "
                               u"EXCEPTION 'disco lleno'; END $$ LANGUAGE plpgsql"_s,
                               u"CREATE TRIGGER lleno BEFORE INSERT ON actualizaciones FOR EACH "
                               u"ROW EXECUTE FUNCTION disco_lleno()"_s}
                 : QStringList{u"CREATE TRIGGER lleno BEFORE INSERT ON actualizaciones BEGIN "
                               u"SELECT RAISE(ABORT, 'disco lleno'); END"_s};
  for (const QString& statement : fullDisk) {
    ASSERT_TRUE(BdConnection().Execute(statement)) << BdConnection().lastError().toStdString();
  }
  EXPECT_TRUE(applyUpdate(*planned).contains(u"disco lleno"_s));
  EXPECT_EQ(listingRows(number), before);
}

// An update's walk offers its files to the stored ones once the tree is walked: a walk cut at
// a classic limit offers those it listed, and the rows are those of a fresh scan to that limit.
TEST_P(ListingUpdateTest, AnUpdateCutAtTheClassicLimitTakesTheFilesItListed) {
  const QString root = TestEnvironment::newTempDir() + u"/Musica"_s;
  for (int file = 0; file <= kMaxCanciones; ++file) {
    tagged(root, u"d/%1.mp3"_s.arg(file, 4, 10, QChar(u'0')));
  }
  const int number = stored(root);
  tagged(root, u"d/0000.mp3"_s, "otro título");
  touchLater(root + u"/d/0000.mp3"_s);
  const std::optional<UpdatePlan> planned = plan(number);
  ASSERT_TRUE(planned);
  EXPECT_EQ(planned->changed, QStringList{u"/d/0000.mp3"_s});
  ASSERT_EQ(applyUpdate(*planned), QString());
  EXPECT_EQ(listingRows(number), listingRows(stored(root)));
}

INSTANTIATE_ON_BOTH_ENGINES(ListingUpdateTest);

TEST_F(BdTest, UpdateGuardTellsWhenMoreThanHalfTheFilesWouldBeAddedOrRemoved) {
  const QString root = threeFileTree();
  const int number = stored(root);
  QString error;
  ASSERT_TRUE(QFile::remove(root + u"/a/2.mp3"_s));
  EXPECT_FALSE(planUpdate({number, {}, false, true}, {}, error)->halfChanged());
  ASSERT_TRUE(QFile::remove(root + u"/b/3.mp3"_s));
  EXPECT_TRUE(planUpdate({number, {}, false, true}, {}, error)->halfChanged());
}

// The stored files are read on a connection of their own: a catalogue gone from its place since
// the program opened it is said, and its listing is not taken for an empty one.
TEST_F(BdTest, StoredFilesThatCannotBeReadStopTheUpdateWithTheReason) {
  const int number = stored(threeFileTree());
  const QString moved = BdPath() + u".movido"_s;
  ASSERT_TRUE(QFile::rename(BdPath(), moved));
  QString error;
  EXPECT_FALSE(planUpdate({number, {}, false, true}, {}, error));
  EXPECT_TRUE(error.startsWith(u"No se encuentra la BD"_s)) << error.toStdString();
  ASSERT_TRUE(QFile::rename(moved, BdPath()));
}
