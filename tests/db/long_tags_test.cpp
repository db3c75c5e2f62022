#include <QFile>
#include <QProcess>

#include <algorithm>

#include "db/listing_load.h"
#include "db/listing_store.h"
#include "listing/renderer.h"
#include "scan/scan_driver.h"
#include "support/fixtures.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

class LongTagsTest : public BdTest {};

// ID3v2 texts are far longer than ID3v1's 30 characters: a listing keeps them whole on the way
// through the walk, the store, the load and the renderer.
TEST_F(LongTagsTest, Id3v2TextsAreStoredRenderedAndLoadedWhole) {
  const QString dir = TestEnvironment::newTempDir();
  const QString path = dir + u"/long.mp3"_s;
  writeMp3(path, id3v1Block({.title = "corto"}));
  const QString title = u"It's a long way "_s.repeated(50);  // 800 characters
  const QString comment = u"ж"_s.repeated(3000);
  QProcess writer;
  writer.start(u"mid3v2"_s, {u"-t"_s, title, u"-c"_s, comment, u"-a"_s, u"O'Brien"_s, path});
  ASSERT_TRUE(writer.waitForFinished(30000));
  ASSERT_EQ(writer.exitCode(), 0);

  ListingModel model;
  RunDirectoryScan(model, WalkPath::fromText(dir), {}, {TagSource::Id3v2ThenId3v1});
  QString stored = title;
  stored.replace(u'\'', u"´"_s);
  ASSERT_EQ(model.Canciones[1].title, stored);
  EXPECT_EQ(model.Canciones[1].artist, u"O´Brien"_s);
  EXPECT_EQ(model.Canciones[1].comment, comment);

  const StoreResult result = Save2bd(model);
  ASSERT_TRUE(result.ok()) << result.error.toStdString();
  ListingModel loaded;
  ASSERT_TRUE(Load4bd(result.rp_id, loaded).found);
  EXPECT_EQ(loaded.Canciones[1].title, stored);
  EXPECT_EQ(loaded.Canciones[1].comment, comment);

  const std::vector<RenderedEntry> lines = renderListing(loaded, {QString(), u"{3Tit}|{3Com}"_s});
  const auto file = std::find_if(lines.cbegin(), lines.cend(), [](const RenderedEntry& entry) {
    return entry.text.startsWith(u"F-"_s);
  });
  ASSERT_NE(file, lines.cend());
  EXPECT_EQ(file->text, u"F-"_s + stored + u'|' + comment);
}
