#include "platform/cd_drive.h"

#include "platform/mount_table.h"
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

CdDriveSources& installedSources() {
  static CdDriveSources sources = systemCdDriveSources();
  return sources;
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

namespace {

MountedVolume volumeOf(const MountEntry& mount) {
  MountedVolume mounted{QDir::cleanPath(mount.mountPoint), {}};
  if (isDevicePath(mount.source)) {
    mounted.volume = volumeIdentityOfDevice(mount.source, u"/dev/disk/by-uuid"_s);
  }
  if (mounted.volume.type.isEmpty()) {
    mounted.volume.type = mount.type;
  }
  return mounted;
}

}  // namespace

MountedVolume volumeHolding(const QString& path) {
  const QList<MountEntry> mounts = readMountTable(installedSources().mountTable);
  const MountEntry* mount = mountHolding(mounts, path);
  return mount ? volumeOf(*mount) : MountedVolume();
}

QList<MountedVolume> mountedVolumes() {
  QList<MountedVolume> volumes;
  for (const MountEntry& mount : readMountTable(installedSources().mountTable)) {
    if (isDevicePath(mount.source)) {
      volumes.append(volumeOf(mount));
    }
  }
  return volumes;
}

MountedVolume mountedVolumeWithUuid(const QString& uuid) {
  // Only devices are read: a volume is found by what its device says, never by its name.
  for (const MountedVolume& mounted : mountedVolumes()) {
    if (!uuid.isEmpty() && mounted.volume.uuid == uuid) {
      return mounted;
    }
  }
  return {};
}
