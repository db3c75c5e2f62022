#include "base/app_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

#include <unistd.h>

#include "base/ini_reader.h"

using namespace Qt::StringLiterals;

namespace {

QString versionNumbers() {
  return u"%1.%2.%3"_s.arg(QUILLET_VERSION_MAJOR)
      .arg(QUILLET_VERSION_MINOR)
      .arg(QUILLET_VERSION_PATCH);
}

QString& programDirOverride() {
  static QString dir;
  return dir;
}

// The decision of FilesDir(), made on first use and again whenever the program directory moves.
std::optional<QString>& decidedFilesDir() {
  static std::optional<QString> dir;
  return dir;
}

// access() asks the kernel, so read-only mounts, ACLs and root's rights all count as they do
// for the writes themselves.
bool userCanWrite(const QString& dir) {
  return ::access(QFile::encodeName(dir).constData(), W_OK | X_OK) == 0;
}

QString userDataPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Quillet"_s;
}

QString userDataDir() {
  const QString dir = userDataPath();
  // A failure shows up where the files are written, each with its own message.
  QDir().mkpath(dir);
  return dir;
}

}  // namespace

QString AppTitle() {
  return u"Quillet v."_s + versionNumbers();
}

QString VersionText() {
  return u"Quillet v"_s + versionNumbers();
}

QString ProgramDir() {
  const QString& dir = programDirOverride();
  return dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir;
}

QString ProgramFile(const QString& name) {
  return ProgramDir() + u'/' + name;
}

QString FilesDir() {
  if (!decidedFilesDir()) {
    const QString program = ProgramDir();
    decidedFilesDir() = userCanWrite(program) ? program : userDataDir();
  }
  return *decidedFilesDir();
}

QString UserFile(const QString& name) {
  return FilesDir() + u'/' + name;
}

bool FilesLiveApart() {
  return FilesDir() != ProgramDir();
}

QString UserConfigIniPath() {
  return userDataPath() + u"/config.ini"_s;
}

QString ReadConfig(const QString& section, const QString& key) {
  if (std::optional<QString> own = ReadIniEntry(section, key, UserConfigIniPath())) {
    return *own;
  }
  return ReadIni(section, key, ProgramFile(u"config.ini"_s));
}

void setProgramDir(const QString& dir) {
  programDirOverride() = QDir::cleanPath(dir);
  decidedFilesDir().reset();
}
