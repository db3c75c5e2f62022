#include "listing/saved_designs.h"

#include "support/test_env.h"

using namespace Qt::StringLiterals;

TEST(SavedDesigns, DefaultsUntilSavedThenWhatWasSavedEvenWhenEmpty) {
  LineDesigns designs = LoadSavedDesigns();
  EXPECT_EQ(designs.directory, u"{#D} {TD}"_s);
  EXPECT_EQ(designs.file, u"{#F} {TF}"_s);

  SaveDesigns({QString(), u"{#F}{Tb}{3Tit}"_s});
  designs = LoadSavedDesigns();
  EXPECT_EQ(designs.directory, QString());
  EXPECT_EQ(designs.file, u"{#F}{Tb}{3Tit}"_s);
}
