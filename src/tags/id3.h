#pragma once

#include <QByteArray>
#include <QString>

#include "platform/code_pages.h"

/**
 * One file's ID3v1 tag as the reader returns it. The default value is the empty record: a file
 * without tag, or one that could not be read.
 */
struct TagInfo {
  bool HasTag = false;
  QString Title;
  QString Artist;
  QString Album;
  QString Year;
  QString Comment;
  quint8 Genre = 0;
  QString GenreName;
  qint16 Track = 0;  // 1-255 from an ID3v1.1 block, -1 for a block without, 0 without tag
};

/**
 * Reads the ID3v1 tag in the last 128 bytes of the file at rawPath (the path's bytes as the file
 * system holds them). Text fields are in page (Windows-1252 unless the user chose another), cut
 * at their first NUL and stripped of trailing blanks. Never fails: a missing, unreadable, short
 * or non-regular file gives the empty record.
 */
TagInfo ReadTagFile(const QByteArray& rawPath, CodePage page = CodePage::Windows1252);

/** ReadTagFile on a file already open for reading: fd, of size bytes. */
TagInfo readTagAt(int fd, qint64 size, CodePage page);

/**
 * The tag of a file that ends with fileEnd: the whole file, or at least its last 128 bytes.
 * The pure half of ReadTagFile: any bytes at all give a record, the empty one when they hold no
 * tag.
 */
TagInfo tagFromFileEnd(QByteArrayView fileEnd, CodePage page = CodePage::Windows1252);
