#include "support/listing_db_fixture.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include "base/app_info.h"
#include "base/log.h"
#include "db/catalogue_copy.h"
#include "db/db_connection.h"
#include "db/mod_bd.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

QString installProgramFiles(const QString& cadcon) {
  const QString dir = TestEnvironment::newTempDir();
  setProgramDir(dir);
  setLogFilePath(dir + u"/quillet.log"_s);
  writeFile(dir + u"/config.ini"_s,
            "[log]\r\nlogfile=quillet.log\r\n[bd]\r\ncadcon=" + cadcon.toUtf8() + "\r\n");
  EXPECT_TRUE(QFile::copy(QStringLiteral(QUILLET_BIN_DIR) + u"/bd-acces2k.blank"_s,
                          dir + u"/bd-acces2k.blank"_s));
  return dir;
}

std::unique_ptr<ListingModel> makeListing(const QString& name, quint8 medium,
                                          const std::vector<int>& filesPerDirectory) {
  auto model = std::make_unique<ListingModel>();
  model->FinalName = name;
  model->FinalType = medium;
  int song = 0;
  for (std::size_t d = 1; d <= filesPerDirectory.size(); ++d) {
    DirRecord& dir = model->directorySlot(static_cast<int>(d));
    dir.dirname = u"/music/dir%1"_s.arg(d);
    dir.songfrom = song + 1;
    for (int order = 1; order <= filesPerDirectory[d - 1]; ++order) {
      SongRecord& record = model->songSlot(++song);
      record = {u"album%1"_s.arg(song),
                u"artist%1"_s.arg(song),
                u"comment%1"_s.arg(song),
                u"Rock"_s,
                u"title%1"_s.arg(song),
                QString::number(order),
                u"1999"_s,
                u"%1-%2.mp3"_s.arg(d).arg(order),
                QString::number(order)};
    }
    dir.songto = song;
  }
  model->NumDirectoriosMP3 = static_cast<int>(filesPerDirectory.size());
  model->DirActualNum = model->NumDirectoriosMP3;
  model->NumCancionesMP3 = song;
  model->CancionActualNum = song + 1;
  return model;
}

LogRecorder::LogRecorder() {
  setLogListSink([this](const QString& line) { lines.append(line); });
}

LogRecorder::~LogRecorder() {
  setLogListSink({});
}

StatementRecorder::StatementRecorder() {
  setStatementHook([this](const QString& sql) { statements.append(sql); });
}

StatementRecorder::~StatementRecorder() {
  setStatementHook({});
}

QStringList queryRows(const QString& databasePath, const QString& sql) {
  static int counter = 0;
  const QString name = u"test-reader-%1"_s.arg(++counter);
  QStringList result;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
    db.setDatabaseName(databasePath);
    EXPECT_TRUE(db.open());
    QSqlQuery query(db);
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
    while (query.next()) {
      QStringList values;
      for (int i = 0; i < query.record().count(); ++i) {
        values.append(query.value(i).toString());
      }
      result.append(values.join(u'|'));
    }
  }
  QSqlDatabase::removeDatabase(name);
  return result;
}

void BdTest::SetUp() {
  openOn(Engine::File);
}

void BdTest::openOn(Engine engine) {
  if (engine == Engine::Server) {
    server_ = std::make_unique<ServerDatabase>();
  }
  programDir_ = server_ ? installProgramFiles(server_->cadcon()) : installProgramFiles();
  ASSERT_EQ(OpenBd(), QString());
}

void BdTest::TearDown() {
  CloseBd();
  server_.reset();
}

QStringList BdTest::rows(const QString& sql) const {
  return server_ ? server_->rows(sql) : queryRows(BdPath(), sql);
}

void EngineBdTest::SetUp() {
  if (GetParam() == Engine::Server) {
    REQUIRE_TEST_SERVER();
  }
  openOn(GetParam());
}

std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
  return info.param == Engine::Server ? "Server" : "File";
}

std::vector<CopiedListing> copyEveryListingTo(const QString& target) {
  DbConnection copy;
  EXPECT_EQ(openCopyTarget(copy, u"Provider=QSQLITE;Data Source="_s + target), QString());
  QString reason;
  std::vector<CopiedListing> copied;
  EXPECT_TRUE(copyCatalogue(
      BdConnection(), copy, [&copied](const CopiedListing& one) { copied.push_back(one); }, reason))
      << reason.toStdString();
  return copied;
}
