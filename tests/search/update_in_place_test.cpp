#include <QFile>
#include <QSqlQuery>

#include "db/listing_store.h"
#include "db/listing_update.h"
#include "scan/scan_driver.h"
#include "search/search_index.h"
#include "search_catalogue_fixture.h"
#include "support/audio_fixtures.h"
#include "support/fixtures.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

class UpdateInPlaceTest : public SearchCatalogueTest {
 protected:
  // MP3 files by lame, each title a word of its own ("bx2" for b/2.mp3) and the word every
  // title has, the artist its directory; each file a little longer than the one made before it,
  // so that its technical fields are its own.
  void write(const QStringList& files, const QString& extra = {}) {
    std::vector<AudioFixture> fixtures;
    for (const QString& file : files) {
      fixtures.push_back(
          {root_ + u'/' + file,
           4410 * ++written_,
           44100,
           1,
           {{u"title"_s, u"todas "_s + wordOf(file) + extra}, {u"artist"_s, file.left(1)}}});
    }
    makeAudioFiles(fixtures);
  }
  static QString wordOf(QString file) { return file.remove(u".mp3"_s).replace(u'/', u'x'); }

  // Stored with the ID3v2 tags and the technical fields, and indexed.
  int store() {
    ListingModel model;
    RunDirectoryScan(model, WalkPath::fromText(root_), {},
                     {.source = TagSource::Id3v2, .properties = true});
    const StoreResult result = Save2bd(model);
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    indexStoredListing();
    return result.rp_id;
  }

  // What a listing's files are stored as, but its number.
  QStringList files(int rpId) {
    QSqlQuery query(outside_);
    EXPECT_TRUE(query.exec(
        u"SELECT filename, fileorder, filegenorder, title, (SELECT bytes FROM infotecnica t WHERE "
        u"t.rp_id = i.rp_id AND t.filegenorder = i.filegenorder) FROM infoMP3 i WHERE rp_id = %1 "
        u"ORDER BY filegenorder"_s.arg(rpId)));
    QStringList rows;
    while (query.next()) {
      QStringList row;
      for (int column = 0; column < 5; ++column) {
        row.append(query.value(column).toString());
      }
      rows.append(row.join(u'|'));
    }
    return rows;
  }

  // What the statistics keep of a listing, but its number.
  QStringList totals(int rpId) {
    QStringList rows;
    for (const QString& sql :
         {u"SELECT artist, album, files, without_title, without_tag FROM stats_pairs"_s,
          u"SELECT field, value, files, 0, 0 FROM stats_values"_s,
          u"SELECT directories, 0, 0, 0, 0 FROM stats_listings"_s}) {
      QSqlQuery query(outside_);
      EXPECT_TRUE(query.exec(sql + u" WHERE rp_id = "_s + QString::number(rpId)));
      while (query.next()) {
        QStringList row;
        for (int column = 0; column < 5; ++column) {
          row.append(query.value(column).toString());
        }
        rows.append(row.join(u'|'));
      }
    }
    rows.sort();
    return rows;
  }

  const QString root_ = TestEnvironment::newTempDir() + u"/Musica"_s;
  int written_ = 0;
};

}  // namespace

// Files added before kept ones and removed before others move runs of kept rows up and down by
// different steps, each run next to the other (and their place in their directory); a row no
// directory holds, left by another program, goes: the rows and technical fields are a fresh
// store's, so are the statistics' totals, and every search finds what a reading of every row
// finds.
TEST_P(UpdateInPlaceTest, KeptRowsMoveAndTheIndexFollowsWhatCameAndWent) {
  const QStringList before{u"a/1.mp3"_s, u"a/2.mp3"_s, u"b/1.mp3"_s, u"b/2.mp3"_s,
                           u"c/1.mp3"_s, u"c/2.mp3"_s, u"c/3.mp3"_s, u"d/1.mp3"_s,
                           u"d/2.mp3"_s, u"d/3.mp3"_s, u"e/1.mp3"_s, u"f/1.mp3"_s};
  write(before);
  const int number = store();
  plainSql(
      {u"INSERT INTO infoMP3 (rp_id, filename, fileorder, filegenorder) VALUES (%1, "
       u"'suelto.mp3', 1, 99)"_s.arg(number)});
  // a/1-2 move up by 1, b/1-2 by 2; d/2-3 down by 2, e/1 by 1; f/1 is read again; g/1 comes
  // with an artist of its own, and c goes with its own.
  write({u"a/0.mp3"_s, u"b/0.mp3"_s, u"e/0.mp3"_s, u"g/1.mp3"_s});
  for (const QString& file : {u"c/1.mp3"_s, u"c/2.mp3"_s, u"c/3.mp3"_s, u"d/1.mp3"_s}) {
    ASSERT_TRUE(QFile::remove(root_ + u'/' + file));
  }
  write({u"f/1.mp3"_s}, u" otro"_s);
  touchLater(root_ + u"/f/1.mp3"_s);

  QString error;
  std::optional<UpdatePlan> plan = planUpdate({number, {}, false, false}, {}, error);
  ASSERT_TRUE(plan) << error.toStdString();
  ASSERT_TRUE(plan->inPlace);
  ASSERT_EQ(applyUpdate(*plan), QString());
  indexStoredListing();

  QStringList texts{u"todas"_s, u"otro"_s, u"ax0"_s, u"bx0"_s, u"ex0"_s, u"gx1"_s};
  for (const QString& file : before) {
    texts.append(wordOf(file));
  }
  for (const QString& text : texts) {
    const SearchRequest request{text};
    EXPECT_EQ(keysOf(searchCatalogue(request).files), bruteForce(request)) << text.toStdString();
  }
  EXPECT_EQ(searchCatalogue({u"todas"_s}).files.size(), 12U);
  if (!onServer()) {
    // Nothing of a file that went is left in the file's index.
    QSqlQuery indexed(outside_);
    ASSERT_TRUE(indexed.exec(u"SELECT count(*) FROM search_files WHERE rp_id = %1"_s.arg(number)));
    ASSERT_TRUE(indexed.next());
    EXPECT_EQ(indexed.value(0).toInt(), 12);
  }
  const int fresh = store();
  EXPECT_EQ(files(number), files(fresh));
  EXPECT_EQ(totals(number), totals(fresh));
  // What another program changes afterwards is still followed.
  plainSql({u"UPDATE infoMP3 SET title = 'cambiado' WHERE rp_id = %1 AND filegenorder = 1"_s.arg(
      number)});
  EXPECT_EQ(searchCatalogue({u"cambiado"_s}).files.size(), 1U);
}

INSTANTIATE_ON_BOTH_ENGINES(UpdateInPlaceTest);
