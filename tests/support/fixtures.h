#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Builders for the files a walk meets: ID3v1 blocks, MP3 files, directory trees with links and
// special files, and a capture of the log lines.

/** The fields of an ID3v1 block as raw bytes; each text is padded to its width with pad. */
struct Id3v1Fields {
  QByteArray title = {};
  QByteArray artist = {};
  QByteArray album = {};
  QByteArray year = {};
  QByteArray comment = {};  // up to 30 bytes, taken as they are (track bytes included)
  quint8 genre = 0;
  char pad = '\0';
};

/** The 128-byte block "TAG" + fields. */
QByteArray id3v1Block(const Id3v1Fields& fields);

/** A 30-byte ID3v1.1 comment: text, NUL padding, a NUL and the track byte. */
QByteArray commentWithTrack(const QByteArray& text, quint8 track);

/** Writes some audio-like bytes followed by the tag block (no block when tag is empty). */
void writeMp3(const QString& path, const QByteArray& tag = {});

/** An MP3 file whose tag carries title and nothing else. */
void writeMp3Titled(const QString& path, const QByteArray& title);

/** Sets a file's modification time a minute ahead: an update then takes it as changed. */
void touchLater(const QString& path);

/**
 * A file named by raw bytes (names need not be UTF-8), removed again when this goes out of
 * scope: the temporary directories cannot remove names that do not decode.
 */
class RawFile {
 public:
  RawFile(const QByteArray& path, const QByteArray& bytes);
  ~RawFile();
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;

 private:
  QByteArray path_;
};

void makeDirectory(const QString& path);
void makeSymlink(const QString& target, const QString& linkPath);
void makeFifo(const QString& path);

/** Collects every log line while it lives. */
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const QStringList& lines() const { return lines_; }

 private:
  QStringList lines_;
};
