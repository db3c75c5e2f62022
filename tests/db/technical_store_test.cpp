#include "db/technical_store.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "db/listing_load.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "db/stored_listings.h"
#include "listing/renderer.h"
#include "scan/scan_driver.h"
#include "search/catalogue_search.h"
#include "support/audio_fixtures.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

const LineDesigns kDesigns{u"{#D} {TD} {DNum} {DDur}"_s,
                           u"{#F} {TF} {3Tit} {3Dur} {3Kbp} {3Khz} {3Tam}"_s};

QStringList rendered(const ListingModel& model) {
  QStringList lines;
  for (const RenderedEntry& entry : renderListing(model, kDesigns)) {
    lines.append(entry.text);
  }
  return lines;
}

const QString kCountRows = u"SELECT count(*) FROM infotecnica"_s;

// Listings scanned from a real mixed tree, and stored.
class TechnicalListings {
 public:
  // A real scan of a mixed tree, made by the encoders, with the technical fields read.
  std::unique_ptr<ListingModel> scanMixedTree(bool properties) {
    const QString root = TestEnvironment::newTempDir() + u"/Mezcla"_s;
    makeAudioFiles({{root + u"/A/uno.flac"_s, 66150, 44100, 2, {{u"title"_s, u"Uno"_s}}},
                    {root + u"/A/dos.mp3"_s, 44100, 44100, 2, {{u"title"_s, u"Dos"_s}}},
                    {root + u"/B/tres.opus"_s, 24000, 48000, 1, {{u"title"_s, u"Tres"_s}}}});
    auto model = std::make_unique<ListingModel>();
    TagReading reading;
    reading.source = TagSource::Id3v2ThenId3v1;
    reading.files = AudioFiles::All;
    reading.properties = properties;
    RunDirectoryScan(*model, WalkPath::fromText(root), {}, reading);
    return model;
  }

  int store(const ListingModel& model) {
    const StoreResult result = Save2bd(model);
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    return result.rp_id;
  }
};

class TechnicalStoreTest : public EngineBdTest, public TechnicalListings {};
class TechnicalFileTest : public BdTest, public TechnicalListings {};

}  // namespace

TEST_P(TechnicalStoreTest, AMixedListingComesBackIdenticalWithItsTechnicalFields) {
  const std::unique_ptr<ListingModel> scanned = scanMixedTree(true);
  ASSERT_EQ(scanned->NumCancionesMP3, 3);
  const QStringList before = rendered(*scanned);
  EXPECT_EQ(before[2], u"F-2 uno Uno 0:02 %1 44,1 0,0"_s.arg(scanned->technical.of(2)->kbps));
  EXPECT_EQ(before[4], u"D-2 "_s + scanned->Directorios[2].dirname + u" 1 0:01"_s);
  const int id = store(*scanned);
  EXPECT_EQ(rows(kCountRows), QStringList{u"3"_s});
  ListingModel loaded;
  ASSERT_TRUE(Load4bd(id, loaded).found);
  EXPECT_EQ(rendered(loaded), before);
  for (int f = 1; f <= 3; ++f) {
    ASSERT_NE(loaded.technical.of(f), nullptr);
    EXPECT_EQ(*loaded.technical.of(f), *scanned->technical.of(f));
  }
  EXPECT_EQ(loaded.technical.of(2)->hz, 44100);
  EXPECT_EQ(loaded.technical.of(3)->channels, 1);
}

TEST_P(TechnicalStoreTest, AListingNumberedPast32767KeepsItsOwnTechnicalFields) {
  ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (40000,'x',1,'x')"_s));
  const std::unique_ptr<ListingModel> scanned = scanMixedTree(true);
  const int id = store(*scanned);
  ASSERT_EQ(id, 40001);
  EXPECT_EQ(rows(u"SELECT DISTINCT rp_id FROM infotecnica"_s), QStringList{u"40001"_s});
  ListingModel loaded;
  ASSERT_TRUE(Load4bd(id, loaded).found);
  ASSERT_NE(loaded.technical.of(1), nullptr);
  EXPECT_EQ(*loaded.technical.of(1), *scanned->technical.of(1));
}

TEST_P(TechnicalStoreTest, AListingWithoutThemWritesNoRowAndEmptiesThePlaceholders) {
  const std::unique_ptr<ListingModel> scanned = scanMixedTree(false);
  StatementRecorder statements;
  const int id = store(*scanned);
  EXPECT_EQ(rows(kCountRows), QStringList{u"0"_s});
  for (const QString& sql : statements.statements) {
    EXPECT_FALSE(sql.contains(u"infotecnica"_s)) << sql.toStdString();
  }
  ListingModel loaded;
  ASSERT_TRUE(Load4bd(id, loaded).found);
  EXPECT_FALSE(loaded.technical.present);
  EXPECT_EQ(rendered(loaded)[2], u"F-2 uno Uno    "_s);
}

TEST_P(TechnicalStoreTest, DeletingAListingTakesItsRowsWithItAndLogsAsEver) {
  const std::unique_ptr<ListingModel> scanned = scanMixedTree(true);
  ListingModel without;
  without.FinalName = u"sin datos"_s;
  store(without);
  const int id = store(*scanned);
  const int kept = store(*scanned);
  EXPECT_EQ(rows(kCountRows), QStringList{u"6"_s});
  LogRecorder log;
  ASSERT_EQ(deleteStoredListing(id), QString());
  EXPECT_EQ(log.lines.size(), 4);
  EXPECT_EQ(rows(u"SELECT DISTINCT rp_id FROM infotecnica"_s), QStringList{QString::number(kept)});
  // The number freed is used again, with rows of its own only.
  ASSERT_EQ(deleteStoredListing(kept), QString());
  EXPECT_EQ(store(*scanned), id);
  EXPECT_EQ(rows(kCountRows), QStringList{u"3"_s});
}

// The search window's and the exports' last column: the duration, where the listing has it.
TEST_P(TechnicalStoreTest, SearchAndDuplicatesGiveEachFileItsDuration) {
  const std::unique_ptr<ListingModel> scanned = scanMixedTree(true);
  store(*scanned);
  store(*scanMixedTree(false));
  const SearchResult found = searchCatalogue({u"uno"_s, SearchField::Titulo});
  ASSERT_EQ(found.error, QString());
  ASSERT_EQ(found.files.size(), 2u);
  EXPECT_EQ(found.files[0].durationMs, scanned->technical.of(2)->durationMs);
  EXPECT_EQ(found.files[0].durationMs, 1500);
  EXPECT_EQ(found.files[1].durationMs, std::nullopt);
  const DuplicatesResult twins = findDuplicates(SearchMedium::Todos);
  ASSERT_EQ(twins.error, QString());
  ASSERT_EQ(twins.groups.size(), 3u);
  for (const DuplicateGroup& group : twins.groups) {
    ASSERT_EQ(group.copies.size(), 2u);
    const int file = group.copies[0].filegenorder;
    EXPECT_EQ(group.copies[0].durationMs, scanned->technical.of(file)->durationMs);
    EXPECT_EQ(group.copies[1].durationMs, std::nullopt);
  }
}

INSTANTIATE_ON_BOTH_ENGINES(TechnicalStoreTest);

// A program that deleted without the file's trigger leaves rows under a number; the next store
// under it replaces them rather than adding to them.
TEST_F(TechnicalFileTest, RowsLeftUnderAReusedNumberAreReplaced) {
  const std::unique_ptr<ListingModel> scanned = scanMixedTree(true);
  ASSERT_EQ(queryRows(BdPath(), u"DROP TRIGGER infotecnica_listing_removed"_s), QStringList());
  const int id = store(*scanned);
  ASSERT_EQ(deleteStoredListing(id), QString());
  EXPECT_EQ(rows(kCountRows), QStringList{u"3"_s});
  EXPECT_EQ(store(*scanned), id);
  EXPECT_EQ(rows(kCountRows), QStringList{u"3"_s});
}

// A file the program could not give the table when it opened it (another program was writing)
// gains it with the next store, whose rows then stay in the file.
TEST_F(TechnicalFileTest, AFileWithoutTheTableGainsItWithTheNextStore) {
  CloseBd();
  ASSERT_EQ(queryRows(BdPath(), u"DROP TABLE infotecnica"_s), QStringList());
  {
    QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other-writer"_s);
    other.setDatabaseName(BdPath());
    ASSERT_TRUE(other.open());
    QSqlQuery lock(other);
    ASSERT_TRUE(lock.exec(u"BEGIN IMMEDIATE"_s));
    writeFile(programDir_ + u"/config.ini"_s,
              "[log]\r\nlogfile=quillet.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;"
              "QSQLITE_BUSY_TIMEOUT=50;\r\n");
    LogRecorder log;
    ASSERT_EQ(OpenBd(), QString());
    EXPECT_TRUE(
        log.lines.join(u'\n').contains(u"No se ha podido crear la tabla de datos técnicos"_s));
    lock.exec(u"ROLLBACK"_s);
  }
  QSqlDatabase::removeDatabase(u"other-writer"_s);
  EXPECT_EQ(searchCatalogue({u"uno"_s}).error, QString());
  const int id = store(*scanMixedTree(true));
  EXPECT_EQ(rows(kCountRows), QStringList{u"3"_s});
  ListingModel loaded;
  ASSERT_TRUE(Load4bd(id, loaded).found);
  EXPECT_TRUE(loaded.technical.present);
}

TEST(TechnicalTable, AnOlderDatabaseGainsItOnOpenAndTheTemplateCarriesIt) {
  const QString dir = installProgramFiles();
  QProcess sqlite;
  sqlite.start(u"sqlite3"_s,
               {u"-bail"_s, dir + u"/quillet.mdb"_s,
                u".read "_s + QStringLiteral(QUILLET_SOURCE_DIR) + u"/resources/schema.sql"_s,
                u".read "_s + QStringLiteral(QUILLET_SOURCE_DIR) + u"/resources/search_index.sql"_s,
                u"INSERT INTO reports VALUES (4, 'Viejo', 1, 'Viejo')"_s});
  ASSERT_TRUE(sqlite.waitForFinished(30000));
  ASSERT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().toStdString();
  ASSERT_EQ(OpenBd(), QString());
  const QString objects = u"SELECT type, name, sql FROM sqlite_master ORDER BY name"_s;
  const QString blank = QStringLiteral(QUILLET_BIN_DIR) + u"/bd-acces2k.blank"_s;
  EXPECT_EQ(queryRows(BdPath(), objects), queryRows(blank, objects));
  EXPECT_EQ(queryRows(BdPath(), u"PRAGMA user_version"_s), QStringList{u"3"_s});
  EXPECT_EQ(queryRows(blank, u"PRAGMA user_version"_s), QStringList{u"3"_s});
  EXPECT_EQ(isListingStored(4), true);
  CloseBd();
}
