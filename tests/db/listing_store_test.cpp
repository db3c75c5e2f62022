#include "db/listing_store.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include "db/bd_write_guard.h"
#include "db/mod_bd.h"
#include "db/stored_listings.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

const QString kAllRows =
    u"select 'r', rp_id from reports union all select 'd', rp_id from estructdir "
    u"union all select 'f', rp_id from infoMP3"_s;

}  // namespace

class ListingStoreTest : public EngineBdTest {};
INSTANTIATE_ON_BOTH_ENGINES(ListingStoreTest);

// What only a database file does: its locks and its read-only mode.
using ListingStoreFileTest = BdTest;

TEST_P(ListingStoreTest, SendsItsStatementsInOrderWithApostrophesTurnedToAccents) {
  auto model = makeListing(u"Rock'n'Roll"_s, kMedioCd, {1, 1});
  model->Directorios[1].dirname = u"/music/it's"_s;
  model->Canciones[2].title = u"Don't"_s;
  StatementRecorder recorder;
  LogRecorder log;
  ASSERT_TRUE(Save2bd(*model).ok());
  EXPECT_EQ(recorder.statements,
            QStringList({
                u"select max(rp_id) from reports"_s,
                u"INSERT INTO estructdir VALUES (1,'/music/it´s',1,1)"_s,
                u"INSERT INTO estructdir VALUES (1,'/music/dir2',2,2)"_s,
                u"INSERT INTO infoMP3 VALUES (1,'album1','artist1','comment1','Rock','title1',"
                u"'1','1999','1-1.mp3',1,1)"_s,
                u"INSERT INTO infoMP3 VALUES (1,'album2','artist2','comment2','Rock','Don´t',"
                u"'1','1999','2-1.mp3',1,2)"_s,
                u"INSERT INTO reports VALUES (1,'Rock´n´Roll',1,'Rock´n´Roll')"_s,
            }));
  EXPECT_EQ(log.lines, QStringList());
}

// Tags a file does not have are stored as empty texts, as the literal '' always stored them, and
// never as NULL, whatever kind of empty text the scan left.
TEST_P(ListingStoreTest, MissingTagTextsAreStoredEmptyNotNull) {
  auto model = makeListing(u"CD"_s, kMedioCd, {2});
  model->Canciones[1].album = QString();
  model->Canciones[1].comment = QString();
  model->Canciones[2].year = u""_s;
  ASSERT_TRUE(Save2bd(*model).ok());
  EXPECT_EQ(rows(u"select filegenorder, album, comment, year from infoMP3 where album is null "
                 u"or comment is null or year is null"_s),
            QStringList());
  EXPECT_EQ(rows(u"select filegenorder, album, comment, year from infoMP3 order by 1"_s),
            QStringList({u"1|||1999"_s, u"2|album2|comment2|"_s}));
}

TEST_P(ListingStoreTest, NumbersFollowTheHighestStoredNumber) {
  auto model = makeListing(u"CD"_s, kMedioCd, {1});
  EXPECT_EQ(Save2bd(*model).rp_id, 1);
  EXPECT_EQ(Save2bd(*model).rp_id, 2);
  ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (5,'x',2,'x')"_s));
  EXPECT_EQ(Save2bd(*model).rp_id, 6);
  ASSERT_EQ(deleteStoredListing(6), QString());
  EXPECT_EQ(Save2bd(*model).rp_id, 6);
  EXPECT_EQ(rows(u"select rp_id, count(*) from infoMP3 group by rp_id order by rp_id"_s),
            QStringList({u"1|1"_s, u"2|1"_s, u"6|1"_s}));
}

TEST_P(ListingStoreTest, StoresDirectoryRangesAndFileNumbersOfTheListing) {
  auto model = makeListing(u"/music"_s, kMedioDirectorio, {2, 1, 4});
  std::vector<StoreProgress> reports;
  const StoreResult result = Save2bd(*model, [&](const StoreProgress& p) { reports.push_back(p); });
  ASSERT_TRUE(result.ok()) << result.error.toStdString();
  EXPECT_EQ(rows(u"select * from estructdir order by songfrom"_s),
            QStringList({u"1|/music/dir1|1|2"_s, u"1|/music/dir2|3|3"_s, u"1|/music/dir3|4|7"_s}));
  EXPECT_EQ(rows(u"select fileorder, filegenorder from infoMP3 order by filegenorder"_s),
            QStringList({u"1|1"_s, u"2|2"_s, u"1|3"_s, u"1|4"_s, u"2|5"_s, u"3|6"_s, u"4|7"_s}));
  EXPECT_EQ(rows(u"select * from reports"_s), QStringList({u"1|/music|2|/music"_s}));

  ASSERT_EQ(reports.size(), 1u + 1u + 3u + 1u + 7u + 1u);
  EXPECT_EQ(reports.front().step, u"Preparando"_s);
  EXPECT_EQ(reports[1].step, u"Volcando directorios"_s);
  EXPECT_EQ(reports[1].stepMaximum, 3);
  EXPECT_EQ(reports[4].stepValue, 3);
  EXPECT_EQ(reports[5].step, u"Volcando mp3"_s);
  EXPECT_EQ(reports[5].overall, 1);
  EXPECT_EQ(reports[5].stepMaximum, 7);
  EXPECT_EQ(reports.back().overall, 2);
  EXPECT_EQ(reports.back().stepValue, 7);
}

TEST_P(ListingStoreTest, FileWithoutNameEndsTheFilesAndEmptyListingStillGetsItsRow) {
  auto model = makeListing(u"CD"_s, kMedioCd, {4});
  model->Canciones[3].filename.clear();
  ASSERT_TRUE(Save2bd(*model).ok());
  EXPECT_EQ(rows(u"select filegenorder from infoMP3"_s), QStringList({u"1"_s, u"2"_s}));

  auto empty = makeListing(u"vacío"_s, kMedioCd, {});
  EXPECT_EQ(Save2bd(*empty).rp_id, 2);
  EXPECT_EQ(rows(u"select count(*) from estructdir where rp_id=2"_s), QStringList({u"0"_s}));
  EXPECT_EQ(rows(u"select report_name from reports where rp_id=2"_s), QStringList({u"vacío"_s}));
}

TEST_P(ListingStoreTest, FailureHalfWayRollsBackEverythingAndIsLogged) {
  auto model = makeListing(u"CD"_s, kMedioCd, {2, 2});
  model->Canciones[3].fileorder = u"1); DROP TABLE reports; --"_s;
  LogRecorder log;
  const StoreResult result = Save2bd(*model);
  EXPECT_FALSE(result.ok());
  EXPECT_TRUE(result.error.contains(u"2-1.mp3"_s));
  EXPECT_EQ(log.lines,
            QStringList({u"No se ha podido almacenar el listado en la BD: "_s + result.error}));
  EXPECT_EQ(rows(kAllRows), QStringList());
}

TEST_P(ListingStoreTest, NumbersGoPast32767ButNotPastTheLargest32BitNumber) {
  ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (32767,'x',1,'x')"_s));
  EXPECT_EQ(Save2bd(*makeListing(u"CD"_s, kMedioCd, {1})).rp_id, 32768);

  ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (2147483647,'x',1,'x')"_s));
  const QStringList before = rows(kAllRows);
  LogRecorder log;
  const StoreResult result = Save2bd(*makeListing(u"CD"_s, kMedioCd, {1}));
  EXPECT_FALSE(result.ok());
  EXPECT_TRUE(result.error.contains(u"2147483647"_s));
  EXPECT_EQ(log.lines.size(), 1);
  EXPECT_EQ(rows(kAllRows), before);
}

TEST_P(ListingStoreTest, SecondStoreWhileOneRunsIsRefused) {
  auto model = makeListing(u"CD"_s, kMedioCd, {2});
  StoreResult nested;
  const StoreResult first = Save2bd(*model, [&](const StoreProgress& progress) {
    if (progress.step == u"Volcando mp3"_s && progress.stepValue == 1) {
      EXPECT_TRUE(isBdWriteRunning());
      nested = Save2bd(*model);
    }
  });
  EXPECT_EQ(first.rp_id, 1);
  EXPECT_EQ(nested.error, bdBusyText());
  EXPECT_FALSE(isBdWriteRunning());
  EXPECT_EQ(rows(u"select rp_id from reports"_s), QStringList({u"1"_s}));
  EXPECT_EQ(rows(u"select count(*) from infoMP3"_s), QStringList({u"2"_s}));
}

TEST_F(ListingStoreFileTest, LockedDatabaseFailsAsBusyAndStaysAsItWas) {
  CloseBd();
  programDir_ = installProgramFiles(u"Provider=QSQLITE;QSQLITE_BUSY_TIMEOUT=50;"_s);
  ASSERT_EQ(OpenBd(), QString());
  {
    QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"locker"_s);
    other.setDatabaseName(BdPath());
    ASSERT_TRUE(other.open());
    QSqlQuery lock(other);
    ASSERT_TRUE(lock.exec(u"BEGIN EXCLUSIVE"_s));
    const StoreResult result = Save2bd(*makeListing(u"CD"_s, kMedioCd, {1}));
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error,
              u"La BD está ocupada: otro programa la está modificando y no ha terminado en 50 "
              u"milisegundos"_s);
    other.rollback();
  }
  QSqlDatabase::removeDatabase(u"locker"_s);
  EXPECT_EQ(rows(kAllRows), QStringList());
  EXPECT_EQ(Save2bd(*makeListing(u"CD"_s, kMedioCd, {1})).rp_id, 1);
}

TEST_F(ListingStoreFileTest, ReadOnlyDatabaseFailsWithItsReasonAndStaysAsItWas) {
  CloseBd();
  programDir_ = installProgramFiles(u"Provider=QSQLITE;QSQLITE_OPEN_READONLY;"_s);
  ASSERT_TRUE(QFile::copy(programDir_ + u"/bd-acces2k.blank"_s, programDir_ + u"/quillet.mdb"_s));
  ASSERT_EQ(OpenBd(), QString());
  const StoreResult result = Save2bd(*makeListing(u"CD"_s, kMedioCd, {1}));
  EXPECT_FALSE(result.ok());
  EXPECT_TRUE(result.error.contains(u"readonly"_s)) << result.error.toStdString();
  EXPECT_EQ(rows(kAllRows), QStringList());
}
