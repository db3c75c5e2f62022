#include <QFileInfo>

#include "base/app_info.h"
#include "base/log.h"
#include "db/mod_bd.h"
#include "session/lifecycle.h"
#include "support/listing_db_fixture.h"
#include "support/read_only_dir.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kConfig = "[log]\r\nlogfile=quillet.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;\r\n";

// A program directory the user cannot write, with what ships in it, and a data directory.
class ReadOnlyProgramDir : public testing::Test {
 protected:
  ReadOnlyProgramDir()
      : root_(TestEnvironment::newTempDir()),
        dataHome_("XDG_DATA_HOME", QFile::encodeName(root_ + u"/data"_s)),
        program_(root_ + u"/program"_s,
                 {{u"config.ini"_s, kConfig},
                  {u"bd-acces2k.blank"_s,
                   readFile(QStringLiteral(QUILLET_BIN_DIR) + u"/bd-acces2k.blank"_s)}}) {
    setProgramDir(program_.path());
  }
  ~ReadOnlyProgramDir() override { setProgramDir(TestEnvironment::programDir()); }

  QString userDir() const { return root_ + u"/data/Quillet"_s; }

  QString root_;
  ScopedEnv dataHome_;
  ReadOnlyDir program_;
};

}  // namespace

TEST(FilesDir, WritableProgramDirectoryHoldsEverythingAsBefore) {
  const QString dir = TestEnvironment::newTempDir();
  setProgramDir(dir);
  EXPECT_EQ(FilesDir(), dir);
  EXPECT_FALSE(FilesLiveApart());
  EXPECT_EQ(UserFile(u"quillet.mdb"_s), dir + u"/quillet.mdb"_s);
  writeFile(dir + u"/config.ini"_s, kConfig);
  EXPECT_EQ(ReadConfig(u"bd"_s, u"cadcon"_s), u"Provider=QSQLITE;"_s);
  LogRecorder log;
  LogWhereFilesLive();
  EXPECT_TRUE(log.lines.isEmpty());
  setProgramDir(TestEnvironment::programDir());
}

TEST_F(ReadOnlyProgramDir, WritesGoToTheUsersDataDirectoryWhichIsCreated) {
  EXPECT_EQ(FilesDir(), userDir());
  EXPECT_TRUE(QFileInfo(userDir()).isDir());
  EXPECT_TRUE(FilesLiveApart());
  EXPECT_EQ(UserFile(u"lista.txt"_s), userDir() + u"/lista.txt"_s);
  // What ships is still read from the program directory.
  EXPECT_EQ(ProgramFile(u"history.html"_s), program_.path() + u"/history.html"_s);
  EXPECT_EQ(ReadConfig(u"log"_s, u"logfile"_s), u"quillet.log"_s);
}

TEST_F(ReadOnlyProgramDir, LogAndDatabaseLiveInTheDataDirectoryAndTheLogSaysSo) {
  LogRecorder log;
  UseConfiguredLogFile();
  EXPECT_EQ(LogFilePath(), userDir() + u"/quillet.log"_s);
  LogWhereFilesLive();
  ASSERT_EQ(log.lines.size(), 1);
  EXPECT_TRUE(log.lines[0].contains(userDir())) << log.lines[0].toStdString();
  EXPECT_TRUE(log.lines[0].contains(program_.path()));
  ASSERT_EQ(OpenBdAtStartUp(), QString());
  CloseBd();
  EXPECT_EQ(BdPath(), userDir() + u"/quillet.mdb"_s);
  EXPECT_TRUE(QFileInfo(userDir() + u"/quillet.mdb"_s).isWritable());
  EXPECT_FALSE(QFileInfo::exists(program_.path() + u"/quillet.mdb"_s));
  EXPECT_TRUE(readFile(LogFilePath()).contains("Conectando con"));
}

TEST_F(ReadOnlyProgramDir, ConfigIniTheUserPutsInTheDataDirectoryWins) {
  writeFile(UserFile(u"config.ini"_s), "[log]\r\nlogfile=propio.log\r\n");
  EXPECT_EQ(UserConfigIniPath(), userDir() + u"/config.ini"_s);
  UseConfiguredLogFile();
  EXPECT_EQ(LogFilePath(), userDir() + u"/propio.log"_s);
}

TEST(UserConfigIni, IsReadKeyByKeyBeforeTheShippedOneWhereverTheFilesLive) {
  const QString dir = TestEnvironment::newTempDir();
  setProgramDir(dir);
  writeFile(dir + u"/config.ini"_s, kConfig);
  ASSERT_FALSE(FilesLiveApart());
  // Only the catalogue's connection of the user's own: the shipped log setting stays.
  writeFile(UserConfigIniPath(), "[BD]\r\ncadcon = \"Provider=QPSQL;Database=casa;\"\r\n");
  EXPECT_EQ(ReadConfig(u"bd"_s, u"cadcon"_s), u"Provider=QPSQL;Database=casa;"_s);
  EXPECT_EQ(ReadConfig(u"log"_s, u"logfile"_s), u"quillet.log"_s);
  // A key the user empties is the user's choice, not a missing one.
  writeFile(UserConfigIniPath(), "[log]\r\nlogfile=\r\n");
  EXPECT_EQ(ReadConfig(u"log"_s, u"logfile"_s), QString());
  EXPECT_EQ(ReadConfig(u"bd"_s, u"cadcon"_s), u"Provider=QSQLITE;"_s);
  QFile::remove(UserConfigIniPath());
  setProgramDir(TestEnvironment::programDir());
}

TEST(FilesDirWithoutXdgDataHome, FallsBackToLocalShareUnderHome) {
  const QString home = TestEnvironment::newTempDir();
  const ScopedEnv homeEnv("HOME", QFile::encodeName(home));
  const ScopedEnv dataHome("XDG_DATA_HOME", QByteArray());
  const ReadOnlyDir program(home + u"/program"_s, {});
  setProgramDir(program.path());
  EXPECT_EQ(FilesDir(), home + u"/.local/share/Quillet"_s);
  setProgramDir(TestEnvironment::programDir());
}
