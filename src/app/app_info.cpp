#include "app/app_info.h"

#include <QCoreApplication>
#include <QDir>

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

void setProgramDir(const QString& dir) {
  programDirOverride() = QDir::cleanPath(dir);
}
