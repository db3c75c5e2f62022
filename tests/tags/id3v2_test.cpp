#include "tags/id3v2.h"

#include <QFile>
#include <QProcess>

#include "support/fixtures.h"
#include "support/test_env.h"
#include "tags/tag_sources.h"

using namespace Qt::StringLiterals;

namespace {

// Twenty MPEG-1 layer III frames: enough audio for every tag writer to take the file.
QByteArray audioFrames() {
  QByteArray frame("\xff\xfb\x90\x00", 4);
  frame.append(QByteArray(413, '\0'));
  return frame.repeated(20);
}

// A file tagged by a real writer; tail (an ID3v1 block, say) is added after it wrote, since
// some writers bring an ID3v1 block in line with their ID3v2 tag.
QString taggedFile(const QString& program, QStringList arguments, const QByteArray& tail = {}) {
  const QString path = TestEnvironment::newTempDir() + u"/song.mp3"_s;
  writeFile(path, audioFrames());
  arguments.append(path);
  QProcess writer;
  writer.start(program, arguments);
  EXPECT_TRUE(writer.waitForFinished(30000)) << program.toStdString();
  EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
  if (!tail.isEmpty()) {
    writeFile(path, readFile(path) + tail);
  }
  return path;
}

TagInfo readV2(const QString& path) {
  const std::optional<TagInfo> tag = ReadId3v2Tag(QFile::encodeName(path));
  EXPECT_TRUE(tag.has_value()) << path.toStdString();
  return tag.value_or(TagInfo{});
}

QByteArray headerOf(const QString& path) {
  return readFile(path).left(10);
}

const QString kLong = u"Ñandú "_s.repeated(40);  // 240 characters, far past ID3v1's 30

}  // namespace

TEST(Id3v2Tag, Version23Latin1FromId3v2Tool) {
  const QString path = taggedFile(
      u"id3v2"_s, {u"-2"_s, u"-t"_s, u"Canción"_s, u"-a"_s, u"Artista"_s, u"-A"_s, u"Disco"_s,
                   u"-y"_s, u"1999"_s, u"-c"_s, u"Nota"_s, u"-g"_s, u"17"_s, u"-T"_s, u"3/12"_s});
  EXPECT_EQ(headerOf(path).mid(3, 1), QByteArray("\x03"));
  const TagInfo tag = readV2(path);
  EXPECT_TRUE(tag.HasTag);
  EXPECT_EQ(tag.Title, u"Canción"_s);
  EXPECT_EQ(tag.Artist, u"Artista"_s);
  EXPECT_EQ(tag.Album, u"Disco"_s);
  EXPECT_EQ(tag.Year, u"1999"_s);
  EXPECT_EQ(tag.Comment, u"Nota"_s);
  EXPECT_EQ(tag.GenreName, u"Rock"_s);
  EXPECT_EQ(tag.Track, 3);
}

TEST(Id3v2Tag, Version24Utf8FromMutagenWithLongTextsAndRecordingTime) {
  const QString path =
      taggedFile(u"mid3v2"_s, {u"-t"_s, kLong, u"-a"_s, u"Дмитрий Шостакович"_s, u"-y"_s,
                               u"2004-05-01"_s, u"-g"_s, u"Música de cámara"_s, u"-T"_s, u"7"_s});
  EXPECT_EQ(headerOf(path).mid(3, 1), QByteArray("\x04"));
  const TagInfo tag = readV2(path);
  EXPECT_EQ(tag.Title, kLong);
  EXPECT_EQ(tag.Artist, u"Дмитрий Шостакович"_s);
  EXPECT_EQ(tag.Year, u"2004"_s);
  EXPECT_EQ(tag.GenreName, u"Música de cámara"_s);
  EXPECT_EQ(tag.Track, 7);
}

TEST(Id3v2Tag, Utf16WithByteOrderMarkInVersion23FromEyeD3) {
  const QString path = taggedFile(
      u"eyeD3"_s, {u"-Q"_s, u"--to-v2.3"_s, u"--encoding"_s, u"utf16"_s, u"-t"_s, u"Ελληνικά €"_s,
                   u"-G"_s, u"Synthpop"_s, u"-n"_s, u"4"_s, u"-N"_s, u"10"_s});
  const QByteArray bytes = readFile(path);
  EXPECT_TRUE(bytes.contains("\x01\xff\xfe") || bytes.contains("\x01\xfe\xff"));
  const TagInfo tag = readV2(path);
  EXPECT_EQ(tag.Title, u"Ελληνικά €"_s);
  EXPECT_EQ(tag.GenreName, u"Synthpop"_s);
  EXPECT_EQ(tag.Track, 4);
}

TEST(Id3v2Tag, Utf16BigEndianWithoutByteOrderMarkInVersion24FromEyeD3) {
  const QString path =
      taggedFile(u"eyeD3"_s, {u"-Q"_s, u"--to-v2.4"_s, u"--encoding"_s, u"utf16-be"_s, u"-t"_s,
                              u"Título sin BOM"_s, u"-a"_s, u"Ärzte"_s});
  const QByteArray bytes = readFile(path);
  EXPECT_TRUE(bytes.contains(QByteArray("\x02\x00T", 3))) << "encoding 2 expected";
  const TagInfo tag = readV2(path);
  EXPECT_EQ(tag.Title, u"Título sin BOM"_s);
  EXPECT_EQ(tag.Artist, u"Ärzte"_s);
  EXPECT_EQ(tag.Track, -1);  // no track frame
}

TEST(Id3v2Tag, NumericGenreReferencesAreNamedByTheProgramsTable) {
  // "(84)" is Fast Fusion, as in the common extended list, with the program's own spelling.
  const QString path = taggedFile(u"mid3v2"_s, {u"-t"_s, u"x"_s, u"-g"_s, u"(84)"_s});
  EXPECT_EQ(readV2(path).GenreName, u"Fast Fusion"_s);
  const QString unknown = taggedFile(u"mid3v2"_s, {u"-t"_s, u"x"_s, u"-g"_s, u"200"_s});
  EXPECT_EQ(readV2(unknown).GenreName, u"200 (Unknown)"_s);
}

TEST(Id3v2Tag, TrackBeforeTheSlashOrMinusOneWhenNotANumber) {
  EXPECT_EQ(readV2(taggedFile(u"mid3v2"_s, {u"-T"_s, u"3/12"_s})).Track, 3);
  EXPECT_EQ(readV2(taggedFile(u"mid3v2"_s, {u"-t"_s, u"x"_s, u"-T"_s, u"A1"_s})).Track, -1);
}

TEST(Id3v2Tag, YearFromRecordingElseV23YearElseReleaseElseOriginalReleaseTime) {
  // eyeD3's -Y writes the year of a 2.4 tag as the release time, TDRL, and nothing else.
  const QString eyeD3Year = taggedFile(u"eyeD3"_s, {u"-Q"_s, u"--to-v2.4"_s, u"-Y"_s, u"1987"_s});
  ASSERT_TRUE(readFile(eyeD3Year).contains("TDRL"));
  EXPECT_FALSE(readFile(eyeD3Year).contains("TDRC"));
  EXPECT_EQ(readV2(eyeD3Year).Year, u"1987"_s);
  EXPECT_EQ(readV2(taggedFile(u"eyeD3"_s, {u"-Q"_s, u"--to-v2.4"_s, u"--recording-date"_s,
                                           u"2003-05-01"_s, u"--release-date"_s, u"2004"_s}))
                .Year,
            u"2003"_s);
  EXPECT_EQ(readV2(taggedFile(u"id3v2"_s, {u"-2"_s, u"-y"_s, u"1992"_s})).Year, u"1992"_s);
  EXPECT_EQ(
      readV2(taggedFile(u"mid3v2"_s, {u"--TDRL"_s, u"1990-02"_s, u"--TDOR"_s, u"1980"_s})).Year,
      u"1990"_s);
  EXPECT_EQ(readV2(taggedFile(u"mid3v2"_s, {u"--TDOR"_s, u"1975-10-03"_s})).Year, u"1975"_s);
}

TEST(Id3v2Tag, FirstCommentWithoutDescriptionWins) {
  const QString path = taggedFile(
      u"mid3v2"_s, {u"--COMM"_s, u"con descripción:desc:spa"_s, u"--COMM"_s, u"para todos"_s});
  EXPECT_EQ(readV2(path).Comment, u"para todos"_s);
}

TEST(Id3v2Tag, DamagedOrMissingHeaderGivesNothing) {
  const QString path = taggedFile(u"mid3v2"_s, {u"-t"_s, u"Bueno"_s});
  QByteArray bytes = readFile(path);
  QByteArray badSize = bytes;
  badSize[6] = '\x80';  // not a 7-bit size byte
  EXPECT_EQ(id3v2TagLength(badSize), 0);
  EXPECT_FALSE(id3v2TagFromBytes(badSize).has_value());
  QByteArray tooLong = bytes;
  tooLong[6] = '\x7f';  // claims far more bytes than the file holds
  writeFile(path, tooLong);
  EXPECT_FALSE(ReadId3v2Tag(QFile::encodeName(path)).has_value());
  EXPECT_FALSE(ReadId3v2Tag(QFile::encodeName(path + u"-missing"_s)).has_value());
  EXPECT_FALSE(id3v2TagFromBytes(audioFrames()).has_value());
}

TEST(TagSources, DisagreeingTagsFollowTheOrderOfPreference) {
  const QByteArray v1 = id3v1Block({.title = "Desde v1", .genre = 0});
  const QByteArray path = QFile::encodeName(taggedFile(u"mid3v2"_s, {u"-t"_s, u"Desde v2"_s}, v1));
  EXPECT_EQ(ReadFileTags(path, {TagSource::Id3v1}).Title, u"Desde v1"_s);
  EXPECT_EQ(ReadFileTags(path, {TagSource::Id3v2}).Title, u"Desde v2"_s);
  EXPECT_EQ(ReadFileTags(path, {TagSource::Id3v2ThenId3v1}).Title, u"Desde v2"_s);
  EXPECT_EQ(ReadFileTags(path, {TagSource::Id3v1ThenId3v2}).Title, u"Desde v1"_s);
}

TEST(TagSources, AMissingOrDamagedTagGivesWayToTheOther) {
  const QString v2Only = taggedFile(u"mid3v2"_s, {u"-t"_s, u"Sólo v2"_s});
  const QByteArray v2Path = QFile::encodeName(v2Only);
  EXPECT_FALSE(ReadFileTags(v2Path, {TagSource::Id3v1}).HasTag);  // never looks at ID3v2
  EXPECT_EQ(ReadFileTags(v2Path, {TagSource::Id3v1ThenId3v2}).Title, u"Sólo v2"_s);

  QByteArray damaged = readFile(v2Only) + id3v1Block({.title = "Respaldo"});
  damaged[7] = '\xff';
  writeFile(v2Only, damaged);
  EXPECT_EQ(ReadFileTags(v2Path, {TagSource::Id3v2ThenId3v1}).Title, u"Respaldo"_s);
  const TagInfo none = ReadFileTags(v2Path, {TagSource::Id3v2});
  EXPECT_FALSE(none.HasTag);
  EXPECT_EQ(none.Track, 0);
}

TEST(TagSources, KeysRoundTripAndUnknownOnesAreRefused) {
  for (const TagSource source :
       {TagSource::Id3v1, TagSource::Id3v2, TagSource::Id3v1ThenId3v2, TagSource::Id3v2ThenId3v1}) {
    EXPECT_EQ(tagSourceFromKey(tagSourceKey(source)), source);
  }
  EXPECT_FALSE(tagSourceFromKey(u"V1"_s).has_value());
  EXPECT_FALSE(tagSourceFromKey(u""_s).has_value());
}
