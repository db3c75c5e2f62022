#include "db/listing_properties.h"

#include <QDate>

#include "db/catalogue_copy.h"
#include "db/db_connection.h"
#include "db/listing_store.h"
#include "db/mod_bd.h"
#include "db/stored_listings.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

const QString kRows =
    u"SELECT rp_id, ubicacion, categoria, comentario, prestado_a, prestado_el FROM propiedades "
    u"ORDER BY rp_id"_s;

class ListingPropertiesTest : public EngineBdTest {
 protected:
  int store(const QString& name) {
    const StoreResult result = Save2bd(*makeListing(name, kMedioDirectorio, {1}));
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    return result.rp_id;
  }

  ListingProperties read(int rpId) {
    QString reason;
    const std::optional<ListingProperties> fields = readListingProperties(rpId, reason);
    EXPECT_EQ(reason, QString());
    return fields.value_or(ListingProperties());
  }
};

}  // namespace

// Set, kept while other listings are stored, cleared by an empty text, gone with the listing.
TEST_P(ListingPropertiesTest, TheUserFieldsAreKeptUntilTheUserClearsThem) {
  const int kept = store(u"Caja"_s);
  EXPECT_EQ(read(kept), ListingProperties());
  ASSERT_EQ(writeListingProperties(kept, {u"Caja 3"_s, u"Rock"_s, u"Rayado"_s, u"Ana"_s}),
            QString());
  const QString today = QDate::currentDate().toString(Qt::ISODate);
  const ListingProperties set{u"Caja 3"_s, u"Rock"_s, u"Rayado"_s, u"Ana"_s, today};
  EXPECT_EQ(read(kept), set);

  const int other = store(u"Caja"_s);
  EXPECT_EQ(read(kept), set);
  EXPECT_EQ(read(other), ListingProperties());

  ASSERT_EQ(writeListingProperties(kept, {.categoria = u""_s, .prestadoA = u""_s}), QString());
  EXPECT_EQ(read(kept), (ListingProperties{u"Caja 3"_s, QString(), u"Rayado"_s}));
  ASSERT_EQ(writeListingProperties(kept, {u""_s, std::nullopt, u""_s}), QString());
  EXPECT_EQ(rows(kRows), QStringList());

  ASSERT_EQ(writeListingProperties(other, {.ubicacion = u"Estante"_s}), QString());
  ASSERT_EQ(deleteStoredListing(other), QString());
  EXPECT_EQ(rows(kRows), QStringList());
}

// copy-db carries the fields to a file, and a listing whose fields differ is another listing.
TEST_P(ListingPropertiesTest, CopyDbCarriesTheFields) {
  const int number = store(u"Caja"_s);
  ASSERT_EQ(writeListingProperties(number, {.ubicacion = u"Caja 3"_s, .comentario = u"l´a"_s}),
            QString());
  const QString target = TestEnvironment::newTempDir() + u"/copia.mdb"_s;
  for (const bool already : {false, true}) {
    const std::vector<CopiedListing> copied = copyEveryListingTo(target);
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(copied[0].error, QString());
    EXPECT_EQ(copied[0].already, already);
  }
  EXPECT_EQ(queryRows(target, kRows), QStringList{QString::number(number) + u"|Caja 3||l´a||"_s});
}

INSTANTIATE_ON_BOTH_ENGINES(ListingPropertiesTest);

// A file made before the fields existed gains their table when opened.
TEST(ListingPropertiesFile, AnOlderFileGainsTheTable) {
  const QString dir = installProgramFiles();
  const QString file = dir + u"/quillet.mdb"_s;
  QFile::copy(dir + u"/bd-acces2k.blank"_s, file);
  queryRows(file, u"DROP TABLE propiedades"_s);
  ASSERT_EQ(OpenBd(), QString());
  EXPECT_EQ(writeListingProperties(1, {.ubicacion = u"Caja 3"_s}), QString());
  CloseBd();
  EXPECT_EQ(queryRows(file, kRows), QStringList{u"1|Caja 3||||"_s});
}
