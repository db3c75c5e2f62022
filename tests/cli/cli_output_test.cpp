#include <QDir>

#include <sys/mount.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstring>

#include "cli/cli_program_fixture.h"

using namespace Qt::StringLiterals;

namespace {

class CliOutputTest : public CliProgramTest {
 protected:
  QByteArray listing() {
    const ProgramRun result = run({u"scan"_s, tree});
    EXPECT_EQ(result.exitCode, 0);
    return result.out;
  }
};

}  // namespace

TEST_F(CliOutputTest, DashIsStandardOutput) {
  const ProgramRun result = run({u"scan"_s, tree, u"--output"_s, u"-"_s});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, listing());
  EXPECT_FALSE(QFile::exists(work + u"/-"_s));
}

TEST_F(CliOutputTest, FifoIsWrittenIntoAndStaysAFifo) {
  const QString fifo = work + u"/pipe"_s;
  makeFifo(fifo);
  QProcess reader;
  reader.start(u"cat"_s, {fifo});
  ASSERT_TRUE(reader.waitForStarted());
  const ProgramRun result = run({u"scan"_s, tree, u"--output"_s, fifo});
  ASSERT_TRUE(reader.waitForFinished(30000));
  EXPECT_EQ(result.exitCode, 0) << result.err.constData();
  EXPECT_EQ(reader.readAllStandardOutput(), listing());
  struct stat status {};
  ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST_F(CliOutputTest, FullDiskFailsWithOneAndLeavesTheOldFileWhole) {
  const QString disk = work + u"/disk"_s;
  makeDirectory(disk);
  if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
  }
  const QString old = disk + u"/out.txt"_s;
  writeFile(old, "the old listing");
  QFile filler(disk + u"/filler"_s);
  ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
  while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
  }
  filler.close();
  const ProgramRun result = run({u"scan"_s, tree, u"--output"_s, old});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "quillet: no se puede escribir " + QFile::encodeName(old) +
                            ": no queda espacio en el dispositivo\n");
  EXPECT_EQ(readFile(old), "the old listing");
  EXPECT_EQ(QDir(disk).entryList(QDir::Files | QDir::Hidden),
            QStringList({u"filler"_s, u"out.txt"_s}));
  EXPECT_EQ(::umount2(QFile::encodeName(disk).constData(), MNT_DETACH), 0);
}
