#include <QFile>
#include <QProcess>

#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

using StoreKillTest = BdTest;

TEST_F(StoreKillTest, ProcessKilledInTheMiddleOfAStoreLeavesNoTraceOfThatListing) {
  ASSERT_EQ(Save2bd(*makeListing(u"kept"_s, kMedioCd, {2, 3})).rp_id, 1);
  CloseBd();

  QProcess child;
  child.start(QStringLiteral(DB_STORE_CHILD), {programDir_});
  ASSERT_TRUE(child.waitForStarted());
  QByteArray output;
  while (!output.contains("midway") && child.waitForReadyRead(30000)) {
    output += child.readAllStandardOutput();
  }
  ASSERT_TRUE(output.contains("midway")) << child.readAllStandardError().toStdString();
  // The store's uncommitted work is on disk, with the pages it replaced in the journal.
  EXPECT_TRUE(QFile::exists(BdPath() + u"-journal"_s));
  child.kill();
  ASSERT_TRUE(child.waitForFinished());

  ASSERT_EQ(OpenBd(), QString());
  EXPECT_EQ(rows(u"select rp_id, count(*) from reports group by rp_id union all "
                 u"select rp_id, count(*) from estructdir group by rp_id union all "
                 u"select rp_id, count(*) from infoMP3 group by rp_id"_s),
            QStringList({u"1|1"_s, u"1|2"_s, u"1|5"_s}));
  EXPECT_EQ(Save2bd(*makeListing(u"next"_s, kMedioCd, {1})).rp_id, 2);
}
