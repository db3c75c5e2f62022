// The catalogue on the test server: its objects, and each fault a user meets, with its message
// and nothing partial left behind.

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <atomic>
#include <thread>

#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "db/pg_engine.h"
#include "db/stored_listings.h"
#include "search/catalogue_search.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

const QString kAllRows =
    u"select 'r', rp_id from reports union all select 'd', rp_id from estructdir "
    u"union all select 'f', rp_id from infoMP3 order by 1, 2"_s;

class ServerDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_SERVER();
    server_ = std::make_unique<ServerDatabase>();
  }
  void TearDown() override { CloseBd(); }
  QString open(const QString& cadcon) {
    installProgramFiles(cadcon);
    return OpenBd();
  }
  std::unique_ptr<ServerDatabase> server_;
};

}  // namespace

TEST_F(ServerDatabaseTest, AnEmptyDatabaseGetsTheCatalogueOnceAndTheLogNamesNoPasswordNorFile) {
  LogRecorder log;
  ASSERT_EQ(open(server_->cadcon() + u"Password=secreto;"_s), QString());
  EXPECT_EQ(BdPath(), QString());
  EXPECT_TRUE(log.lines.contains(u"Conectando con servidor %1:%2, base de datos %3"_s.arg(
      qEnvironmentVariable("QUILLET_TEST_PGHOST"), qEnvironmentVariable("QUILLET_TEST_PGPORT"),
      server_->name())))
      << log.lines.join(u'\n').toStdString();
  EXPECT_FALSE(log.lines.join(u'\n').contains(u"secreto"_s));
  EXPECT_TRUE(log.lines.contains(u"Conexión satisfactoria!"_s));
  // The same tables, columns, order and kinds as the file's.
  EXPECT_EQ(server_->rows(u"select table_name, string_agg(column_name || ' ' || data_type, ', ' "
                          u"order by ordinal_position) from information_schema.columns where "
                          u"table_name in ('reports', 'estructdir', 'infomp3') group by "
                          u"table_name order by table_name"_s),
            (QStringList{u"estructdir|rp_id integer, dirname text, songfrom integer, songto "
                         u"integer"_s,
                         u"infomp3|rp_id integer, album text, artist text, comment text, genre "
                         u"text, title text, track text, year text, filename text, fileorder "
                         u"integer, filegenorder integer"_s,
                         u"reports|rp_id integer, report_name text, medio integer, report_desc "
                         u"text"_s}));
  ASSERT_TRUE(Save2bd(*makeListing(u"CD"_s, kMedioCd, {2})).ok());
  CloseBd();
  // A database that has them is used as it is.
  ASSERT_EQ(OpenBd(), QString());
  EXPECT_EQ(server_->rows(u"select version from quillet_schema"_s),
            QStringList{QString::number(kServerSchemaVersion)});
  EXPECT_EQ(server_->rows(u"select count(*) from infomp3"_s), QStringList{u"2"_s});
  EXPECT_EQ(server_->rows(u"select count(*) from search_files"_s), QStringList{u"2"_s});
}

TEST_F(ServerDatabaseTest, ADatabaseOfANewerQuilletIsRefused) {
  ASSERT_EQ(open(server_->cadcon()), QString());
  CloseBd();
  ASSERT_TRUE(server_->exec({u"update quillet_schema set version = 99"_s}));
  const QString failure = OpenBd();
  EXPECT_TRUE(failure.contains(u"versión más moderna de Quillet (esquema 99"_s))
      << failure.toStdString();
  EXPECT_NE(BdConnection().State(), kStateOpen);
}

TEST_F(ServerDatabaseTest, ACatalogueOfTheFirstSchemaGainsTheTechnicalTableAndKeepsItsListings) {
  ASSERT_EQ(open(server_->cadcon()), QString());
  ASSERT_TRUE(Save2bd(*makeListing(u"CD"_s, kMedioCd, {2, 1})).ok());
  CloseBd();
  const QStringList before = server_->rows(kAllRows);
  // The catalogue as the first server schema left it.
  ASSERT_TRUE(
      server_->exec({u"drop table infotecnica"_s, u"update quillet_schema set version = 1"_s}));
  LogRecorder log;
  ASSERT_EQ(OpenBd(), QString());
  EXPECT_TRUE(
      log.lines.contains(u"Actualizado el catálogo de la base de datos %1 del servidor del "
                         u"esquema 1 al %2"_s.arg(server_->name())
                             .arg(kServerSchemaVersion)))
      << log.lines.join(u'\n').toStdString();
  EXPECT_EQ(server_->rows(u"select version from quillet_schema"_s),
            QStringList{QString::number(kServerSchemaVersion)});
  EXPECT_EQ(server_->rows(kAllRows), before);
  EXPECT_EQ(server_->rows(u"select count(*) from infotecnica"_s), QStringList{u"0"_s});
  EXPECT_EQ(searchCatalogue({u"title3"_s}).files.size(), 1u);
  // The table works as a fresh one does: its rows go with their listing.
  std::unique_ptr<ListingModel> timed = makeListing(u"Con datos"_s, kMedioCd, {1});
  timed->technical.set(1, {61000, 128, 44100, 2, 976000});
  timed->technical.present = true;
  const StoreResult stored = Save2bd(*timed);
  ASSERT_TRUE(stored.ok()) << stored.error.toStdString();
  EXPECT_EQ(server_->rows(u"select rp_id, filegenorder, duracion_ms from infotecnica"_s),
            QStringList{u"2|1|61000"_s});
  ASSERT_EQ(deleteStoredListing(stored.rp_id), QString());
  EXPECT_EQ(server_->rows(u"select count(*) from infotecnica"_s), QStringList{u"0"_s});
}

TEST_F(ServerDatabaseTest, AnOlderCatalogueIndexedFileByFileIsSearchedThroughGroupsAfterOpening) {
  ASSERT_EQ(open(server_->cadcon()), QString());
  ASSERT_TRUE(Save2bd(*makeListing(u"CD"_s, kMedioCd, {2, 1})).ok());
  CloseBd();
  // The search objects as the fourth schema left them: each file's texts and pairs indexed.
  ASSERT_TRUE(server_->exec(
      {u"drop table search_groups"_s, u"drop index search_files_group"_s,
       u"create index search_files_file on search_files (rp_id, filegenorder)"_s,
       u"create index search_files_texts on search_files using gin (alltext gin_trgm_ops)"_s,
       u"create index search_files_pairs on search_files using gin ((quillet_pairs(alltext) "
       u"collate \"C\"))"_s,
       u"update quillet_schema set version = 4"_s}));
  ASSERT_EQ(OpenBd(), QString());
  EXPECT_EQ(server_->rows(u"select version from quillet_schema"_s),
            QStringList{QString::number(kServerSchemaVersion)});
  EXPECT_EQ(server_->rows(u"select string_agg(indexname, ' ' order by indexname) from "
                          u"pg_indexes where tablename like 'search%'"_s),
            QStringList{u"search_files_copies search_files_group search_groups_group "
                        u"search_groups_pairs search_groups_texts"_s});
  // The files stored before are found by a word and by two letters, and so are those after.
  EXPECT_EQ(searchCatalogue({u"title3"_s}).files.size(), 1U);
  EXPECT_EQ(searchCatalogue({u"e3"_s}).files.size(), 1U);
  ASSERT_TRUE(Save2bd(*makeListing(u"Otro"_s, kMedioCd, {3})).ok());
  EXPECT_EQ(searchCatalogue({u"e3"_s}).files.size(), 2U);
  // The server can read a search's pairs from their index.
  {
    QSqlDatabase planner = server_->connection(u"planner"_s);
    ASSERT_TRUE(planner.open());
    QSqlQuery plan(planner);
    ASSERT_TRUE(plan.exec(u"set enable_seqscan = off"_s));
    ASSERT_TRUE(
        plan.exec(u"explain select rp_id from search_groups g where (string_to_array(g.pairs, "
                  u"chr(1)) COLLATE \"C\") @> array['e3']"_s));
    QString text;
    while (plan.next()) {
      text += plan.value(0).toString();
    }
    EXPECT_TRUE(text.contains(u"search_groups_pairs"_s)) << text.toStdString();
  }
  QSqlDatabase::removeDatabase(u"planner"_s);
}

TEST_F(ServerDatabaseTest, UnreachableServerIsSaidQuicklyAndTriedAgainOnTheNextUse) {
  // A database that is not there yet stands for a server that cannot be reached now.
  const QString missing = server_->name() + u"_later"_s;
  const QString cadcon = testServerItems() + u"Database="_s + missing + u';';
  const QString failure = open(cadcon);
  EXPECT_TRUE(failure.startsWith(u"No se puede conectar con el servidor de la BD (servidor "_s))
      << failure.toStdString();
  EXPECT_TRUE(failure.contains(u"el catálogo no está accesible"_s));
  EXPECT_TRUE(BdConnection().reconnects());
  EXPECT_FALSE(readStoredListings().error.isEmpty());

  ASSERT_TRUE(execOnServer({u"CREATE DATABASE "_s + missing + u" TEMPLATE template0"_s}));
  const StoredListings listings = readStoredListings();
  EXPECT_EQ(listings.error, QString());
  EXPECT_EQ(Save2bd(*makeListing(u"CD"_s, kMedioCd, {1})).rp_id, 1);
  CloseBd();
  execOnServer({u"DROP DATABASE "_s + missing + u" WITH (FORCE)"_s});
}

// The server's message runs on with the statement and a caret on lines of their own.
TEST_F(ServerDatabaseTest, AFailedStatementIsOneSpanishLineChosenByItsCode) {
  ASSERT_EQ(open(server_->cadcon()), QString());
  EXPECT_FALSE(BdConnection().Execute(u"SELECT * FROM nosuch"_s));
  EXPECT_EQ(BdConnection().lastError(),
            u"falta una tabla en la BD (ERROR: relation \"nosuch\" does not exist)"_s);
}

TEST_F(ServerDatabaseTest, NoServerAtAllFailsWithinTheConnectTimeout) {
  const QString nowhere = TestEnvironment::newTempDir();
  const QString failure =
      open(u"Provider=QPSQL;Host=%1;Database=x;connect_timeout=2;"_s.arg(nowhere));
  EXPECT_TRUE(failure.contains(u"el catálogo no está accesible"_s)) << failure.toStdString();
  EXPECT_TRUE(failure.contains(nowhere));
}

TEST_F(ServerDatabaseTest, WrongPasswordIsSaidAsSuch) {
  ASSERT_TRUE(
      server_->exec({u"DO $$ BEGIN CREATE ROLE quillet_pw LOGIN PASSWORD 'bien'; EXCEPTION WHEN "
                     u"duplicate_object OR unique_violation THEN NULL; END $$"_s,
                     u"GRANT ALL ON SCHEMA public TO quillet_pw"_s}));
  const QString items = u"Provider=QPSQL;Host=%1;Port=%2;Database=%3;User ID=quillet_pw;"_s.arg(
      qEnvironmentVariable("QUILLET_TEST_PGHOST"), qEnvironmentVariable("QUILLET_TEST_PGPORT"),
      server_->name());
  const QString failure = open(items + u"Password=mal;"_s);
  EXPECT_TRUE(failure.contains(u"no acepta el usuario o la contraseña"_s)) << failure.toStdString();
  EXPECT_FALSE(failure.contains(u"mal;"_s));
  CloseBd();
  EXPECT_EQ(open(items + u"Password=bien;"_s), QString());
}

TEST_F(ServerDatabaseTest, AUserWithoutRightsToCreateTablesIsToldSoAndNothingIsMade) {
  const QString role = u"quillet_ro_%1"_s.arg(server_->name().section(u'_', 2));
  ASSERT_TRUE(
      execOnServer({u"DROP ROLE IF EXISTS "_s + role, u"CREATE ROLE "_s + role + u" LOGIN"_s}));
  const QString failure = open(u"Provider=QPSQL;Host=%1;Port=%2;Database=%3;User ID=%4;"_s.arg(
      qEnvironmentVariable("QUILLET_TEST_PGHOST"), qEnvironmentVariable("QUILLET_TEST_PGPORT"),
      server_->name(), role));
  EXPECT_TRUE(failure.contains(u"no tiene permiso para crear las tablas del catálogo"_s))
      << failure.toStdString();
  EXPECT_EQ(server_->rows(u"select count(*) from pg_tables where schemaname = 'public'"_s),
            QStringList{u"0"_s});
  CloseBd();
  server_.reset();
  execOnServer({u"DROP ROLE "_s + role});
}

TEST_F(ServerDatabaseTest,
       ConnectionLostInTheMiddleOfAStoreLeavesNothingAndTheNextStoreReconnects) {
  ASSERT_EQ(open(server_->cadcon()), QString());
  ASSERT_EQ(Save2bd(*makeListing(u"kept"_s, kMedioCd, {2})).rp_id, 1);
  const StoreResult lost =
      Save2bd(*makeListing(u"lost"_s, kMedioCd, {3, 3}), [&](const StoreProgress& progress) {
        if (progress.overall == 1 && progress.stepValue == 2) {
          server_->exec(
              {u"select pg_terminate_backend(pid) from pg_stat_activity where "
               u"datname = current_database() and pid <> pg_backend_pid()"_s});
        }
      });
  EXPECT_TRUE(lost.error.startsWith(u"Se ha perdido la conexión con el servidor de la BD"_s))
      << lost.error.toStdString();
  EXPECT_EQ(server_->rows(kAllRows), (QStringList{u"d|1"_s, u"f|1"_s, u"f|1"_s, u"r|1"_s}));
  EXPECT_EQ(Save2bd(*makeListing(u"next"_s, kMedioCd, {1})).rp_id, 2);
}

// A connection lost while the commit is on its way may have stored the listing or not: the
// user is told to check before storing it again, and nothing is sent a second time.
TEST_F(ServerDatabaseTest, AConnectionLostAtTheCommitTellsTheUserToCheck) {
  ASSERT_EQ(open(server_->cadcon()), QString());
  ASSERT_TRUE(server_->exec(
      {u"create function cut_at_commit() returns trigger language plpgsql as $$ begin perform "
       u"pg_terminate_backend(pg_backend_pid()); return null; end $$"_s,
       u"create constraint trigger cut_at_commit after insert on reports deferrable initially "
       u"deferred for each row execute function cut_at_commit()"_s}));
  StatementRecorder sent;
  const StoreResult result = Save2bd(*makeListing(u"CD"_s, kMedioCd, {1}));
  EXPECT_TRUE(result.error.contains(u"compruébelo antes de repetirla"_s))
      << result.error.toStdString();
  EXPECT_EQ(sent.statements.filter(u"INSERT INTO reports"_s, Qt::CaseInsensitive).size(), 1);
}

// A newer search stops the older one's statement from another thread: the server's cancel
// reaches it, and the session goes on working.
TEST_F(ServerDatabaseTest, TheInterrupterCancelsARunningStatementAndTheSessionGoesOn) {
  ASSERT_EQ(open(server_->cadcon()), QString());
  const std::function<void()> interrupt = BdConnection().interrupter();
  ASSERT_TRUE(interrupt);
  std::atomic<bool> done = false;
  std::thread canceller([&] {
    while (!done) {
      interrupt();
      QThread::msleep(50);
    }
  });
  QElapsedTimer timer;
  timer.start();
  QSqlQuery sleeping(BdConnection().driverConnection());
  const bool ran = sleeping.exec(u"SELECT pg_sleep(60)"_s);
  done = true;
  canceller.join();
  EXPECT_FALSE(ran);
  EXPECT_EQ(sleeping.lastError().nativeErrorCode(), u"57014"_s);  // query_canceled
  EXPECT_LT(timer.elapsed(), 30000);
  QSqlQuery next(BdConnection().driverConnection());
  EXPECT_TRUE(next.exec(u"SELECT 1"_s) && next.next() && next.value(0).toInt() == 1);
}

TEST_F(ServerDatabaseTest, AStoreWaitingForAnotherComputersLockGivesUpAsBusy) {
  ASSERT_EQ(open(server_->cadcon() + u"lock_timeout=50;"_s), QString());
  QSqlDatabase other = server_->connection(u"locker"_s);
  ASSERT_TRUE(other.open());
  {
    QSqlQuery lock(other);
    ASSERT_TRUE(lock.exec(u"BEGIN"_s));
    ASSERT_TRUE(lock.exec(u"LOCK TABLE reports IN EXCLUSIVE MODE"_s));
    const StoreResult result = Save2bd(*makeListing(u"CD"_s, kMedioCd, {1}));
    EXPECT_EQ(result.error,
              u"La BD está ocupada: otro programa la está modificando y no ha terminado en 50 "
              u"milisegundos"_s);
    // Readers still read.
    EXPECT_EQ(readStoredListings().error, QString());
    lock.exec(u"ROLLBACK"_s);
  }
  other.close();
  other = {};
  QSqlDatabase::removeDatabase(u"locker"_s);
  EXPECT_EQ(Save2bd(*makeListing(u"CD"_s, kMedioCd, {1})).rp_id, 1);
}

TEST_F(ServerDatabaseTest, WithoutRightsToAddTrigramsTheSearchSaysSoAndStillFinds) {
  const QString role = u"quillet_nt_%1"_s.arg(server_->name().section(u'_', 2));
  ASSERT_TRUE(
      execOnServer({u"DROP ROLE IF EXISTS "_s + role, u"CREATE ROLE "_s + role + u" LOGIN"_s}));
  ASSERT_TRUE(server_->exec({u"GRANT CREATE ON SCHEMA public TO "_s + role}));
  LogRecorder log;
  ASSERT_EQ(open(u"Provider=QPSQL;Host=%1;Port=%2;Database=%3;User ID=%4;"_s.arg(
                qEnvironmentVariable("QUILLET_TEST_PGHOST"),
                qEnvironmentVariable("QUILLET_TEST_PGPORT"), server_->name(), role)),
            QString());
  EXPECT_TRUE(log.lines.filter(u"No se puede crear la extensión pg_trgm en el servidor"_s).size() ==
              1)
      << log.lines.join(u'\n').toStdString();
  ASSERT_TRUE(Save2bd(*makeListing(u"Sin trigramas"_s, kMedioCd, {2, 1})).ok());
  EXPECT_EQ(searchCatalogue({u"title3"_s}).files.size(), 1U);
  EXPECT_EQ(searchCatalogue({u"trigramas"_s}).files.size(), 3U);
  EXPECT_EQ(
      server_->rows(u"select count(*) from pg_indexes where indexname = 'search_groups_texts'"_s),
      QStringList{u"0"_s});
  CloseBd();
  server_.reset();
  execOnServer({u"DROP ROLE "_s + role});
}
