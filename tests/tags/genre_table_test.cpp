#include "tags/genre_table.h"

#include <QProcess>

#include "support/fixtures.h"
#include "support/test_env.h"
#include "tags/id3.h"

using namespace Qt::StringLiterals;

namespace {

// The names mutagen, Debian's tagging library, gives bytes 0-191, one a line.
QStringList mutagenGenres() {
  QProcess python;
  python.start(u"/usr/bin/python3"_s,
               {u"-c"_s, u"import mutagen._constants as c; print('\\n'.join(c.GENRES[:192]))"_s});
  EXPECT_TRUE(python.waitForFinished(30000));
  EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  return QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// Every byte's name: mutagen's, except where the program keeps its own spelling; beyond 191 the
// number; nothing for 255, the byte taggers write for "no genre".
QStringList expectedGenres() {
  QStringList names = mutagenGenres();
  EXPECT_EQ(names.size(), 192);
  const std::pair<int, QString> ownSpellings[] = {{40, u"AlternRock"_s},  {59, u"Gangsta"_s},
                                                  {67, u"Psychadelic"_s}, {81, u"Folk/Rock"_s},
                                                  {84, u"Fast Fusion"_s}, {85, u"Bebob"_s}};
  for (const auto& [genre, name] : ownSpellings) {
    names[genre] = name;
  }
  for (int genre = 192; genre < 255; ++genre) {
    names.append(u"%1 (Unknown)"_s.arg(genre));
  }
  names.append(QString());
  return names;
}

}  // namespace

TEST(GenreTable, FirstLookupLoadsTheTableSoGenreZeroIsBlues) {
  EXPECT_EQ(MaxGenre(), 0);
  EXPECT_EQ(GenreNameOf(0), u"Blues"_s);
  EXPECT_EQ(MaxGenre(), 191);
}

TEST(GenreTable, NamesKeepTheirSpelling) {
  const std::pair<quint8, QString> expected[] = {
      {17, u"Rock"_s},          {40, u"AlternRock"_s},  {64, u"Native American"_s},
      {67, u"Psychadelic"_s},   {78, u"Rock & Roll"_s}, {79, u"Hard Rock"_s},
      {80, u"Folk"_s},          {81, u"Folk/Rock"_s},   {83, u"Swing"_s},
      {85, u"Bebob"_s},         {100, u"Humour"_s},     {115, u"Folklore"_s},
      {200, u"200 (Unknown)"_s}};
  for (const auto& [genre, name] : expected) {
    EXPECT_EQ(GenreNameOf(genre), name) << int(genre);
  }
}

TEST(GenreTable, EveryByteNamesTheGenreTaggersMeant) {
  const QStringList expected = expectedGenres();
  ASSERT_EQ(expected.size(), 256);
  for (int genre = 0; genre < 256; ++genre) {
    EXPECT_EQ(GenreNameOf(static_cast<quint8>(genre)), expected[genre]) << genre;
  }
}

// The ID3v1 genre byte as Debian's id3v2 tool writes it for a genre chosen by number.
TEST(GenreTable, AGenreByteWrittenByATaggerReadsAsItsName) {
  const QString path = TestEnvironment::newTempDir() + u"/latin.mp3"_s;
  writeMp3(path);
  for (const auto& [genre, name] :
       {std::pair{u"86"_s, u"Latin"_s}, std::pair{u"131"_s, u"Indie"_s}}) {
    ASSERT_EQ(QProcess::execute(u"id3v2"_s, {u"-1"_s, u"-g"_s, genre, path}), 0);
    EXPECT_EQ(ReadTagFile(QFile::encodeName(path)).GenreName, name) << genre.toStdString();
  }
}
