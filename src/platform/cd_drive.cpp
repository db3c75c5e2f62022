#include "platform/cd_drive.h"

#include "platform/volume_label.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

#include <optional>
#include <set>

using namespace Qt::StringLiterals;

namespace {

struct MountEntry {
  QString source;
  QString mountPoint;
};

CdDriveSources& installedSources() {
  static CdDriveSources sources = systemCdDriveSources();
  return sources;
}

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

QList<MountEntry> readMountTable(const QString& path) {
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
    return {};
  }
  QList<MountEntry> entries;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() >= 2) {
      entries.append({unescapeMountField(fields[0]), unescapeMountField(fields[1])});
    }
  }
  return entries;
}

// Only a path names a device; "proc", "tmpfs" and the like do not, wherever the program runs.
bool isDevicePath(const QString& source) {
  return QDir::isAbsolutePath(source);
}

// Links are followed, so /dev/cdrom names the sr device it points at.
QString resolvedPath(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

QString withFinalSlash(const QString& path) {
  return path.endsWith(u'/') ? path : path + u'/';
}

// "sr" and the drive's number as the kernel gives it, without leading zeros.
std::optional<int> driveNumber(const QString& name) {
  static const QRegularExpression pattern(u"^sr(0|[1-9][0-9]{0,5})$"_s);
  const QRegularExpressionMatch match = pattern.match(name);
  return match.hasMatch() ? std::optional(match.captured(1).toInt()) : std::nullopt;
}

void collectDriveNumbers(const QString& dir, std::set<int>& numbers) {
  if (dir.isEmpty()) {
    return;
  }
  const QDir::Filters filter = QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot;
  for (const QString& name : QDir(dir).entryList(filter)) {
    if (const std::optional<int> number = driveNumber(name)) {
      numbers.insert(*number);
    }
  }
}

QStringList opticalDevices(const CdDriveSources& sources) {
  std::set<int> numbers;
  collectDriveNumbers(sources.deviceDir, numbers);
  collectDriveNumbers(sources.sysBlockDir, numbers);
  QStringList devices;
  for (const int number : numbers) {
    devices.append(QDir(sources.deviceDir).filePath(u"sr"_s + QString::number(number)));
  }
  return devices;
}

// The first mount of the device, in mount-table order; empty when it is not mounted.
QString mountPointOf(const QString& device, const QList<MountEntry>& mounts) {
  const QString target = resolvedPath(device);
  for (const MountEntry& mount : mounts) {
    if (isDevicePath(mount.source) && resolvedPath(mount.source) == target) {
      return mount.mountPoint;
    }
  }
  return {};
}

}  // namespace

CdDriveSources systemCdDriveSources() {
  return {u"/proc/self/mounts"_s, u"/dev"_s, u"/sys/block"_s};
}

void setCdDriveSources(const CdDriveSources& sources) {
  installedSources() = sources;
}

CdDrive findCdDrive() {
  const CdDriveSources& sources = installedSources();
  const QStringList devices = opticalDevices(sources);
  if (devices.isEmpty()) {
    return {};
  }
  const QList<MountEntry> mounts = readMountTable(sources.mountTable);
  for (const QString& device : devices) {
    const QString mountPoint = mountPointOf(device, mounts);
    if (!mountPoint.isEmpty()) {
      return {CdDriveState::Mounted, device, withFinalSlash(mountPoint)};
    }
  }
  return {CdDriveState::NoDisc, devices.first(), withFinalSlash(devices.first())};
}

QString GetVolumeLabel(const QString& driveRoot) {
  if (driveRoot.isEmpty()) {
    return {};
  }
  const QString mountPoint = QDir::cleanPath(driveRoot);
  const QList<MountEntry> mounts = readMountTable(installedSources().mountTable);
  // A later mount on the same point hides the earlier ones.
  for (auto mount = mounts.crbegin(); mount != mounts.crend(); ++mount) {
    if (QDir::cleanPath(mount->mountPoint) == mountPoint) {
      return isDevicePath(mount->source) ? volumeLabelOfDevice(mount->source) : QString();
    }
  }
  return {};
}
