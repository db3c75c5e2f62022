#include "tags/genre_table.h"

#include "support/test_env.h"

using namespace Qt::StringLiterals;

TEST(GenreTable, FirstLookupLoadsTheTableSoGenreZeroIsBlues) {
  EXPECT_EQ(MaxGenre(), 0);
  EXPECT_EQ(GenreNameOf(0), u"Blues"_s);
  EXPECT_EQ(MaxGenre(), 114);
}

TEST(GenreTable, StandardNamesKeepTheirPublishedSpelling) {
  EXPECT_EQ(GenreNameOf(17), u"Rock"_s);
  EXPECT_EQ(GenreNameOf(40), u"AlternRock"_s);
  EXPECT_EQ(GenreNameOf(64), u"Native American"_s);
  EXPECT_EQ(GenreNameOf(67), u"Psychadelic"_s);
  EXPECT_EQ(GenreNameOf(78), u"Rock & Roll"_s);
  EXPECT_EQ(GenreNameOf(79), u"Hard Rock"_s);
}

TEST(GenreTable, ExtensionHasNoSlotBetweenSwingAndBebob) {
  EXPECT_EQ(GenreNameOf(80), u"Folk"_s);
  EXPECT_EQ(GenreNameOf(81), u"Folk/Rock"_s);
  EXPECT_EQ(GenreNameOf(83), u"Swing"_s);
  EXPECT_EQ(GenreNameOf(84), u"Bebob"_s);
  EXPECT_EQ(GenreNameOf(99), u"Humour"_s);
  EXPECT_EQ(GenreNameOf(114), u"Folklore"_s);
}

TEST(GenreTable, NumbersBeyondTheTableAreUnknown) {
  EXPECT_EQ(GenreNameOf(115), u"115 (Unknown)"_s);
  EXPECT_EQ(GenreNameOf(200), u"200 (Unknown)"_s);
  EXPECT_EQ(GenreNameOf(255), u"255 (Unknown)"_s);
}
