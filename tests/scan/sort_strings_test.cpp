#include "scan/sort_strings.h"

#include "support/test_env.h"

using namespace Qt::StringLiterals;

TEST(SortStrings, NamesEqualButForCaseFollowCodePointsAndEmptyComesFirst) {
  QStringList names{u"dup.mp3"_s, u"b"_s, u"Dup.mp3"_s, QString(), u"DUP.mp3"_s, u"a"_s};
  SortStrings(names);
  EXPECT_EQ(names,
            (QStringList{QString(), u"a"_s, u"b"_s, u"DUP.mp3"_s, u"Dup.mp3"_s, u"dup.mp3"_s}));
}
