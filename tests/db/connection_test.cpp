#include "db/db_connection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "db/sql_catalogue.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

TEST(ConnectionString, DataSourceRunsToTheEndAndOtherItemsBecomeDriverOptions) {
  ConnectionParts parts = parseConnectionString(
      u"provider=qsqlite;QSQLITE_BUSY_TIMEOUT=50;Data Source=old.mdb; Data Source=c.mdb"_s);
  EXPECT_EQ(parts.provider, u"QSQLITE"_s);
  EXPECT_EQ(parts.dataSource, u"c.mdb"_s);
  EXPECT_EQ(parts.options, u"QSQLITE_BUSY_TIMEOUT=50"_s);

  parts = parseConnectionString(u"Provider=QSQLITE; Data Source=/music/x;y=z/quillet.mdb"_s);
  EXPECT_EQ(parts.dataSource, u"/music/x;y=z/quillet.mdb"_s);
  EXPECT_EQ(parts.options, QString());
}

TEST(Connection, BadProvidersAndMissingDataSourceFailWithTheirOwnTexts) {
  DbConnection connection;
  EXPECT_FALSE(connection.Open(u"Provider=QSQLIT; Data Source=/tmp/x.mdb"_s));
  EXPECT_EQ(connection.lastError(), u"Proveedor de base de datos desconocido: QSQLIT"_s);

  EXPECT_FALSE(connection.Open(u" Data Source=/tmp/x.mdb"_s));
  EXPECT_TRUE(connection.lastError().contains(u"proveedor"_s));

  EXPECT_FALSE(connection.Open(u"Provider=QSQLITE;"_s));
  EXPECT_TRUE(connection.lastError().contains(u"archivo"_s));

  for (const QString& driver : {u"QDB2"_s, u"QOCI"_s, u"QMIMER"_s, u"QIBASE"_s}) {
    if (!QSqlDatabase::isDriverAvailable(driver)) {
      EXPECT_FALSE(connection.Open(u"Provider="_s + driver + u"; Data Source=/tmp/x.mdb"_s));
      EXPECT_EQ(connection.lastError(),
                u"No está instalado el controlador de base de datos "_s + driver);
      break;
    }
  }
  EXPECT_EQ(connection.State(), kStateClosed);
}

class RecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString dir = installProgramFiles();
    ASSERT_TRUE(QFile::copy(dir + u"/bd-acces2k.blank"_s, dir + u"/t.mdb"_s));
    ASSERT_TRUE(connection_.Open(u"Provider=QSQLITE; Data Source="_s + dir + u"/t.mdb"_s));
  }
  DbConnection connection_;
  DbRecordset recordset_;
};

TEST_F(RecordsetTest, RowCountKnownOnOpenFieldsByNameOrPositionAndTableNamesIgnoreCase) {
  ASSERT_TRUE(
      connection_.Execute(u"INSERT INTO infoMP3 VALUES (1,'a','b','c','d','e','1','y',"
                          u"'f.mp3',1,1)"_s));
  ASSERT_TRUE(
      connection_.Execute(u"INSERT INTO infoMP3 VALUES (1,'a2','b','c','d','e','2','y',"
                          u"'g.mp3',2,2)"_s));
  ASSERT_TRUE(recordset_.Open(u"select * from infomp3 where rp_id = 1"_s, connection_));
  EXPECT_EQ(recordset_.RecordCount(), 2);
  EXPECT_EQ(recordset_.Fields(u"filename"_s).toString(), u"f.mp3"_s);
  EXPECT_EQ(recordset_.Fields(1).toString(), u"a"_s);
  EXPECT_FALSE(recordset_.Fields(u"nosuchcolumn"_s).isValid());
  recordset_.MoveNext();
  EXPECT_EQ(recordset_.Fields(u"filegenorder"_s).toInt(), 2);
  recordset_.MoveNext();
  EXPECT_FALSE(recordset_.Fields(0).isValid());

  // Opening again replaces the earlier result.
  ASSERT_TRUE(recordset_.Open(u"select max(rp_id) from reports"_s, connection_));
  EXPECT_EQ(recordset_.RecordCount(), 1);
  EXPECT_TRUE(recordset_.Fields(0).isNull());
  recordset_.Close();
  recordset_.Close();
  EXPECT_EQ(recordset_.State(), kStateClosed);
}

TEST_F(RecordsetTest, FailuresComeBackWithTheDatabasesReasonAndEveryTextPassesTheHook) {
  StatementRecorder recorder;
  EXPECT_FALSE(connection_.Execute(u"INSERT INTO nosuch VALUES (1)"_s));
  EXPECT_TRUE(connection_.lastError().contains(u"no such table"_s))
      << connection_.lastError().toStdString();
  EXPECT_FALSE(recordset_.Open(u"select * from nosuch"_s, connection_));
  EXPECT_EQ(recordset_.State(), kStateClosed);
  EXPECT_EQ(recorder.statements,
            QStringList({u"INSERT INTO nosuch VALUES (1)"_s, u"select * from nosuch"_s}));
}

TEST_F(RecordsetTest, AFailedStatementIsOneSpanishLineChosenByItsCode) {
  EXPECT_FALSE(connection_.Execute(u"SELECT * FROM nosuch"_s));
  EXPECT_EQ(connection_.lastError(), u"la BD no entiende la consulta (no such table: nosuch)"_s);
}

// Rows of two tables through one inserter, alternately: each row lands in its own table with its
// values as given, the hook sees the literal inserts, and a failure names the database's reason.
TEST_F(RecordsetTest, RowInserterPreparesPerTableAndShowsLiteralInsertsToTheHook) {
  StatementRecorder recorder;
  DbRowInserter inserter(connection_);
  ASSERT_TRUE(inserter.Insert({u"estructdir"_s, {1, u"/a´b"_s, 1, 2}}));
  ASSERT_TRUE(inserter.Insert({u"reports"_s, {1, u"CD"_s, 1, u""_s}}));
  ASSERT_TRUE(inserter.Insert({u"estructdir"_s, {1, u"/c"_s, 3, 3}}));
  EXPECT_FALSE(inserter.Insert({u"nosuch"_s, {1}}));
  EXPECT_TRUE(connection_.lastError().contains(u"no such table"_s))
      << connection_.lastError().toStdString();
  EXPECT_EQ(recorder.statements, QStringList({u"INSERT INTO estructdir VALUES (1,'/a´b',1,2)"_s,
                                              u"INSERT INTO reports VALUES (1,'CD',1,'')"_s,
                                              u"INSERT INTO estructdir VALUES (1,'/c',3,3)"_s,
                                              u"INSERT INTO nosuch VALUES (1)"_s}));
  ASSERT_TRUE(recordset_.Open(
      u"select dirname, typeof(songfrom) from estructdir order by songfrom"_s, connection_));
  EXPECT_EQ(recordset_.RecordCount(), 2);
  EXPECT_EQ(recordset_.Fields(0).toString(), u"/a´b"_s);
  EXPECT_EQ(recordset_.Fields(1).toString(), u"integer"_s);
  ASSERT_TRUE(recordset_.Open(u"select typeof(report_desc) from reports"_s, connection_));
  EXPECT_EQ(recordset_.Fields(0).toString(), u"text"_s);
}

// The search thread's statement is stopped from the window's thread: the statement fails at
// once, and the connection goes on working.
TEST(Connection, TheInterrupterStopsARunningStatementFromAnotherThread) {
  const QString path = TestEnvironment::newTempDir() + u"/interrupt.mdb"_s;
  std::atomic<bool> done = false;
  std::mutex mutex;
  std::function<void()> interrupt;
  QString failure;
  bool usableAfter = false;
  std::thread worker([&] {
    DbConnection connection;
    ASSERT_TRUE(connection.Open(u"Provider=QSQLITE; Data Source="_s + path));
    {
      const std::lock_guard lock(mutex);
      interrupt = connection.interrupter();
    }
    QSqlQuery endless(connection.driverConnection());
    // Counts for ever unless stopped.
    endless.exec(
        u"WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) "
        u"SELECT count(*) FROM n"_s);
    failure = endless.lastError().text();
    endless.finish();
    QSqlQuery next(connection.driverConnection());
    usableAfter = next.exec(u"SELECT 1"_s) && next.next() && next.value(0).toInt() == 1;
    {
      const std::lock_guard lock(mutex);
      interrupt = nullptr;
    }
    done = true;
  });
  while (!done) {
    {
      const std::lock_guard lock(mutex);
      if (interrupt) {
        interrupt();
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  worker.join();
  EXPECT_TRUE(failure.contains(u"interrupt"_s)) << failure.toStdString();
  EXPECT_TRUE(usableAfter);
}
