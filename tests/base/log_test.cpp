#include "base/log.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "support/test_env.h"

using namespace Qt::StringLiterals;

TEST(WriteLog, LinesOfTwoProcessesSharingTheLogNeverMix) {
  constexpr int kLines = 400;
  const QString path = TestEnvironment::newTempDir() + u"/quillet.log"_s;
  const QString saved = LogFilePath();
  setLogFilePath(path);
  pid_t children[2] = {};
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      const QString line = QString(3000, c == 0 ? u'a' : u'b');
      for (int i = 0; i < kLines; ++i) {
        WriteLog(line);
      }
      ::_exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  setLogFilePath(saved);

  QList<QByteArray> lines = readFile(path).split('\n');
  ASSERT_EQ(lines.takeLast(), QByteArray());
  ASSERT_EQ(lines.size(), 2 * kLines);
  int counts[2] = {};
  for (const QByteArray& line : lines) {
    const bool isA = line == QByteArray(3000, 'a') + '\r';
    const bool isB = line == QByteArray(3000, 'b') + '\r';
    ASSERT_TRUE(isA || isB) << "a mixed line of " << line.size() << " bytes";
    ++counts[isA ? 0 : 1];
  }
  EXPECT_EQ(counts[0], kLines);
  EXPECT_EQ(counts[1], kLines);
}

// The file stays open between lines; one removed meanwhile is made again, so no line goes to
// the removed one.
TEST(WriteLog, ALogFileRemovedBetweenLinesIsMadeAgain) {
  const QString path = TestEnvironment::newTempDir() + u"/quillet.log"_s;
  const QString saved = LogFilePath();
  setLogFilePath(path);
  WriteLog(u"uno"_s);
  ASSERT_TRUE(QFile::remove(path));
  WriteLog(u"dos"_s);
  setLogFilePath(saved);
  EXPECT_EQ(readFile(path), QByteArray("dos\r\n"));
}
