#include "db/incomplete_listings.h"

#include <memory>

#include "db/catalogue_copy.h"
#include "db/db_connection.h"
#include "db/listing_load.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "db/stored_listings.h"
#include "scan/scan_driver.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

const QString kMarks = u"SELECT rp_id FROM incompletos ORDER BY rp_id"_s;

class IncompleteListingsTest : public EngineBdTest {
 protected:
  // A scan of a tree of empty MP3 files, in one directory, stopped as pump and limits say.
  std::unique_ptr<ListingModel> scan(int files, const WalkPump& pump) {
    const QString root = TestEnvironment::newTempDir() + u"/Arbol"_s;
    for (int f = 0; f < files; ++f) {
      writeFile(root + u"/A/%1.mp3"_s.arg(f, 4, 10, QChar(u'0')), {});
    }
    auto model = std::make_unique<ListingModel>();
    model->FinalName = root;
    RunDirectoryScan(*model, WalkPath::fromText(root), pump);
    return model;
  }

  int store(const ListingModel& model) {
    const StoreResult result = Save2bd(model);
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    return result.rp_id;
  }
};

}  // namespace

// Cut by the classic cap, stopped at the user's word, or whole: only the first two are marked,
// wherever the listing is read, and the mark goes with the listing.
TEST_P(IncompleteListingsTest, AListingThatIsNotWholeIsMarkedWhereItIsStored) {
  int pumped = 0;
  const int capped = store(*scan(kMaxCanciones + 1, {}));
  const int stopped = store(*scan(3, [&pumped] { return ++pumped < 2; }));
  const int whole = store(*scan(3, {}));
  EXPECT_EQ(rows(kMarks), (QStringList{QString::number(capped), QString::number(stopped)}));
  for (const auto& [id, marked] : {std::pair{capped, true}, {stopped, true}, {whole, false}}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(isListingIncomplete(id), marked);
    ListingModel loaded;
    ASSERT_TRUE(Load4bd(id, loaded).found);
    EXPECT_EQ(loaded.notices.incomplete, marked);
  }
  const StoredListings listed = readStoredListings();
  ASSERT_EQ(listed.directories.size(), 3u);
  EXPECT_TRUE(listed.directories[0].incomplete);
  EXPECT_TRUE(listed.directories[1].incomplete);
  EXPECT_FALSE(listed.directories[2].incomplete);

  ASSERT_EQ(deleteStoredListing(capped), QString());
  EXPECT_EQ(rows(kMarks), QStringList{QString::number(stopped)});
}

// A listing stored before the marks existed is not marked.
TEST_P(IncompleteListingsTest, AListingStoredBeforeIsNotMarked) {
  ASSERT_TRUE(BdConnection().Execute(u"INSERT INTO reports VALUES (7,'Viejo',2,'Viejo')"_s));
  EXPECT_FALSE(isListingIncomplete(7));
  EXPECT_EQ(incompleteListings(), std::set<int>());
}

// copy-db carries the mark to a file, and a marked listing is not the same as an unmarked one.
TEST_P(IncompleteListingsTest, CopyDbCarriesTheMark) {
  int pumped = 0;
  const int stopped = store(*scan(3, [&pumped] { return ++pumped < 2; }));
  const QString target = TestEnvironment::newTempDir() + u"/copia.mdb"_s;
  const std::vector<CopiedListing> copied = copyEveryListingTo(target);
  ASSERT_EQ(copied.size(), 1u);
  EXPECT_EQ(copied[0].error, QString());
  EXPECT_EQ(queryRows(target, kMarks), QStringList{QString::number(stopped)});
}

INSTANTIATE_ON_BOTH_ENGINES(IncompleteListingsTest);
