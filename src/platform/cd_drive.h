#pragma once

#include <QString>

#include "platform/volume_identity.h"

// The CD drive and its disc on Linux. The optical drives are the kernel's sr devices, taken in
// number order (sr0, sr1, ..., sr10); the drive scanned is the first of them that the mount
// table mounts, and its mount point is the drive root. Mount-table sources are matched through
// links, so /dev/cdrom or /dev/disk/by-label/... name the drive they point at.
//
// Tests stand up drives of their own: a device directory whose sr files are image files, a
// mount table file that mounts them, and an empty block directory. The label is then read from
// the image, exactly as it would be from a real device.

struct CdDriveSources {
  /** Lines "source mount-point type options ..." with blanks written \040, as the kernel
   *  writes /proc/self/mounts. */
  QString mountTable;
  /** Holds the device nodes sr0, sr1, ... (/dev). */
  QString deviceDir;
  /** The kernel's block devices (/sys/block): a drive listed there counts even without its
   *  node, which is then expected in deviceDir. */
  QString sysBlockDir;
};

/** /proc/self/mounts, /dev and /sys/block. */
CdDriveSources systemCdDriveSources();

/** Replaces the sources that findCdDrive and GetVolumeLabel read (tests); passing
 *  systemCdDriveSources() brings back the real ones. */
void setCdDriveSources(const CdDriveSources& sources);

enum class CdDriveState {
  /** The machine has no optical drive: the scan reports that no CD drive was found. */
  NoDrive,
  /** There are drives but none has a mounted disc. */
  NoDisc,
  /** The drive's disc is mounted at root. */
  Mounted,
};

struct CdDrive {
  CdDriveState state = CdDriveState::NoDrive;
  /** The drive's device path as found in deviceDir ("/dev/sr0"); empty for NoDrive. */
  QString device;
  /**
   * The drive text a CD scan logs, roots its tree at (the key is this text without its final
   * "/") and walks. Mounted: the mount point with a final "/" ("/media/cdrom/"). NoDisc: the
   * first drive's device path with a final "/" ("/dev/sr0/"), a path that is never a
   * directory, so the walk logs its one "Buscando en " line and finds nothing, and
   * GetVolumeLabel gives empty text. NoDrive: empty; do not walk it.
   */
  QString root;
};

/** The drive a CD scan uses, read from the installed sources. */
CdDrive findCdDrive();

/**
 * The volume label of the disc mounted at driveRoot (with or without its final "/"): the
 * label of the file system on the device the mount table mounts there (see volume_label.h),
 * trimmed and cut at its first NUL. Empty text when nothing is mounted there, the source is
 * not a device path, or the device cannot be read.
 */
QString GetVolumeLabel(const QString& driveRoot);

/** A mounted file system: where it is mounted and what it is. */
struct MountedVolume {
  QString mountPoint;  // empty when no mount holds the path
  VolumeIdentity volume;
};

/**
 * The file system that holds path (the disc at a drive root, the disk under a folder), from the
 * installed mount table; its type comes from the table, and its UUID from udev's links, when the
 * device cannot be read.
 */
MountedVolume volumeHolding(const QString& path);

/** Every device the installed mount table mounts, with its identity, in the table's order. */
QList<MountedVolume> mountedVolumes();

/** The first mounted volume whose UUID is uuid, from the installed mount table; null when none. */
MountedVolume mountedVolumeWithUuid(const QString& uuid);
