// Faults the fuzz targets and the hostile inputs brought up, each kept as a named test beside
// its input in the corpus.

#include "listing/renderer.h"
#include "support/test_env.h"

#include <memory>

using namespace Qt::StringLiterals;

TEST(FoundFaults, PlaceholdersInsideNamesAndTagsCannotBlowALineUp) {
  // A hostile disc: each name or tag text holds several placeholders of a later step, and each
  // step expands what the earlier ones inserted, so a line would multiply without bound.
  const auto model = std::make_unique<ListingModel>();
  model->DirActualNum = 1;
  model->Directorios[1] = {u"/m/"_s + u"{TF}"_s.repeated(20), 1, 3};
  for (int f = 1; f <= 3; ++f) {
    SongRecord& song = model->Canciones[f];
    song.filename = u"{3Alb}"_s.repeated(41) + u".mp3"_s;
    song.album = u"{3Art}"_s.repeated(5);
    song.artist = u"{3Com}"_s.repeated(5);
    song.comment = u"{3Tit}"_s.repeated(5);
    song.title = u"{3Yea}"_s.repeated(5);
    song.year = u"<99>"_s;
  }
  const std::vector<RenderedEntry> entries = renderListing(*model, {u"{#D}"_s, u"{TD} {TF}"_s});
  ASSERT_EQ(entries.size(), 5u);
  for (const RenderedEntry& entry : entries) {
    EXPECT_LE(entry.text.size(), 1 << 16);
    EXPECT_LE(entry.html.size(), 1 << 16);
  }
  // Expanded by the rules as far as it goes.
  EXPECT_TRUE(entries[1].text.startsWith(u"F-/m/<99><99>"_s));
  EXPECT_TRUE(entries[1].html.startsWith(u"F-/m/&lt;99&gt;&lt;99&gt;"_s));
}
