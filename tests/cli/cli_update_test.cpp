#include <QDateTime>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

#include "cli_program_fixture.h"

using namespace Qt::StringLiterals;

namespace {

class CliUpdateTest : public CliProgramTest {
 protected:
  void SetUp() override {
    CliProgramTest::SetUp();
    ASSERT_EQ(run({u"scan"_s, tree, u"--store"_s}).exitCode, 0);
  }
};

}  // namespace

TEST_F(CliUpdateTest, ADryRunPrintsEachFileByItsKindAndTheCountsAndChangesNothing) {
  writeMp3(tree + u"/Sub/d.mp3"_s);
  ASSERT_TRUE(QFile::remove(tree + u"/A.mp3"_s));
  QFile changed(tree + u"/b.mp3"_s);
  ASSERT_TRUE(changed.open(QIODevice::ReadWrite));
  ASSERT_TRUE(changed.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                  QFileDevice::FileModificationTime));
  const QByteArray before = run({u"show"_s, u"1"_s}).out;
  const ProgramRun dry = run({u"update"_s, u"1"_s, u"--dry-run"_s});
  EXPECT_EQ(dry.exitCode, 0) << dry.err.toStdString();
  EXPECT_EQ(dry.out,
            "+ Sub/d.mp3\n- A.mp3\n~ b.mp3\n1 añadidos, 1 quitados, 1 cambiados, 1 sin cambios\n");
  EXPECT_EQ(run({u"show"_s, u"1"_s}).out, before);
}

TEST_F(CliUpdateTest, PastTheGuardOnlyForceApplies) {
  ASSERT_TRUE(QFile::remove(tree + u"/A.mp3"_s));
  ASSERT_TRUE(QFile::remove(tree + u"/b.mp3"_s));
  const ProgramRun refused = run({u"update"_s, u"1"_s});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(
      refused.err.contains("Más de la mitad de los archivos cambiaría: ¿es el disco "
                           "correcto?"));
  EXPECT_EQ(run({u"update"_s, u"1"_s, u"--force"_s}).exitCode, 0);
  EXPECT_EQ(run({u"list"_s}).out, "1\tDIR\t" + tree.toUtf8() + "\n");
  EXPECT_FALSE(run({u"show"_s, u"1"_s}).out.contains("b.mp3"));
}

TEST_F(CliUpdateTest, ASourceThatIsNotThereIsAskedForAndMayBeGivenWithFrom) {
  const QString moved = work + u"/Movido"_s;
  ASSERT_TRUE(QDir().rename(tree, moved));
  const ProgramRun missing = run({u"update"_s, u"1"_s});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.err.contains("Inserte el disco nº 1 «" + tree.toUtf8() + "»"));
  const ProgramRun given = run({u"update"_s, u"1"_s, u"--from"_s, moved});
  EXPECT_EQ(given.exitCode, 0) << given.err.toStdString();
  EXPECT_TRUE(given.err.contains("0 añadidos, 0 quitados, 0 cambiados, 3 sin cambios"));
}

namespace {

// Every row an update writes costs a nine-million-row join here, so the apply is caught while
// its transaction is open.
void slowDownEveryStoredFile(const QString& catalogue) {
  const QString name = u"lastre"_s;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
    db.setDatabaseName(catalogue);
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    for (const QString& statement :
         {u"CREATE TABLE lastre (x)"_s,
          u"INSERT INTO lastre WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
          u"WHERE x < 3000) SELECT x FROM c"_s,
          u"CREATE TRIGGER lento AFTER INSERT ON infoMP3 BEGIN SELECT count(*) FROM lastre a, "
          u"lastre b; END"_s}) {
      ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
    }
  }
  QSqlDatabase::removeDatabase(name);
}

}  // namespace

TEST_F(CliUpdateTest, AProcessKilledDuringTheApplyLeavesTheListingAsItWasAndFree) {
  writeMp3(tree + u"/Sub/d.mp3"_s);
  const QByteArray before = run({u"show"_s, u"1"_s}).out;
  slowDownEveryStoredFile(programFile("quillet.mdb"));
  QProcess update;
  update.setWorkingDirectory(work);
  update.start(program(), {u"update"_s, u"1"_s});
  ASSERT_TRUE(update.waitForStarted());
  // The rollback journal is there from the apply's first write to its commit.
  const QString journal = programFile("quillet.mdb-journal");
  QDeadlineTimer deadline(20000);
  while (!QFile::exists(journal) && update.state() == QProcess::Running && !deadline.hasExpired()) {
    QThread::msleep(5);
  }
  ASSERT_TRUE(QFile::exists(journal)) << update.readAllStandardError().toStdString();
  update.kill();
  ASSERT_TRUE(update.waitForFinished());

  EXPECT_EQ(run({u"show"_s, u"1"_s}).out, before);
  const ProgramRun again = run({u"update"_s, u"1"_s});
  EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
  EXPECT_TRUE(again.err.contains("1 añadidos, 0 quitados, 0 cambiados, 3 sin cambios"));
}
