#include "platform/mount_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

// The kernel writes blanks, tabs, newlines and backslashes in a field as "\" and three octal
// digits; this is the byte such an escape at field[at] stands for.
std::optional<char> escapedByteAt(QByteArrayView field, qsizetype at) {
  if (field[at] != '\\' || at + 3 >= field.size()) {
    return std::nullopt;
  }
  int value = 0;
  for (qsizetype i = at + 1; i <= at + 3; ++i) {
    if (field[i] < '0' || field[i] > '7') {
      return std::nullopt;
    }
    value = value * 8 + (field[i] - '0');
  }
  return value <= 0xFF ? std::optional(char(value)) : std::nullopt;
}

QString unescapeMountField(QByteArrayView field) {
  QByteArray bytes;
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (const std::optional<char> escaped = escapedByteAt(field, i)) {
      bytes += *escaped;
      i += 3;
    } else {
      bytes += field[i];
    }
  }
  return QFile::decodeName(bytes);
}

bool holds(const QString& mountPoint, const QString& path) {
  const QString point = QDir::cleanPath(mountPoint);
  return path == point || point == QStringLiteral("/") || path.startsWith(point + u'/');
}

}  // namespace

QList<MountEntry> readMountTable(const QString& path) {
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
    return {};
  }
  QList<MountEntry> entries;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() >= 2) {
      entries.append({unescapeMountField(fields[0]), unescapeMountField(fields[1]),
                      fields.size() >= 3 ? unescapeMountField(fields[2]) : QString()});
    }
  }
  return entries;
}

bool isDevicePath(const QString& source) {
  return QDir::isAbsolutePath(source);
}

QString resolvedPath(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

const MountEntry* mountHolding(const QList<MountEntry>& mounts, const QString& path) {
  const QString target = resolvedPath(path);
  const MountEntry* best = nullptr;
  for (const MountEntry& mount : mounts) {
    // A later mount on the same point hides the earlier ones.
    if (holds(mount.mountPoint, target) &&
        (!best ||
         QDir::cleanPath(mount.mountPoint).size() >= QDir::cleanPath(best->mountPoint).size())) {
      best = &mount;
    }
  }
  return best;
}
