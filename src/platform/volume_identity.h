#pragma once

#include <QString>

// What tells one volume from another: its file-system type, label, UUID and size, read through
// libblkid. ISO 9660 has no UUID of its own; libblkid gives its creation time as one, so two
// discs under the same generic label are still told apart. UDF's is its volume set.

struct VolumeIdentity {
  QString type;   // "iso9660", "udf", "ext4", ...; empty when unknown
  QString label;  // as the CD question reads it (see volume_label.h)
  QString uuid;   // empty when the file system has none or it could not be read
  qint64 size = 0;
  /** Whether the device itself could be read; otherwise only the UUID was found, by its link. */
  bool readable = false;

  bool operator==(const VolumeIdentity&) const = default;
};

/**
 * The identity of the file system on the block device or image file at device. When the device
 * cannot be opened (a normal user and a hard disk), the UUID is the name of the link in
 * byUuidDir (/dev/disk/by-uuid) that points at it, and type is left to the caller.
 */
VolumeIdentity volumeIdentityOfDevice(const QString& device, const QString& byUuidDir);
