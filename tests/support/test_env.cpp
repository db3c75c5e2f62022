#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "base/app_info.h"
#include "base/log.h"
#include "session/catalogue_composition.h"
#include "session/lifecycle.h"

using namespace Qt::StringLiterals;

std::unique_ptr<QTemporaryDir>& TestEnvironment::root() {
  static std::unique_ptr<QTemporaryDir> dir;
  return dir;
}

void TestEnvironment::install() {
  root() = std::make_unique<QTemporaryDir>(QDir::tempPath() + u"/quillet-test-XXXXXX"_s);
  const QString base = root()->path();
  QDir(base).mkpath(u"program"_s);
  QDir(base).mkpath(u"config"_s);
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + u"/config"_s));
  // Where the program's files would go when its directory cannot be written.
  qputenv("XDG_DATA_HOME", QFile::encodeName(base + u"/data"_s));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  setProgramDir(programDir());
  setLogFilePath(programDir() + u"/test.log"_s);
  // A shutdown that really ended the process would make a test pass silently with exit code 0.
  setProcessEnd([] { ADD_FAILURE() << "the program tried to end the test process"; });
  composeCatalogue();
}

QString TestEnvironment::programDir() {
  return root()->path() + u"/program"_s;
}

QString TestEnvironment::newTempDir() {
  static int counter = 0;
  const QString path = root()->path() + u"/tmp%1"_s.arg(++counter);
  QDir().mkpath(path);
  return path;
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

namespace {
const QRegularExpression& elapsedSeconds() {
  static const QRegularExpression seconds(u"\\d+ segundos\\.\\.\\."_s);
  return seconds;
}
}  // namespace

QByteArray maskElapsedSeconds(const QByteArray& log) {
  // Latin-1 keeps every byte of the 8-bit log as it is.
  return QString::fromLatin1(log).replace(elapsedSeconds(), u"N segundos..."_s).toLatin1();
}

QStringList maskElapsedSeconds(const QStringList& lines) {
  QStringList masked = lines;
  masked.replaceInStrings(elapsedSeconds(), u"N segundos..."_s);
  return masked;
}
