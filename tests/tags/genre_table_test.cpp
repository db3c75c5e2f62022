#include "tags/genre_table.h"

#include "support/test_env.h"

using namespace Qt::StringLiterals;

TEST(GenreTable, FirstLookupLoadsTheTableSoGenreZeroIsBlues) {
  EXPECT_EQ(MaxGenre(), 0);
  EXPECT_EQ(GenreNameOf(0), u"Blues"_s);
  EXPECT_EQ(MaxGenre(), 114);
}

TEST(GenreTable, NamesKeepTheirSpellingAndTheExtensionSkipsASlot) {
  const std::pair<quint8, QString> expected[] = {
      {17, u"Rock"_s},           {40, u"AlternRock"_s},     {64, u"Native American"_s},
      {67, u"Psychadelic"_s},    {78, u"Rock & Roll"_s},    {79, u"Hard Rock"_s},
      {80, u"Folk"_s},           {81, u"Folk/Rock"_s},      {83, u"Swing"_s},
      {84, u"Bebob"_s},          {99, u"Humour"_s},         {114, u"Folklore"_s},
      {115, u"115 (Unknown)"_s}, {200, u"200 (Unknown)"_s}, {255, u"255 (Unknown)"_s}};
  for (const auto& [genre, name] : expected) {
    EXPECT_EQ(GenreNameOf(genre), name) << int(genre);
  }
}
