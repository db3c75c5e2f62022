#pragma once

#include <QByteArrayView>
#include <QString>

// The volume label of a CD or DVD file system, read from its bytes: UDF, Joliet and plain
// ISO 9660. Every read is bounded, so any bytes at all (truncated images, garbage, hostile
// descriptors) give a label or empty text, never a crash or a hang.
//
// Which label wins, as the system reports it:
// 1. UDF (a NSR02/NSR03 recognition sequence and an anchor at block 256, for 2048-, 512-, 1024-
//    or 4096-byte blocks): the Logical Volume Identifier, what blkid and Windows show.
// 2. Joliet: its 16-character identifier; when it is the start of the primary descriptor's
//    (compared without case, '_' standing for a character the primary one could not hold), the
//    primary descriptor's tail completes it, since Joliet cuts labels at 16 characters.
// 3. The ISO 9660 primary volume descriptor's identifier, decoded as UTF-8 when it is valid
//    UTF-8 (what Linux mastering tools write) and as Windows-1252 otherwise.
// An empty label falls through to the next kind. The result stops at its first NUL and has its
// surrounding blanks removed.

/** Label of the file system whose image starts at image's first byte; empty when none. */
QString volumeLabelFromImage(QByteArrayView image);

/** Label of the file system on the block device or image file at path; empty text when it
 *  cannot be opened or read (no disc, no permission) or holds no known file system. */
QString volumeLabelOfDevice(const QString& path);
