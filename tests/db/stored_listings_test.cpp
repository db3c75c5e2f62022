#include "db/stored_listings.h"

#include "db/bd_write_guard.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

QStringList describe(const std::vector<StoredListing>& listings) {
  QStringList out;
  for (const StoredListing& listing : listings) {
    out.append(QString::number(listing.rp_id) + u' ' + listing.report_name);
  }
  return out;
}

}  // namespace

class StoredListingsTest : public EngineBdTest {};
INSTANTIATE_ON_BOTH_ENGINES(StoredListingsTest);

TEST_P(StoredListingsTest, ListsEachMediumInNumberOrderAndHidesOtherMedia) {
  for (const QString& row : {u"3,'CD tres',1,'x'"_s, u"1,'/dir uno',2,'x'"_s, u"2,'CD dos',1,'x'"_s,
                             u"4,'otro',3,'x'"_s}) {
    ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES ("_s + row + u')'));
  }
  StatementRecorder recorder;
  const StoredListings listings = readStoredListings();
  EXPECT_EQ(describe(listings.cds), QStringList({u"2 CD dos"_s, u"3 CD tres"_s}));
  EXPECT_EQ(describe(listings.directories), QStringList({u"1 /dir uno"_s}));
  EXPECT_EQ(recorder.statements,
            QStringList({u"select * from reports where medio=1 order by rp_id"_s,
                         u"select * from reports where medio=2 order by rp_id"_s}));
}

TEST_P(StoredListingsTest, FindsAStoredCdByItsLabel) {
  ASSERT_TRUE(Save2bd(*makeListing(u"otro"_s, kMedioCd, {1})).ok());
  ASSERT_TRUE(Save2bd(*makeListing(u"Rock'n'Roll"_s, kMedioCd, {1})).ok());
  StatementRecorder recorder;
  EXPECT_EQ(findStoredCd(u"Rock'n'Roll"_s), std::optional<int>(2));
  EXPECT_EQ(recorder.statements,
            QStringList({u"select * from reports where report_name='Rock´n´Roll'"_s}));
  EXPECT_EQ(findStoredCd(u"Rock"_s), std::nullopt);
  EXPECT_EQ(BdRecordset().State(), kStateClosed);
}

TEST_P(StoredListingsTest, DeleteRemovesReportsRowFirstThenTheRestAndLogsEachStep) {
  ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (6,'x',1,'x')"_s));
  ASSERT_EQ(Save2bd(*makeListing(u"siete"_s, kMedioCd, {2})).rp_id, 7);
  ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO infoMP3 (rp_id) VALUES (6)"_s));
  StatementRecorder recorder;
  LogRecorder log;
  int pumps = 0;
  ASSERT_EQ(deleteStoredListing(7, [&] { ++pumps; }), QString());
  EXPECT_EQ(recorder.statements, QStringList({u"delete from reports where rp_id=7"_s,
                                              u"delete from estructdir where rp_id=7"_s,
                                              u"delete from infoMP3 where rp_id=7"_s}));
  EXPECT_EQ(
      log.lines,
      QStringList({u"Borrando informacion del listado número 7"_s,
                   u"Borrando informacion de estructura de directorios del listado número 7"_s,
                   u"Borrando informacion de ficheros mp3 del listado número 7"_s,
                   u"Listado número 7 eliminado permanentemente de la BD"_s}));
  EXPECT_EQ(pumps, 3);
  EXPECT_EQ(rows(u"select rp_id from reports union all select rp_id from estructdir "
                 u"union all select rp_id from infoMP3"_s),
            QStringList({u"6"_s, u"6"_s}));

  // A number without rows deletes nothing and still says so.
  log.lines.clear();
  EXPECT_EQ(deleteStoredListing(7), QString());
  EXPECT_EQ(log.lines.size(), 4);
}

TEST_P(StoredListingsTest, DeleteIsRefusedWhileAStoreRunsAndDeletesNothing) {
  ASSERT_TRUE(Save2bd(*makeListing(u"uno"_s, kMedioCd, {1})).ok());
  QString refusal;
  ASSERT_TRUE(Save2bd(*makeListing(u"dos"_s, kMedioCd, {1}), [&](const StoreProgress& p) {
                if (p.overall == 1 && refusal.isEmpty()) {
                  refusal = deleteStoredListing(1);
                }
              }).ok());
  EXPECT_EQ(refusal, bdBusyText());
  EXPECT_EQ(rows(u"select rp_id from reports"_s), QStringList({u"1"_s, u"2"_s}));
}

TEST(ListingNumberOfKey, ReadsTheLeadingNumberAfterItsPrefix) {
  EXPECT_EQ(listingNumberOfKey(u"cd12"_s), 12);
  EXPECT_EQ(listingNumberOfKey(u"dir7x"_s), 7);
  EXPECT_EQ(listingNumberOfKey(u"root-cd"_s), 0);
  EXPECT_EQ(listingNumberOfKey(u"root-dir"_s), 0);
  EXPECT_EQ(listingNumberOfKey(u"dir"_s), 0);
  EXPECT_EQ(listingNumberOfKey(u"cd99999"_s), 99999);
  EXPECT_EQ(listingNumberOfKey(u"cd99999999999"_s), 0);
}
