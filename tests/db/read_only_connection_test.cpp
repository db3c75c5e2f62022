#include <gtest/gtest.h>

#include "db/db_connection.h"
#include "db/mod_bd.h"
#include "support/listing_db_fixture.h"

using namespace Qt::StringLiterals;

namespace {

TEST(ReadOnlyConnectionString, EachEngineAddsItsReadOnlyOptionAndKeepsTheRest) {
  struct Case {
    QString given;
    QString options;
    QString dataSource;
  };
  const Case cases[] = {
      {u"Provider=QSQLITE; Data Source=/m/a;b/quillet.mdb"_s, u"QSQLITE_OPEN_READONLY"_s,
       u"/m/a;b/quillet.mdb"_s},
      {u"Provider=QSQLITE;QSQLITE_BUSY_TIMEOUT=5; Data Source=/q.mdb"_s,
       u"QSQLITE_BUSY_TIMEOUT=5;QSQLITE_OPEN_READONLY"_s, u"/q.mdb"_s},
      {u"Provider=QPSQL;Database=cat;Host=/run/pg"_s,
       u"Database=cat;Host=/run/pg;options=-c default_transaction_read_only=on -c "
       u"lock_timeout=10000"_s,
       {}},
      // Server options the user set are the user's: taken as they stand.
      {u"Provider=QPSQL;Database=cat;options=-c work_mem=64MB"_s,
       u"Database=cat;options=-c work_mem=64MB"_s,
       {}},
  };
  for (const Case& c : cases) {
    const ConnectionParts parts = parseConnectionString(readOnlyConnectionString(c.given));
    EXPECT_EQ(parts.options, c.options) << c.given.toStdString();
    EXPECT_EQ(parts.dataSource, c.dataSource) << c.given.toStdString();
  }
}

class ReadOnlyConnectionTest : public EngineBdTest {};
INSTANTIATE_ON_BOTH_ENGINES(ReadOnlyConnectionTest);

TEST_P(ReadOnlyConnectionTest, ReadsTheCatalogueAndRefusesEveryWrite) {
  DbConnection reader;
  ASSERT_TRUE(reader.OpenExisting(readOnlyConnectionString(BdConnectionString())))
      << reader.lastError().toStdString();
  EXPECT_EQ(missingCatalogueTable(reader), QString());
  EXPECT_FALSE(reader.Execute(u"INSERT INTO reports VALUES (77, 'x', 1, '')"_s));
  EXPECT_FALSE(reader.Execute(u"CREATE TABLE otra (n integer)"_s));
  EXPECT_EQ(rows(u"SELECT count(*) FROM reports"_s), QStringList{u"0"_s});
}

}  // namespace
