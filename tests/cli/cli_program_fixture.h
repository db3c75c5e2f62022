#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include "support/fixtures.h"
#include "support/test_env.h"

struct ProgramRun {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

// Runs a copy of the built program from a program directory of its own, with the blank database
// template and a config.ini naming its log and the SQLite provider, so its log and database are
// the test's; the settings store is the test process's temporary one. A small tree of MP3 files
// waits in the working directory.
class CliProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    programDir = TestEnvironment::newTempDir() + QStringLiteral("/program");
    makeDirectory(programDir);
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLET_BIN_DIR "/quillet"), program()));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLET_BIN_DIR "/bd-acces2k.blank"),
                            programFile("bd-acces2k.blank")));
    writeFile(programFile("config.ini"),
              "[log]\r\nlogfile=cli.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;\r\n");
    work = TestEnvironment::newTempDir();
    tree = work + QStringLiteral("/Tree");
    writeMp3(tree + QStringLiteral("/b.mp3"), id3v1Block({.title = "Bee & <i>", .year = "1999"}));
    writeMp3(tree + QStringLiteral("/A.mp3"));
    writeMp3(tree + QStringLiteral("/Sub/c.MP3"), id3v1Block({.title = "Ce"}));
    writeFile(tree + QStringLiteral("/notes.txt"), "plain");
  }

  QString program() const { return programFile("quillet"); }
  QString programFile(const char* name) const {
    return programDir + u'/' + QString::fromLatin1(name);
  }

  ProgramRun run(const QStringList& arguments) const {
    QProcess process;
    process.setWorkingDirectory(work);
    process.start(program(), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
  }

  QByteArray log() const { return readFile(programFile("cli.log")); }

  QString programDir;
  QString work;
  QString tree;
};
