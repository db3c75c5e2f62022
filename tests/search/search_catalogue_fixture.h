#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "search/catalogue_search.h"
#include "support/listing_db_fixture.h"

// A catalogue written by plain SQL on a connection of its own, as any other client writes it,
// with accents, apostrophes, full-text syntax characters and one- and two-letter words; on
// the file and on the server.
class SearchCatalogueTest : public EngineBdTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  /** Runs statements on the outside connection; fails the test when one fails. */
  void plainSql(const QStringList& statements);
  /** Stores listing rpId with its directories and files, all written by plain SQL. */
  void storeListing(int rpId, const QString& name, int medio,
                    const std::vector<std::vector<QStringList>>& directories);
  /** "rp_id:filegenorder" of each file, in result order. */
  static QStringList keysOf(const std::vector<CatalogueFile>& files);
  /** The same search done the slow way: every row read and folded, pieces matched as text. */
  QStringList bruteForce(const SearchRequest& request) const;

  QSqlDatabase outside_;
};
