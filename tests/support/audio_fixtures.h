#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

// Short audio files made by Debian's own encoders (sox, flac, lame, opus-tools, vorbis-tools,
// ffmpeg, wavpack, musepack-tools) and tagged by mutagen, so that tags and durations are what
// real files carry. Only APE, which Debian cannot encode, is a bare descriptor with its tag.

struct AudioFixture {
  QString path;  // the extension chooses the encoder
  qint64 samples = 88200;
  int rate = 44100;
  int channels = 2;
  /** title, artist, album, year, comment, track, genre; none leaves the file untagged. */
  QMap<QString, QString> tags = {};
  bool xing = true;  // MP3 only: lame's Xing header
  /** Fields given several values (two artists, say), beside tags. */
  QMap<QString, QStringList> valueLists = {};
  int kbps = 128;  // MP3 only: lame's constant bit rate; 0 for a variable one
};

/** Writes every file in one run of the generator; a failure fails the test. */
void makeAudioFiles(const std::vector<AudioFixture>& files);

/** The duration the samples make, in milliseconds. */
inline qint64 samplesMs(const AudioFixture& file) {
  return (file.samples * 1000 + file.rate / 2) / file.rate;
}
