#include "search/search_server.h"

#include "db/mod_bd.h"
#include "search/search_index.h"
#include "search/search_sql_server.h"
#include "search/search_terms.h"

using namespace Qt::StringLiterals;

SearchResult ServerSearchEngine::search(const SearchRequest& request) const {
  const QStringList pieces = queryPieces(request.text);
  if (pieces.isEmpty()) {
    return {};
  }
  if (!searchConnection().ensureOpen()) {
    return {{}, 0, searchConnection().lastError()};
  }
  const BoundStatement statement = sqlServerSearch(request, pieces);
  QSqlQuery query(searchConnection().driverConnection());
  query.setForwardOnly(true);
  query.prepare(statement.sql);
  for (const QVariant& value : statement.values) {
    query.addBindValue(value);
  }
  return searchResultOf(query, request);
}

DuplicatesResult ServerSearchEngine::duplicates(SearchMedium medium) const {
  if (!searchConnection().ensureOpen()) {
    return {{}, searchConnection().lastError()};
  }
  return duplicatesOf(sqlServerDuplicates(medium));
}
