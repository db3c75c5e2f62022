#pragma once

#include <QList>
#include <QString>

// The mount table as the kernel writes /proc/self/mounts: "source mount-point type options ...",
// blanks in a field written \040. Read from a file so tests can stand up mounts of their own.

struct MountEntry {
  QString source;
  QString mountPoint;
  QString type;
};

/** The entries of the table at path, in its order; none when it cannot be read. */
QList<MountEntry> readMountTable(const QString& path);

/** Only a path names a device; "proc", "tmpfs" and the like do not. */
bool isDevicePath(const QString& source);

/** The path with its links followed (/dev/cdrom names the sr device it points at). */
QString resolvedPath(const QString& path);

/**
 * The mount that holds path (a directory or file, links followed): the latest entry whose mount
 * point is path or one of its parents, the longest such point winning; null when none does.
 */
const MountEntry* mountHolding(const QList<MountEntry>& mounts, const QString& path);
