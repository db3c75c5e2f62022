#include <QFile>
#include <QSqlQuery>

#include "db/listing_store.h"
#include "db/listing_update.h"
#include "scan/scan_driver.h"
#include "search/search_index.h"
#include "search_catalogue_fixture.h"
#include "support/fixtures.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

class UpdateInPlaceTest : public SearchCatalogueTest {
 protected:
  // Each file's title is a word of its own ("bx2" for b/2.mp3) and the word every title has.
  void write(const QString& file, const QByteArray& extra = {}) {
    writeMp3Titled(root_ + u'/' + file, "todas " + wordOf(file).toUtf8() + extra);
  }
  static QString wordOf(QString file) { return file.remove(u".mp3"_s).replace(u'/', u'x'); }

  int store() {
    ListingModel model;
    RunDirectoryScan(model, WalkPath::fromText(root_));
    const StoreResult result = Save2bd(model);
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    indexStoredListing();
    return result.rp_id;
  }

  // What a listing's files are stored as, but its number.
  QStringList files(int rpId) {
    QSqlQuery query(outside_);
    EXPECT_TRUE(query.exec(
        u"SELECT filename, fileorder, filegenorder, title FROM infoMP3 WHERE rp_id = %1 ORDER "
        u"BY filegenorder"_s.arg(rpId)));
    QStringList rows;
    while (query.next()) {
      rows.append(QStringList{query.value(0).toString(), query.value(1).toString(),
                              query.value(2).toString(), query.value(3).toString()}
                      .join(u'|'));
    }
    return rows;
  }

  const QString root_ = TestEnvironment::newTempDir() + u"/Musica"_s;
};

}  // namespace

// Files added before kept ones and removed before others move runs of kept rows up and down by
// different steps, each run next to the other (and their place in their directory): the rows
// are a fresh store's, and every search finds what a reading of every row finds.
TEST_P(UpdateInPlaceTest, KeptRowsMoveAndTheIndexFollowsWhatCameAndWent) {
  const QStringList before{u"a/1.mp3"_s, u"a/2.mp3"_s, u"b/1.mp3"_s, u"b/2.mp3"_s,
                           u"c/1.mp3"_s, u"c/2.mp3"_s, u"c/3.mp3"_s, u"d/1.mp3"_s,
                           u"d/2.mp3"_s, u"d/3.mp3"_s, u"e/1.mp3"_s, u"f/1.mp3"_s};
  for (const QString& file : before) {
    write(file);
  }
  const int number = store();
  // a/1-2 move up by 1, b/1-2 by 2; d/2-3 down by 2, e/1 by 1; f/1 is read again.
  for (const QString& file : {u"a/0.mp3"_s, u"b/0.mp3"_s, u"e/0.mp3"_s}) {
    write(file);
  }
  for (const QString& file : {u"c/1.mp3"_s, u"c/2.mp3"_s, u"c/3.mp3"_s, u"d/1.mp3"_s}) {
    ASSERT_TRUE(QFile::remove(root_ + u'/' + file));
  }
  write(u"f/1.mp3"_s, " otro");
  touchLater(root_ + u"/f/1.mp3"_s);

  QString error;
  std::optional<UpdatePlan> plan = planUpdate({number, {}, false, false}, {}, error);
  ASSERT_TRUE(plan) << error.toStdString();
  ASSERT_TRUE(plan->inPlace);
  ASSERT_EQ(applyUpdate(*plan), QString());
  indexStoredListing();

  QStringList texts{u"todas"_s, u"otro"_s, u"ax0"_s, u"bx0"_s, u"ex0"_s};
  for (const QString& file : before) {
    texts.append(wordOf(file));
  }
  for (const QString& text : texts) {
    const SearchRequest request{text};
    EXPECT_EQ(keysOf(searchCatalogue(request).files), bruteForce(request)) << text.toStdString();
  }
  EXPECT_EQ(searchCatalogue({u"todas"_s}).files.size(), 11U);
  EXPECT_EQ(files(number), files(store()));
}

INSTANTIATE_ON_BOTH_ENGINES(UpdateInPlaceTest);
