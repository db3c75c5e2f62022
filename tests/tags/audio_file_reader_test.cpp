#include "tags/audio_file_reader.h"

#include <QFile>

#include "support/audio_fixtures.h"
#include "support/test_env.h"
#include "tags/audio_formats.h"
#include "tags/ogg_length.h"

using namespace Qt::StringLiterals;

namespace {

const QMap<QString, QString> kTags = {{u"title"_s, u"Don't ñandú"_s}, {u"artist"_s, u"Artista €"_s},
                                      {u"album"_s, u"Disco"_s},       {u"year"_s, u"2003"_s},
                                      {u"comment"_s, u"Nota"_s},      {u"track"_s, u"7"_s},
                                      {u"genre"_s, u"Jazz"_s}};

TagReading readingAll(bool properties = false) {
  TagReading reading;
  reading.files = AudioFiles::All;
  reading.properties = properties;
  return reading;
}

AudioFileRead readAudio(const QString& path, const TagReading& reading = readingAll()) {
  return ReadAudioFile(QFile::encodeName(path), reading);
}

// Fixtures of one format at several lengths, each checked against the samples written.
void expectDurations(const QString& extension, const std::vector<qint64>& samples, int rate,
                     qint64 toleranceMs, std::vector<AudioFixture> files = {}) {
  const QString dir = TestEnvironment::newTempDir();
  for (const qint64 count : samples) {
    files.push_back({u"%1/%2.%3"_s.arg(dir).arg(count).arg(extension), count, rate});
  }
  makeAudioFiles(files);
  for (const AudioFixture& file : files) {
    const AudioFileRead read = readAudio(file.path, readingAll(true));
    ASSERT_TRUE(read.properties.has_value()) << file.path.toStdString();
    EXPECT_NEAR(static_cast<double>(read.properties->durationMs),
                static_cast<double>(samplesMs(file)), static_cast<double>(toleranceMs))
        << file.path.toStdString();
    EXPECT_EQ(read.properties->hz, rate) << file.path.toStdString();
    EXPECT_EQ(read.properties->channels, 2) << file.path.toStdString();
    EXPECT_EQ(read.properties->bytes, QFile(file.path).size()) << file.path.toStdString();
    EXPECT_GT(read.properties->kbps, 0) << file.path.toStdString();
  }
}

}  // namespace

TEST(AudioFormatNames, ListedExtensionsInAnyCaseAndTheFileNameRule) {
  for (const char* name : {"a.flac", "b.OGG", "c.Oga", "d.opus", "e.m4a", "f.mp4", "g.aac", "h.wma",
                           "i.wav", "j.AIFF", "k.aif", "l.ape", "m.wv", "n.mpc"}) {
    EXPECT_TRUE(hasOtherAudioExtension(QByteArrayView(name))) << name;
    EXPECT_TRUE(isListedAudio(QByteArrayView(name), AudioFiles::All)) << name;
    EXPECT_FALSE(isListedAudio(QByteArrayView(name), AudioFiles::Mp3)) << name;
  }
  for (const char* name : {"a.mp3", "flac", ".flac", "a.flac2", "a.txt", "a.m4", "a.", "wv"}) {
    EXPECT_FALSE(hasOtherAudioExtension(QByteArrayView(name))) << name;
  }
  EXPECT_TRUE(isListedAudio(QByteArrayView("Song.MP3"), AudioFiles::Mp3));
  // "{TF}": four characters off an MP3 name as ever, the whole extension off the others.
  EXPECT_EQ(nameWithoutExtension(u"Canción.mp3"_s), u"Canción"_s);
  EXPECT_EQ(nameWithoutExtension(u"Canción.flac"_s), u"Canción"_s);
  EXPECT_EQ(nameWithoutExtension(u"a.b.OPUS"_s), u"a.b"_s);
  EXPECT_EQ(nameWithoutExtension(u"x.wv"_s), u"x"_s);
  EXPECT_EQ(nameWithoutExtension(u"abc"_s), QString());
  EXPECT_EQ(nameWithoutExtension(u"notes.text"_s), u"notes."_s);
  EXPECT_EQ(audioFilesFromKey(u"all"), AudioFiles::All);
  EXPECT_EQ(audioFilesFromKey(u"mp3"), AudioFiles::Mp3);
  EXPECT_FALSE(audioFilesFromKey(u"ALL").has_value());
}

TEST(AudioFileTags, EveryOtherFormatFillsTheSameRecord) {
  const QString dir = TestEnvironment::newTempDir();
  std::vector<AudioFixture> files;
  for (const char* extension :
       {"flac", "ogg", "opus", "m4a", "wma", "wav", "aiff", "wv", "mpc", "ape"}) {
    const int rate = qstrcmp(extension, "opus") == 0 ? 48000 : 44100;
    files.push_back({u"%1/t.%2"_s.arg(dir, QLatin1StringView(extension)), 22050, rate, 2, kTags});
  }
  makeAudioFiles(files);
  for (const AudioFixture& file : files) {
    const AudioFileRead read = readAudio(file.path);
    const TagInfo& tag = read.tag;
    EXPECT_FALSE(read.damaged) << file.path.toStdString();
    EXPECT_TRUE(tag.HasTag) << file.path.toStdString();
    EXPECT_EQ(tag.Title, u"Don't ñandú"_s) << file.path.toStdString();
    EXPECT_EQ(tag.Artist, u"Artista €"_s) << file.path.toStdString();
    EXPECT_EQ(tag.Album, u"Disco"_s) << file.path.toStdString();
    EXPECT_EQ(tag.Year, u"2003"_s) << file.path.toStdString();
    EXPECT_EQ(tag.Comment, u"Nota"_s) << file.path.toStdString();
    EXPECT_EQ(tag.Track, 7) << file.path.toStdString();
    EXPECT_EQ(tag.GenreName, u"Jazz"_s) << file.path.toStdString();
    EXPECT_FALSE(read.properties.has_value()) << "read only when asked";
  }
}

// Two ARTIST comments of a FLAC or Ogg file, and an ID3v2.4 frame with two texts, as mutagen
// writes them.
TEST(AudioFileTags, SeveralValuesOfAFieldReadAsSeveralNames) {
  const QString dir = TestEnvironment::newTempDir();
  const QMap<QString, QStringList> two = {{u"artist"_s, {u"piman"_s, u"jzig"_s}},
                                          {u"title"_s, {u"Uno"_s, u"Dos"_s}}};
  std::vector<AudioFixture> files;
  for (const char* extension : {"flac", "ogg", "mp3"}) {
    files.push_back(
        {u"%1/t.%2"_s.arg(dir, QLatin1StringView(extension)), 4410, 44100, 2, {}, true, two});
  }
  makeAudioFiles(files);
  TagReading reading = readingAll();
  reading.source = TagSource::Id3v2;
  for (const AudioFixture& file : files) {
    const TagInfo tag = readAudio(file.path, reading).tag;
    EXPECT_EQ(tag.Artist, u"piman; jzig"_s) << file.path.toStdString();
    EXPECT_EQ(tag.Title, u"Uno; Dos"_s) << file.path.toStdString();
  }
}

TEST(AudioFileTags, AbsentFieldsUntaggedAndDamagedFiles) {
  const QString dir = TestEnvironment::newTempDir();
  makeAudioFiles({{dir + u"/bare.flac"_s, 4410},
                  {dir + u"/notrack.ogg"_s,
                   4410,
                   44100,
                   2,
                   {{u"title"_s, u"Sólo título"_s}, {u"genre"_s, u"(17)"_s}}}});
  const AudioFileRead bare = readAudio(dir + u"/bare.flac"_s);
  EXPECT_FALSE(bare.tag.HasTag);
  EXPECT_EQ(bare.tag.Track, 0);
  const AudioFileRead noTrack = readAudio(dir + u"/notrack.ogg"_s);
  EXPECT_EQ(noTrack.tag.Title, u"Sólo título"_s);
  EXPECT_EQ(noTrack.tag.Track, -1);
  EXPECT_EQ(noTrack.tag.Year, QString());
  EXPECT_EQ(noTrack.tag.GenreName, u"Rock"_s);

  for (const QByteArray& bytes :
       {QByteArray(), QByteArray("fLaC\0\0\0\x22", 8), QByteArray("OggS") + QByteArray(60, '\xff'),
        QByteArray(5000, 'x')}) {
    const QString path = dir + u"/damaged.flac"_s;
    writeFile(path, bytes);
    const AudioFileRead damaged = readAudio(path, readingAll(true));
    EXPECT_TRUE(damaged.damaged);
    EXPECT_FALSE(damaged.tag.HasTag);
    EXPECT_EQ(damaged.tag.Title, QString());
    EXPECT_FALSE(damaged.properties.has_value());
  }
}

TEST(AudioDurations, LosslessFormatsToTheMillisecond) {
  expectDurations(u"flac"_s, {44100, 67473, 110250}, 44100, 1);
  expectDurations(u"wav"_s, {22050, 100001}, 44100, 1);
  expectDurations(u"aiff"_s, {48000, 91234}, 48000, 1);
}

// The first file of each is one where TagLib 1.13 alone misses the last page's header: it
// reads 0 ms for the Vorbis file and 994 ms for the 1,938 ms Opus one.
TEST(AudioDurations, VorbisToTheMillisecondAtSeveralLengths) {
  const QString trap = TestEnvironment::newTempDir() + u"/trap.ogg"_s;
  expectDurations(u"ogg"_s, {44100, 58212, 88200, 123456}, 44100, 1, {{trap, 66968, 44100}});
}

TEST(AudioDurations, OpusToTheMillisecondAtSeveralLengths) {
  const QString trap = TestEnvironment::newTempDir() + u"/trap.opus"_s;
  expectDurations(u"opus"_s, {48000, 62113, 96000, 134567}, 48000, 1, {{trap, 93006, 48000}});
}

TEST(AudioDurations, PaddedEncodersWithinFiftyMilliseconds) {
  expectDurations(u"m4a"_s, {44100, 99225}, 44100, 50);
  expectDurations(u"wma"_s, {44100, 99225}, 44100, 50);
}

TEST(AudioDurations, Mp3WithAndWithoutXingHeader) {
  const QString dir = TestEnvironment::newTempDir();
  const std::vector<AudioFixture> files = {{dir + u"/xing.mp3"_s, 110250},
                                           {dir + u"/plain.mp3"_s, 110250, 44100, 2, {}, false}};
  makeAudioFiles(files);
  const AudioFileRead xing = readAudio(files[0].path, readingAll(true));
  const AudioFileRead plain = readAudio(files[1].path, readingAll(true));
  ASSERT_TRUE(xing.properties && plain.properties);
  // The Xing header counts lame's padding frames too.
  EXPECT_NEAR(static_cast<double>(xing.properties->durationMs), 2500.0, 100.0);
  EXPECT_NEAR(static_cast<double>(plain.properties->durationMs), 2500.0, 1000.0);
  EXPECT_NEAR(xing.properties->kbps, 128, 2);
  EXPECT_EQ(xing.properties->hz, 44100);
}

TEST(OggLength, LastPageFoundWhereverItsHeaderFalls) {
  // A Vorbis identification page, then a last page whose header lies anywhere in the tail.
  QByteArray first("OggS\0\x02", 6);
  first += QByteArray(8, '\0') + QByteArray("\x11\x22\x33\x44", 4) + QByteArray(8, '\0');
  first += QByteArray("\x01\x1e", 2) + QByteArray("\x01vorbis", 7) + QByteArray(4, '\0');
  first += QByteArray("\x02\x44\xac\0\0", 5) + QByteArray(30 - 16, '\0');
  QByteArray last("OggS\0\x04", 6);
  last += QByteArray("\x88\x58\x01\0\0\0\0\0", 8) + QByteArray("\x11\x22\x33\x44", 4);
  last += QByteArray(8, '\0') + QByteArray("\x01\x10", 2) + QByteArray(16, 'a');
  for (const qsizetype before : {0, 1000, 1021, 1022, 1023, 1024, 3000}) {
    const QByteArray tail = QByteArray(before, 'z') + last;
    EXPECT_EQ(oggStreamLengthMs(first, tail), 2000) << before;  // 88200 samples at 44.1 kHz
  }
  // A page cut short at the end of the file is no last page; another stream's neither.
  EXPECT_FALSE(oggStreamLengthMs(first, last.chopped(1)).has_value());
  QByteArray other = last;
  other[14] = 'x';
  EXPECT_FALSE(oggStreamLengthMs(first, other).has_value());
}
