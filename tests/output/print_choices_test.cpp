#include "output/print_choices.h"

#include "support/test_env.h"

using namespace Qt::StringLiterals;

TEST(ListingFontFamily, SmallFontsWhenInstalledElseTheClosestSmallFace) {
  EXPECT_EQ(ListingFontFamily({u"Arial"_s, u"Small Fonts"_s, u"Tahoma"_s}), u"Small Fonts"_s);
  EXPECT_EQ(ListingFontFamily({u"DejaVu Sans"_s, u"Nimbus Sans Narrow [urw]"_s, u"Serif"_s}),
            u"Nimbus Sans Narrow [urw]"_s);
  EXPECT_EQ(ListingFontFamily({u"Serif"_s, u"DejaVu Sans"_s, u"Liberation Sans"_s}),
            u"Liberation Sans"_s);
  // A longer family that merely starts with a known face is another face.
  EXPECT_EQ(ListingFontFamily({u"Serif"_s, u"DejaVu Sans Mono"_s}), u"Serif"_s);
  EXPECT_EQ(ListingFontFamily({}), QString());
}
