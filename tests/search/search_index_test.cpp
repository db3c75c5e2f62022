#include <QFile>
#include <QProcess>

#include "base/log.h"
#include "db/mod_bd.h"
#include "search/catalogue_search.h"
#include "search/search_index.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

// A database as the program wrote it before the search index existed, made by the sqlite3 tool.
void writeOlderDatabase(const QString& path) {
  QProcess sqlite;
  sqlite.start(u"sqlite3"_s,
               {u"-bail"_s, path,
                u".read "_s + QStringLiteral(QUILLET_SOURCE_DIR) + u"/resources/schema.sql"_s,
                u"INSERT INTO reports VALUES (4, 'Viejo', 1, 'Viejo')"_s,
                u"INSERT INTO estructdir VALUES (4, '/cd/Canción', 1, 2)"_s,
                u"INSERT INTO infoMP3 VALUES (4, 'Álbum', 'Artista', '', 'Pop', 'Uno', '1', "
                u"'2000', 'uno.mp3', 1, 1)"_s,
                u"INSERT INTO infoMP3 VALUES (4, 'Álbum', 'Artista', '', 'Pop', 'Uno', '2', "
                u"'2000', 'dos.mp3', 2, 2)"_s});
  ASSERT_TRUE(sqlite.waitForFinished(30000));
  ASSERT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().toStdString();
}

class OlderDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString dir = installProgramFiles();
    writeOlderDatabase(dir + u"/quillet.mdb"_s);
    ASSERT_EQ(OpenBd(), QString());
  }
  void TearDown() override { CloseBd(); }
};

}  // namespace

TEST(SearchIndexTemplate, TheBlankTemplateCarriesTheIndexAndItsVersion) {
  const QString blank = QStringLiteral(QUILLET_BIN_DIR) + u"/bd-acces2k.blank"_s;
  // 3 once the technical fields' table came, with its one trigger beside the index's nine; the
  // statistics' totals, the mark of incomplete listings, the source identity, the user's fields
  // of each listing and the update history add one each and leave the version as it was.
  EXPECT_EQ(queryRows(blank, u"PRAGMA user_version"_s), QStringList{u"3"_s});
  EXPECT_EQ(queryRows(blank, u"SELECT count(*) FROM sqlite_master WHERE type = 'trigger'"_s),
            QStringList{u"15"_s});
}

TEST_F(OlderDatabaseTest, IsIndexedOnceInOneStepThatTheLogNames) {
  EXPECT_FALSE(hasSearchIndex());
  LogRecorder log;
  int reported = 0;
  ASSERT_EQ(createSearchIndex([&](const StoreProgress& step) {
              EXPECT_EQ(step.stepMaximum, 1);
              ++reported;
            }),
            QString());
  EXPECT_EQ(reported, 1);
  ASSERT_EQ(log.lines.size(), 1);
  EXPECT_TRUE(log.lines[0].startsWith(u"Creado el índice de búsqueda de la BD: 2 archivos en "_s))
      << log.lines[0].toStdString();
  EXPECT_TRUE(hasSearchIndex());
  EXPECT_EQ(queryRows(BdPath(), u"PRAGMA user_version"_s), QStringList{u"2"_s});
  // The same objects as a blank database's, and the rows already found.
  const QString objects = u"SELECT type, name FROM sqlite_master ORDER BY name"_s;
  EXPECT_EQ(queryRows(BdPath(), objects),
            queryRows(QStringLiteral(QUILLET_BIN_DIR) + u"/bd-acces2k.blank"_s, objects));
  const SearchResult found = searchCatalogue({u"cancion"_s, SearchField::Directorio});
  EXPECT_EQ(found.files.size(), 2U);
  EXPECT_EQ(findDuplicates(SearchMedium::Todos).groups.size(), 1U);
}

TEST_F(OlderDatabaseTest, TheFirstSearchIndexesItWhenNothingElseDid) {
  const SearchResult found = searchCatalogue({u"dos"_s});
  ASSERT_EQ(found.error, QString());
  EXPECT_EQ(found.files.size(), 1U);
  EXPECT_TRUE(hasSearchIndex());
}

TEST(SearchIndexVersion, AnOlderIndexIsMadeAgainWholeOnFirstUse) {
  // The first version's index: a trigger that looked its listing up before noting it, an index
  // on the notes, and nothing indexed of the listing written since.
  const QString dir = installProgramFiles();
  const QString blank = QStringLiteral(QUILLET_BIN_DIR) + u"/bd-acces2k.blank"_s;
  ASSERT_TRUE(QFile::copy(blank, dir + u"/quillet.mdb"_s));
  QProcess sqlite;
  sqlite.start(u"sqlite3"_s,
               {u"-bail"_s, dir + u"/quillet.mdb"_s, u"DROP TRIGGER search_file_added"_s,
                u"CREATE TRIGGER search_file_added AFTER INSERT ON infoMP3 BEGIN INSERT INTO "
                u"search_pending SELECT new.rp_id WHERE NOT EXISTS (SELECT 1 FROM "
                u"search_pending WHERE rp_id = new.rp_id); END"_s,
                u"CREATE INDEX search_pending_listing ON search_pending (rp_id)"_s,
                u"PRAGMA user_version = 1"_s, u"INSERT INTO reports VALUES (3, 'Viejo', 1, 'x')"_s,
                u"INSERT INTO infoMP3 (rp_id, title, filegenorder) VALUES (3, 'Éxito', 1)"_s,
                u"DELETE FROM search_pending"_s});
  ASSERT_TRUE(sqlite.waitForFinished(30000));
  ASSERT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().toStdString();
  ASSERT_EQ(OpenBd(), QString());
  EXPECT_FALSE(hasSearchIndex());
  EXPECT_EQ(searchCatalogue({u"exito"_s}).files.size(), 1U);
  const QString objects = u"SELECT type, name, sql FROM sqlite_master ORDER BY name"_s;
  EXPECT_EQ(queryRows(BdPath(), objects), queryRows(blank, objects));
  EXPECT_EQ(queryRows(BdPath(), u"PRAGMA user_version"_s), QStringList{u"2"_s});
  CloseBd();
}

TEST_F(OlderDatabaseTest, AFailedIndexingLeavesTheDatabaseAsItWas) {
  // A table of the index's name taken already: creating the index fails half-way.
  ASSERT_TRUE(BdConnection().Execute(u"CREATE TABLE search_files (other)"_s));
  LogRecorder log;
  EXPECT_NE(createSearchIndex(), QString());
  ASSERT_EQ(log.lines.size(), 1);
  EXPECT_TRUE(log.lines[0].startsWith(u"No se ha podido crear el índice"_s));
  EXPECT_EQ(queryRows(BdPath(),
                      u"SELECT count(*) FROM sqlite_master WHERE name LIKE "
                      u"'search%' AND name <> 'search_files'"_s),
            QStringList{u"0"_s});
  EXPECT_EQ(queryRows(BdPath(), u"PRAGMA user_version"_s), QStringList{u"0"_s});
  EXPECT_NE(searchCatalogue({u"uno"_s}).error, QString());
}
