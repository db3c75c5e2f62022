#include "tags/id3.h"

#include <QFile>

#include <unistd.h>

#include "support/fixtures.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

TagInfo readBytes(const QByteArray& bytes) {
  const QString path = TestEnvironment::newTempDir() + u"/song.mp3"_s;
  writeFile(path, bytes);
  return ReadTagFile(QFile::encodeName(path));
}

TagInfo readBlock(const Id3v1Fields& fields) {
  return readBytes(QByteArray(1000, '\x55') + id3v1Block(fields));
}

void expectEmpty(const TagInfo& tag) {
  EXPECT_FALSE(tag.HasTag);
  EXPECT_EQ(tag.Title, QString());
  EXPECT_EQ(tag.Genre, 0);
  EXPECT_EQ(tag.GenreName, QString());
  EXPECT_EQ(tag.Track, 0);
}

}  // namespace

TEST(ReadTagFile, ReadsEveryFieldAtItsOffset) {
  const Id3v1Fields fields{.title = "Title",
                           .artist = "Artist",
                           .album = "Album",
                           .year = "1999",
                           .comment = "Comment",
                           .genre = 17};
  const TagInfo tag = readBlock(fields);
  EXPECT_TRUE(tag.HasTag);
  EXPECT_EQ(tag.Title, u"Title"_s);
  EXPECT_EQ(tag.Artist, u"Artist"_s);
  EXPECT_EQ(tag.Album, u"Album"_s);
  EXPECT_EQ(tag.Year, u"1999"_s);
  EXPECT_EQ(tag.Comment, u"Comment"_s);
  EXPECT_EQ(tag.Genre, 17);
  EXPECT_EQ(tag.GenreName, u"Rock"_s);
}

TEST(ReadTagFile, FileOfExactlyOneBlockIsTaggedOneByteLessIsNot) {
  const QByteArray block = id3v1Block({.title = "Only"});
  EXPECT_EQ(readBytes(block).Title, u"Only"_s);
  expectEmpty(readBytes(block.left(127)));
}

TEST(ReadTagFile, MarkerMustBeUpperCaseAndInTheLast128Bytes) {
  QByteArray lower = id3v1Block({.title = "x"});
  lower.replace(0, 3, "tag");
  expectEmpty(readBytes(lower));
  // A block followed by one more byte is no longer the file's last 128 bytes.
  expectEmpty(readBytes(id3v1Block({.title = "x"}) + 'z'));
}

TEST(ReadTagFile, FieldsEndAtTheirFirstNulAndLoseTrailingBlanksOnly) {
  EXPECT_EQ(readBlock({.title = "Abcd"}).Title, u"Abcd"_s);
  EXPECT_EQ(readBlock({.title = "Abcd", .pad = ' '}).Title, u"Abcd"_s);
  EXPECT_EQ(readBlock({.title = "  Abcd"}).Title, u"  Abcd"_s);
  EXPECT_EQ(readBlock({.title = QByteArray("Abcd\0efg", 8)}).Title, u"Abcd"_s);
  EXPECT_EQ(readBlock({.title = "Ab\tcd\t  "}).Title, u"Ab\tcd\t"_s);
  EXPECT_EQ(readBlock({.title = QByteArray(30, 'T')}).Title, QString(30, u'T'));
}

TEST(ReadTagFile, TrackNumberNeedsNulAt28AndNonNulAt29) {
  Id3v1Fields tagged{.comment = commentWithTrack("Nice", 7)};
  TagInfo tag = readBlock(tagged);
  EXPECT_EQ(tag.Track, 7);
  EXPECT_EQ(tag.Comment, u"Nice"_s);

  tagged.comment = commentWithTrack(QByteArray(28, 'c'), 255);
  tag = readBlock(tagged);
  EXPECT_EQ(tag.Track, 255);
  EXPECT_EQ(tag.Comment, QString(28, u'c'));

  EXPECT_EQ(readBlock({.comment = commentWithTrack("x", 0)}).Track, -1);

  tag = readBlock({.comment = QByteArray(30, 'k')});
  EXPECT_EQ(tag.Track, -1);
  EXPECT_EQ(tag.Comment, QString(30, u'k'));
}

TEST(ReadTagFile, GenreByteNamesKnownAndUnknownGenres) {
  EXPECT_EQ(readBlock({.genre = 0}).GenreName, u"Blues"_s);
  EXPECT_EQ(readBlock({.genre = 115}).GenreName, u"Folklore"_s);
  EXPECT_EQ(readBlock({.genre = 192}).GenreName, u"192 (Unknown)"_s);
  const TagInfo high = readBlock({.genre = 200});
  EXPECT_EQ(high.Genre, 200);
  EXPECT_EQ(high.GenreName, u"200 (Unknown)"_s);
  EXPECT_EQ(readBlock({.genre = 255}).GenreName, QString());
}

TEST(ReadTagFile, TextIsWindows1252IncludingItsUndefinedBytes) {
  const TagInfo tag =
      readBlock({.title = "\x80\x81\x8a\x99\x9d\x9f", .artist = "\xa0\xbf\xc1\xe9\xf1\xff"});
  EXPECT_EQ(tag.Title, u"\u20AC\u0081\u0160\u2122\u009D\u0178"_s);
  EXPECT_EQ(tag.Artist, u"\u00A0\u00BF\u00C1\u00E9\u00F1\u00FF"_s);
}

TEST(ReadTagFile, MissingUnreadableAndSpecialFilesGiveTheEmptyRecord) {
  const QString dir = TestEnvironment::newTempDir();
  expectEmpty(ReadTagFile(QFile::encodeName(dir + u"/missing.mp3"_s)));
  expectEmpty(ReadTagFile(QFile::encodeName(dir)));
  makeFifo(dir + u"/pipe.mp3"_s);
  expectEmpty(ReadTagFile(QFile::encodeName(dir + u"/pipe.mp3"_s)));  // must not block
  const QString locked = dir + u"/locked.mp3"_s;
  writeMp3Titled(locked, "Secret");
  QFile::setPermissions(locked, QFileDevice::WriteOwner);
  if (::geteuid() != 0) {  // root reads whatever the permissions say
    expectEmpty(ReadTagFile(QFile::encodeName(locked)));
  }
  QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST(ReadTagFile, ReachesNamesThatAreNotUtf8) {
  const QByteArray path = QFile::encodeName(TestEnvironment::newTempDir()) + "/caf\xe9.mp3";
  const RawFile file(path, QByteArray(200, 'a') + id3v1Block({.title = "Bytes"}));
  EXPECT_EQ(ReadTagFile(path).Title, u"Bytes"_s);
}
