#include "search/catalogue_search.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

#include "db/bd_write_guard.h"
#include "db/db_connection.h"
#include "db/mod_bd.h"
#include "search/search_engine.h"
#include "search/search_index.h"
#include "search/search_sql.h"
#include "search/search_terms.h"

using namespace Qt::StringLiterals;

namespace {

// Trigrams hold three characters; shorter pieces are found through the trigrams they start.
constexpr int kTrigram = 3;

// The index brought up to date first, unless a store or a delete is half-way on this same
// connection: the search then reads the index as it stands.
QString readyIndex() {
  if (searchConnection().State() != kStateOpen) {
    return u"La conexión con la BD no está abierta"_s;
  }
  if (isBdWriteRunning()) {
    return fileHasSearchIndex() ? QString() : bdBusyText();
  }
  const QString reason = fileUpdateSearchIndex();
  return reason.isEmpty() ? QString()
                          : u"No se puede poner al día el índice de búsqueda de la BD: "_s + reason;
}

QStringList trigramsStartingWith(const QString& piece, QString& reason) {
  QSqlQuery query(searchConnection().driverConnection());
  query.setForwardOnly(true);
  query.prepare(sqlTrigramsStartingWith());
  query.bindValue(u":piece"_s, piece);
  query.bindValue(u":end"_s, piece + QString::fromUcs4(U"\U0010FFFF"));
  QStringList trigrams;
  if (!query.exec()) {
    reason = reasonOf(query.lastError());
    return {};
  }
  while (query.next()) {
    trigrams.append(query.value(0).toString());
  }
  return trigrams;
}

class CatalogueQuery {
 public:
  explicit CatalogueQuery(const SearchRequest& request) : request_(request) {}

  SearchResult run() {
    if (result_.error = readyIndex(); !result_.error.isEmpty()) {
      return result_;
    }
    if (!plan()) {
      return result_;
    }
    QSqlQuery query(searchConnection().driverConnection());
    query.setForwardOnly(true);
    query.prepare(sqlSearch(request_, checked_.size()));
    query.bindValue(u":expression"_s, matchExpression(phrases_, request_.field));
    for (qsizetype piece = 0; piece < checked_.size(); ++piece) {
      query.bindValue(checkedPiece(piece), checked_[piece]);
    }
    return searchResultOf(query, request_);
  }

 private:
  // Splits the pieces between the full-text expression and the check of each row's folded
  // texts; false when nothing can match.
  bool plan() {
    const QStringList pieces = queryPieces(request_.text);
    for (const QString& piece : pieces) {
      if (piece.size() >= kTrigram) {
        phrases_.push_back({piece});
      } else {
        checked_.append(piece);
      }
    }
    if (phrases_.empty() && !checked_.isEmpty()) {
      const auto longest =
          std::max_element(checked_.cbegin(), checked_.cend(),
                           [](const QString& a, const QString& b) { return a.size() < b.size(); });
      const QString piece = *longest;
      checked_.removeOne(piece);
      phrases_.push_back(trigramsStartingWith(piece, result_.error));
      if (phrases_.back().isEmpty()) {
        return false;
      }
    }
    return !phrases_.empty();
  }

  const SearchRequest& request_;
  SearchResult result_;
  std::vector<QStringList> phrases_;
  QStringList checked_;
};

}  // namespace

SearchResult fileSearchCatalogue(const SearchRequest& request) {
  return CatalogueQuery(request).run();
}

DuplicatesResult fileFindDuplicates(SearchMedium medium) {
  if (const QString reason = readyIndex(); !reason.isEmpty()) {
    return {{}, reason};
  }
  return duplicatesOf(sqlDuplicates(medium));
}

SearchResult searchCatalogue(const SearchRequest& request) {
  SearchResult result = searchEngine().search(request);
  // A page past the last has no row to carry the counts: the first page has them.
  if (result.error.isEmpty() && result.files.empty() && request.shownCount > 0 &&
      request.firstShown > 0) {
    SearchRequest first = request;
    first.firstShown = 0;
    const SearchResult counted = searchEngine().search(first);
    result.total = counted.total;
    result.listings = counted.listings;
    result.error = counted.error;
  }
  return result;
}

DuplicatesResult findDuplicates(SearchMedium medium) {
  return searchEngine().duplicates(medium);
}

CatalogueFile catalogueFileOf(const QSqlQuery& row, int first) {
  CatalogueFile file;
  file.rp_id = toInt32(row.value(first)).value_or(0);
  file.medio = row.value(first + 1).toInt();
  file.report_name = row.value(first + 2).toString();
  file.dirname = row.value(first + 3).toString();
  file.filename = row.value(first + 4).toString();
  file.artist = row.value(first + 5).toString();
  file.title = row.value(first + 6).toString();
  file.album = row.value(first + 7).toString();
  file.year = row.value(first + 8).toString();
  file.track = row.value(first + 9).toString();
  file.genre = row.value(first + 10).toString();
  file.comment = row.value(first + 11).toString();
  file.filegenorder = row.value(first + 12).toInt();
  if (const QVariant duration = row.value(first + 13); !duration.isNull()) {
    file.durationMs = duration.toLongLong();
  }
  file.ubicacion = row.value(first + 14).toString();
  file.categoria = row.value(first + 15).toString();
  return file;
}

namespace {

// The columns sqlCatalogueFileColumns gives, and after them a page's counts (sqlFoundFiles).
constexpr int kFileColumns = 16;

void readEveryFile(QSqlQuery& query, SearchResult& result) {
  QSet<int> listings;
  for (; query.next(); ++result.total) {
    result.files.push_back(catalogueFileOf(query, 0));
    listings.insert(result.files.back().rp_id);
  }
  result.listings = static_cast<int>(listings.size());
}

void readPage(QSqlQuery& query, SearchResult& result) {
  while (query.next()) {
    result.files.push_back(catalogueFileOf(query, 0));
    result.total = query.value(kFileColumns).toLongLong();
    result.listings = query.value(kFileColumns + 1).toInt();
  }
}

}  // namespace

SearchResult searchResultOf(QSqlQuery& query, const SearchRequest& request) {
  SearchResult result;
  if (!query.exec()) {
    searchConnection().noteFailure(query.lastError());
    result.error = u"No se puede buscar en la BD: "_s + reasonOf(query.lastError());
    return result;
  }
  if (request.shownCount > 0) {
    readPage(query, result);
  } else {
    readEveryFile(query, result);
  }
  if (query.lastError().isValid()) {
    result.files.clear();
    result.error = u"No se puede buscar en la BD: "_s + reasonOf(query.lastError());
  }
  return result;
}

DuplicatesResult duplicatesOf(const QString& sql) {
  DuplicatesResult result;
  QSqlQuery query(searchConnection().driverConnection());
  query.setForwardOnly(true);
  if (!query.exec(sql)) {
    searchConnection().noteFailure(query.lastError());
    result.error = u"No se pueden buscar los duplicados en la BD: "_s + reasonOf(query.lastError());
    return result;
  }
  QString key;
  const auto closeGroup = [&] {
    if (!result.groups.empty() && result.groups.back().copies.size() < 2) {
      result.groups.pop_back();
    }
  };
  while (query.next()) {
    const QString rowKey = query.value(0).toString();
    if (result.groups.empty() || rowKey != key) {
      closeGroup();
      result.groups.emplace_back();
      key = rowKey;
    }
    result.groups.back().copies.push_back(catalogueFileOf(query, 1));
  }
  closeGroup();
  if (query.lastError().isValid()) {
    result.groups.clear();
    result.error = u"No se pueden buscar los duplicados en la BD: "_s + reasonOf(query.lastError());
  }
  return result;
}
