#include <QProcess>

#include "app/gui_bd_startup.h"
#include "db/mod_bd.h"
#include "search/search_index.h"
#include "support/listing_db_fixture.h"
#include "support/test_env.h"

using namespace Qt::StringLiterals;

TEST(BdStartUpSearchIndex, AnOlderDatabaseIsIndexedAtStartUp) {
  const QString dir = installProgramFiles();
  QProcess sqlite;
  sqlite.start(u"sqlite3"_s,
               {dir + u"/quillet.mdb"_s,
                u".read "_s + QStringLiteral(QUILLET_SOURCE_DIR) + u"/resources/schema.sql"_s});
  ASSERT_TRUE(sqlite.waitForFinished(30000));
  LogRecorder log;
  ASSERT_TRUE(openDatabaseOrQuit(nullptr, [] { FAIL() << "ended"; }));
  EXPECT_TRUE(hasSearchIndex());
  EXPECT_TRUE(log.lines.filter(u"Creado el índice de búsqueda"_s).size() == 1);
  CloseBd();
  // Opened again, the index is there: nothing more is done.
  LogRecorder again;
  ASSERT_TRUE(openDatabaseOrQuit(nullptr, [] { FAIL() << "ended"; }));
  EXPECT_TRUE(again.lines.filter(u"índice de búsqueda"_s).isEmpty());
  CloseBd();
}
