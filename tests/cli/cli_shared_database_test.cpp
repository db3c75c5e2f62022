#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <memory>
#include <set>
#include <vector>

#include "cli/cli_program_fixture.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

// Several copies of the command line working on one database at the same time, as a script
// and the desktop program would, or several computers: on a file and on the server.
class CliSharedDatabaseTest : public CliProgramTest, public testing::WithParamInterface<Engine> {
 protected:
  void SetUp() override {
    CliProgramTest::SetUp();
    if (GetParam() == Engine::Server) {
      REQUIRE_TEST_SERVER();
      server_ = std::make_unique<ServerDatabase>();
      writeFile(programFile("config.ini"), "[log]\r\nlogfile=cli.log\r\n[bd]\r\ncadcon=" +
                                               server_->cadcon().toUtf8() + "\r\n");
    }
  }

  struct Running {
    QStringList arguments;
    std::unique_ptr<QProcess> process;
  };

  void start(const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(work);
    process->start(program(), arguments);
    running_.push_back({arguments, std::move(process)});
  }

  // Waits for everything started; each result in start order.
  std::vector<ProgramRun> finishAll() {
    std::vector<ProgramRun> results;
    for (Running& r : running_) {
      EXPECT_TRUE(r.process->waitForFinished(60000)) << r.arguments.join(u' ').toStdString();
      results.push_back(
          {r.process->exitStatus() == QProcess::NormalExit ? r.process->exitCode() : -1,
           r.process->readAllStandardOutput(), r.process->readAllStandardError()});
    }
    running_.clear();
    return results;
  }

  static int storedNumber(const ProgramRun& run) {
    static const QRegularExpression number(u"con el número (\\d+)"_s);
    const QRegularExpressionMatch match = number.match(QString::fromUtf8(run.err));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
  }

  // Every store of the tree got its own number: {number: exit code 0 and a number}.
  std::set<int> storedNumbers(const std::vector<ProgramRun>& runs, std::size_t count) {
    std::set<int> numbers;
    for (std::size_t i = 0; i < count; ++i) {
      EXPECT_EQ(runs[i].exitCode, 0) << runs[i].err.constData();
      numbers.insert(storedNumber(runs[i]));
    }
    return numbers;
  }

  QStringList rows(const QString& sql) const {
    return server_ ? server_->rows(sql) : queryRows(programFile("quillet.mdb"), sql);
  }

  // A tree large enough that stores started together overlap: 20 directories of 30 files.
  void makeLargeTree() {
    for (int d = 0; d < kDirectories; ++d) {
      for (int f = 0; f < kFilesPerDirectory; ++f) {
        writeMp3(u"%1/d%2/f%3.mp3"_s.arg(tree).arg(d).arg(f),
                 id3v1Block({.title = "Song", .year = "2001"}));
      }
    }
  }

  static constexpr int kDirectories = 20;
  static constexpr int kFilesPerDirectory = 30;
  std::vector<Running> running_;
  std::unique_ptr<ServerDatabase> server_;
};

INSTANTIATE_ON_BOTH_ENGINES(CliSharedDatabaseTest);

// A file's own lock.
class CliSharedFileTest : public CliSharedDatabaseTest {};
INSTANTIATE_TEST_SUITE_P(Engines, CliSharedFileTest, testing::Values(Engine::File), engineName);

// Each stored listing has one reports row and every directory and file of the tree.
QStringList completeRows(const std::set<int>& numbers, int directories, int files) {
  QStringList expected;
  for (int n : numbers) {
    expected.append(u"%1|1|%2|%3"_s.arg(n).arg(directories).arg(files));
  }
  return expected;
}

const QString kRowCounts =
    u"select r.rp_id, count(*), (select count(*) from estructdir d where "
    u"d.rp_id=r.rp_id), (select count(*) from infoMP3 f where f.rp_id=r.rp_id) from reports r "
    u"group by r.rp_id order by r.rp_id"_s;

}  // namespace

TEST_P(CliSharedDatabaseTest, StoresDeletesAndReadersAtOnceEachSucceedWhole) {
  constexpr std::size_t kFirstStores = 4;
  constexpr std::size_t kStores = 8;
  makeLargeTree();

  // Started together on a missing (or empty) database: the template copy, or the server's
  // tables, are made once and the stores share them.
  for (std::size_t i = 0; i < kFirstStores; ++i) {
    start({u"scan"_s, tree, u"--store"_s});
  }
  const std::set<int> first = storedNumbers(finishAll(), kFirstStores);
  EXPECT_EQ(first, std::set<int>({1, 2, 3, 4}));
  const ProgramRun shownBefore = run({u"show"_s, u"4"_s});
  ASSERT_EQ(shownBefore.exitCode, 0);

  for (std::size_t i = 0; i < kStores; ++i) {
    start({u"scan"_s, tree, u"--store"_s});
  }
  for (const QString& n : {u"1"_s, u"2"_s, u"3"_s}) {
    start({u"delete"_s, n});
  }
  start({u"show"_s, u"4"_s});
  start({u"list"_s});
  start({u"show"_s, u"4"_s});
  start({u"list"_s});
  const std::vector<ProgramRun> results = finishAll();

  const std::set<int> stored = storedNumbers(results, kStores);
  EXPECT_EQ(stored.size(), kStores);
  EXPECT_EQ(*stored.begin(), 5);
  EXPECT_EQ(*stored.rbegin(), 12);
  for (std::size_t i = kStores; i < results.size(); ++i) {
    EXPECT_EQ(results[i].exitCode, 0) << results[i].err.constData();
  }
  EXPECT_EQ(results[kStores + 3].out, shownBefore.out);
  EXPECT_EQ(results[kStores + 5].out, shownBefore.out);
  // A list taken while the deletes run may still name some of 1 to 3, but always 4.
  EXPECT_TRUE(
      ("\n" + results[kStores + 4].out).contains("\n4\tDIR\t" + QFile::encodeName(tree) + "\n"))
      << results[kStores + 4].out.constData();

  std::set<int> kept = stored;
  kept.insert(4);
  // The fixture's tree and its Sub directory hold three files besides the large part.
  EXPECT_EQ(rows(kRowCounts),
            completeRows(kept, kDirectories + 2, kDirectories * kFilesPerDirectory + 3));
  EXPECT_EQ(rows(u"select count(*) from estructdir where rp_id<4 union all "
                 u"select count(*) from infoMP3 where rp_id<4"_s),
            QStringList({u"0"_s, u"0"_s}));
  if (!server_) {
    EXPECT_EQ(rows(u"pragma integrity_check"_s), QStringList({u"ok"_s}));
  }

  // Every line of the shared log reached it whole.
  for (const QByteArray& line : log().split('\n')) {
    EXPECT_TRUE(line.isEmpty() || (line.endsWith('\r') && line.indexOf('\r') == line.size() - 1))
        << line.constData();
  }
}

TEST_P(CliSharedFileTest, StoreWaitsForAnotherWriterThenSaysTheDatabaseIsBusy) {
  ASSERT_EQ(run({u"scan"_s, tree, u"--store"_s}).exitCode, 0);
  writeFile(programFile("config.ini"),
            "[log]\r\nlogfile=cli.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;"
            "QSQLITE_BUSY_TIMEOUT=300;\r\n");
  QSqlDatabase locker = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"cli-locker"_s);
  {
    locker.setDatabaseName(programFile("quillet.mdb"));
    ASSERT_TRUE(locker.open());
    QSqlQuery lock(locker);
    ASSERT_TRUE(lock.exec(u"BEGIN IMMEDIATE"_s));
    const ProgramRun store = run({u"scan"_s, tree, u"--store"_s});
    EXPECT_EQ(store.exitCode, 1);
    EXPECT_EQ(store.err,
              "quillet: no se ha podido almacenar el listado en la base de datos: La BD está "
              "ocupada: otro programa la está modificando y no ha terminado en 300 "
              "milisegundos\n");
    EXPECT_EQ(store.out, QByteArray());
    // Readers are not held up by a writer that has not committed.
    const ProgramRun list = run({u"list"_s});
    EXPECT_EQ(list.exitCode, 0) << list.err.constData();
    EXPECT_TRUE(list.out.startsWith("1\tDIR\t"));
    lock.exec(u"ROLLBACK"_s);
    locker.close();
  }
  locker = QSqlDatabase();
  QSqlDatabase::removeDatabase(u"cli-locker"_s);
  EXPECT_EQ(rows(u"select count(*) from reports"_s), QStringList({u"1"_s}));
}
