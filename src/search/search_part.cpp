#include "search/search_part.h"

#include <QSqlQuery>

#include "base/log.h"
#include "db/db_connection.h"
#include "search/search_engine.h"
#include "search/search_sql_server.h"

using namespace Qt::StringLiterals;

namespace {

// pg_trgm ships with Debian's server; creating it needs rights the user may lack. Without it
// the search still finds the same files, reading every row.
bool createTrigramExtension(QSqlDatabase& db) {
  QSqlQuery query(db);
  query.exec(u"SAVEPOINT quillet_trgm"_s);
  if (query.exec(u"CREATE EXTENSION IF NOT EXISTS pg_trgm"_s)) {
    query.exec(u"RELEASE SAVEPOINT quillet_trgm"_s);
    return true;
  }
  const QString reason = reasonOf(query.lastError());
  query.exec(u"ROLLBACK TO SAVEPOINT quillet_trgm"_s);
  WriteLog(
      u"No se puede crear la extensión pg_trgm en el servidor (%1): la búsqueda encontrará "
      u"lo mismo, pero leyendo todas las filas"_s.arg(reason));
  return false;
}

class SearchIndexPart : public CataloguePart {
 public:
  QStringList serverObjects(QSqlDatabase& db, QString& reason) const override {
    const bool trigrams = createTrigramExtension(db);
    return sqlCreateServerSearch(db, trigrams, reason);
  }
  std::unique_ptr<ListingRewrite> listingRewrite(int rpId, QString& reason) const override {
    return searchEngine().followRewrite(rpId, reason);
  }
};

}  // namespace

const CataloguePart& searchIndexPart() {
  static const SearchIndexPart part;
  return part;
}
