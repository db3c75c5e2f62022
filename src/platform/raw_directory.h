#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// Directory reading on raw byte paths: one pass over the entries, classified from the entry
// type the file system reports, with a stat only where that type does not settle the question
// (symbolic links, file systems that report no type, and sizes when they are asked for).

enum class EntryKind {
  Directory,
  RegularFile,
  Other,  // FIFOs, sockets, devices, broken links: never opened
};

struct RawDirEntry {
  QByteArrayView name;  // the name's bytes; valid only during the visit
  EntryKind kind = EntryKind::Other;
  bool viaLink = false;  // a symbolic link; kind is then what it points to
  qint64 size = 0;       // regular files only, and only when sizes were asked for
  qint64 modified = 0;   // with the size: its modification time, seconds since the epoch
  int dirFd = -1;        // the directory's descriptor; valid only during the visit
};

/**
 * A regular file entry's size and modification time (a link's target's), read during its visit
 * for an entry whose sizes were not asked for; false when the file is gone meanwhile.
 */
bool readEntryStamp(const RawDirEntry& entry, qint64& size, qint64& modified);

/** Called once per entry ("." and ".." left out); false stops the reading. */
using RawEntryVisitor = std::function<bool(const RawDirEntry& entry)>;

/** Whether each regular file's size and modification time are read with the directory. */
enum class EntrySizes { Skip, Read };

/**
 * Reads the directory at path once, handing each entry to visit. Returns 0 when the directory
 * was read to its end or the visitor stopped it, otherwise the errno that prevented the read.
 */
int readDirectoryOnce(const QByteArray& path, EntrySizes sizes, const RawEntryVisitor& visit);

/** A file name's bytes as text: UTF-8 when they are valid UTF-8, otherwise Windows-1252. */
QString displayName(QByteArrayView bytes);

/** 0 when path can be opened as a directory for reading, otherwise the errno of the failure. */
int directoryOpenError(const QByteArray& path);
